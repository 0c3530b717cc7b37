#include "scanner/list_links.h"

#include "platform/failure.h"
#include "scanner/combine_url.h"

namespace harvelo {

namespace {

// The first occurrence of a marker at or after a position, for a caller whose positions
// never go back: an answer stays valid until the position passes it, and the text between
// two answers is searched once, so a whole scan costs one pass over the text per marker.
class ForwardFind {
 public:
  ForwardFind(TextView text, TextView marker) : text_(text), marker_(marker) {}

  // Like Find(text, marker, from); `from` must not be smaller than at the previous call.
  std::size_t From(std::size_t from) {
    if (exhausted_) return 0;
    if (found_ == 0 || found_ < from) {
      found_ = Find(text_, marker_, from);
      exhausted_ = found_ == 0;
    }
    return found_;
  }

 private:
  TextView text_;
  TextView marker_;
  std::size_t found_ = 0;
  bool exhausted_ = false;
};

bool IsQuote(char16_t c) { return c == u'"' || c == u'\''; }

// The first six characters, lower-cased, are "http:/".
bool BeginsAbsolute(TextView address) { return LowerAscii(Left(address, 6)) == u"http:/"; }

// The href value of the first "<base " tag, losing one leading and one trailing quote.
Text BaseAddress(const Text& page, const Text& lower) {
  const std::size_t q = Find(lower, u"<base ");
  if (q == 0) return Text();
  const std::size_t v = q + 6;
  const std::size_t g = Find(page, u">", v);
  if (g == 0) return Text();
  const TextView tag = TextView(page).substr(v - 1, g - v + 1);
  const std::size_t h = Find(TextView(lower).substr(v - 1, g - v + 1), u"href=");
  if (h == 0) return Text();
  std::size_t e = Find(tag, u" ", h);
  if (e == 0) e = Find(tag, u">", h);
  Text base = Mid(tag, h + 5, e - (h + 5));
  if (!base.empty() && IsQuote(base.front())) base.erase(0, 1);
  if (!base.empty() && IsQuote(base.back())) base.pop_back();
  return base;
}

// Quotes on a link value: one leading quote dropped, then cut at the first double quote
// or, when there is none, at the first single quote.
Text UnquoteLink(Text link) {
  if (!link.empty() && IsQuote(link.front())) link.erase(0, 1);
  std::size_t cut = link.find(u'"');
  if (cut == Text::npos) cut = link.find(u'\'');
  if (cut != Text::npos) link.resize(cut);
  return link;
}

}  // namespace

Text CleanAttributeValue(const Text& value) {
  Text v = TrimSpaces(value);
  if (!v.empty() && IsQuote(v.front())) v.erase(0, 1);
  std::size_t cut = v.find(u'"');
  if (cut == Text::npos) cut = v.find(u'>');
  if (cut != Text::npos) v.resize(cut);
  for (char16_t stop : {u'\'', u' '}) {
    cut = v.find(stop);
    if (cut != Text::npos) v.resize(cut);
  }
  return v;
}

Text GetImageSource(const Text& text) {
  const Text lower = LowerAscii(text);
  std::size_t p = Find(lower, u"src=");
  std::size_t skip = 4;
  if (p == 0) {
    p = Find(lower, u"src =");
    skip = 5;
  }
  if (p == 0) return Text();
  return CleanAttributeValue(Mid(text, p + skip));
}

// Every candidate's stretch is as long as the candidate's position, so it is never copied:
// each question the scan asks of the stretch is answered from the whole text, bounded by
// the stretch's last position, with searches that only move forward.
void ListLinks(LinkSets& sets, std::int16_t set_number, const Text& page_text,
               const Text& page_address, UrlService& urls, UserInterface& ui) {
  const Text& H = page_text;
  const Text L = LowerAscii(H);
  if (set_number < 0 || static_cast<std::size_t>(set_number) >= sets.size()) {
    throw Failure(u"Subscript out of range");
  }
  LinkSet& set = sets[static_cast<std::size_t>(set_number)];
  set = LinkSet();

  ForwardFind next_candidate(L, u"<a");
  ForwardFind next_following(L, u"<a");
  ForwardFind next_close(L, u"</a>");
  ForwardFind next_tag_end(H, u">");
  ForwardFind next_href(L, u"href=");
  ForwardFind next_space(H, u" ");

  Text B = BaseAddress(H, L);
  const Text F = B.empty() ? page_address : B;
  const std::size_t length = H.size();

  std::size_t P = next_candidate.From(1);
  while (P != 0) {
    ui.DoEvents();
    std::size_t resume = 0;
    const std::size_t c = next_close.From(P);
    // No "<a" can begin one character after another, so this is also the first from P + 1.
    const std::size_t a = next_following.From(P + 2);
    if (c < a && c == 0) {
      resume = P + 1;
    } else {
      const std::size_t S = (c < a) ? c + 3 : P + 2;
      resume = S;
      // The stretch runs from P for S characters, or to the end of the text.
      const std::size_t stretch_end = std::min(P + S - 1, length);
      std::size_t g = next_tag_end.From(P);
      if (g > stretch_end) g = 0;
      const std::size_t href = g == 0 ? 0 : next_href.From(P);
      if (href != 0 && href < g) {
        const std::size_t hs = href + 5;
        std::size_t he = next_space.From(hs + 1);
        if (he == 0 || he > g) he = g;
        const std::size_t c2 = c + 3 <= stretch_end ? c : 0;
        const std::size_t a2 = a != 0 && a + 1 <= stretch_end ? a : 0;
        const std::size_t content_end = (c2 != 0 && (c2 < a2 || a2 == 0)) ? c2 : a2;
        // Positions of the content: g + 1 up to, not including, content_end.
        if (content_end > g + 1) {
          const Text content = H.substr(g, content_end - g - 1);
          Text link = UnquoteLink(TrimSpaces(TextView(H).substr(hs - 1, he - hs)));
          if (!B.empty() && !BeginsAbsolute(link)) {
            if (B.back() != u'/') B += u'/';
            if (!link.empty() && link.front() == u'/') link.erase(0, 1);
            link = B + link;
          }
          if (!BeginsAbsolute(link)) link = CombineURL(urls, F, link);
          Text image = GetImageSource(content);
          if (!BeginsAbsolute(image)) image = CombineURL(urls, F, image);
          if (image.empty()) image = content;
          set.LinkURLs.push_back(std::move(link));
          set.LinkContents.push_back(std::move(image));
        }
      }
    }
    ui.DoEvents();
    P = next_candidate.From(resume);
  }
}

}  // namespace harvelo
