#include "scanner/list_links.h"

#include <algorithm>

#include "platform/failure.h"
#include "scanner/combine_url.h"
#include "text/fast_search.h"

namespace harvelo {

namespace {

using namespace std::string_view_literals;

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

// True when `lower_marker` (written in lower case) stands at index `i` of `text`, its
// letters in any case: what a comparison in the lower-case copy of the text answers.
bool StandsAt(TextView text, std::size_t i, TextView lower_marker) {
  if (i + lower_marker.size() > text.size()) return false;
  for (std::size_t k = 0; k < lower_marker.size(); ++k) {
    const char16_t c = text[i + k];
    if (c != lower_marker[k] && Lower(c) != lower_marker[k]) return false;
  }
  return true;
}

// The index of the first `lower_marker` in `text` at or after index `from`, its letters in
// any case, or npos: what a search of the lower-case copy of the text finds, without the
// copy. The marker's character at index `key` must be an ASCII character without another
// case; it is the one looked for.
std::size_t SearchAnyCase(TextView text, TextView lower_marker, std::size_t key, std::size_t from) {
  const TextView key_char = lower_marker.substr(key, 1);
  if (lower_marker.size() == 1) return FastSearch::FindFirstOf(text, from, key_char);
  for (std::size_t j = FastSearch::FindFirstOf(text, from + key, key_char); j != TextView::npos;
       j = FastSearch::FindFirstOf(text, j + 1, key_char)) {
    if (StandsAt(text, j - key, lower_marker)) return j - key;
  }
  return TextView::npos;
}

// The first occurrence of a marker at or after a position, in any letter case, for a
// caller whose positions never go back: an answer stays valid until the position passes
// it, and the text between two answers is searched once, so a whole scan costs at most
// one pass over the text per marker. Positions count from 1, 0 for "none".
class ForwardFind {
 public:
  // `key` as for SearchAnyCase.
  ForwardFind(TextView text, TextView lower_marker, std::size_t key = 0)
      : text_(text), marker_(lower_marker), key_(key) {}

  // Like Find(lower-case copy, marker, from); `from` must not be smaller than at the
  // previous call.
  std::size_t From(std::size_t from) {
    if (exhausted_) return 0;
    if (found_ == 0 || found_ < from) {
      const std::size_t at = SearchAnyCase(text_, marker_, key_, from - 1);
      found_ = at == TextView::npos ? 0 : at + 1;
      exhausted_ = found_ == 0;
    }
    return found_;
  }

 private:
  TextView text_;
  TextView marker_;
  std::size_t key_;
  std::size_t found_ = 0;
  bool exhausted_ = false;
};

bool IsQuote(char16_t c) { return c == u'"' || c == u'\''; }

// The first six characters, lower-cased, are "http:/"; or, for a modern reach, the first
// seven are "https:/".
bool BeginsAbsolute(TextView address, MediaReach reach) {
  return StandsAt(address, 0, u"http:/"sv) || (reach.modern && StandsAt(address, 0, u"https:/"sv));
}

// The value ends at its first double quote, single quote or space; or at a ">" that comes
// before them all when no double quote follows it. (Its end is never trimmed: the first
// space ends it anyway.)
TextView CleanValue(TextView value) {
  const std::size_t first = value.find_first_not_of(u' ');
  if (first == TextView::npos) return TextView();
  value.remove_prefix(first);
  if (IsQuote(value.front())) value.remove_prefix(1);
  std::size_t end = FastSearch::FindFirstOf(value, 0, u"\"' >"sv);
  if (end != TextView::npos && value[end] == u'>' &&
      FastSearch::FindFirstOf(value, end + 1, u"\""sv) != TextView::npos) {
    end = FastSearch::FindFirstOf(value, end + 1, u"\"' "sv);
  }
  return value.substr(0, end);
}

TextView ImageSource(TextView text) {
  std::size_t p = SearchAnyCase(text, u"src="sv, 3, 0);
  std::size_t skip = 4;
  if (p == TextView::npos) {
    p = SearchAnyCase(text, u"src ="sv, 4, 0);
    skip = 5;
  }
  if (p == TextView::npos) return TextView();
  return CleanValue(text.substr(p + skip));
}

TextView TrimSpacesView(TextView text) {
  const std::size_t first = text.find_first_not_of(u' ');
  if (first == TextView::npos) return TextView();
  return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

// The href value of the first "<base " tag, losing one leading and one trailing quote.
Text BaseAddress(const Text& page) {
  const std::size_t q = ForwardFind(page, u"<base ").From(1);
  if (q == 0) return Text();
  const std::size_t v = q + 6;
  const std::size_t g = v > page.size() ? 0 : ForwardFind(page, u">").From(v);
  if (g == 0) return Text();
  const TextView tag = TextView(page).substr(v - 1, g - v + 1);
  const std::size_t h = ForwardFind(tag, u"href=", 4).From(1);
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
TextView UnquoteLink(TextView link) {
  if (!link.empty() && IsQuote(link.front())) link.remove_prefix(1);
  std::size_t cut = FastSearch::FindFirstOf(link, 0, u"\""sv);
  if (cut == TextView::npos) cut = FastSearch::FindFirstOf(link, 0, u"'"sv);
  return link.substr(0, cut);
}

}  // namespace

Text CleanAttributeValue(const Text& value) { return Text(CleanValue(value)); }

Text GetImageSource(const Text& text) { return Text(ImageSource(text)); }

// Every candidate's stretch is as long as the candidate's position, so it is never copied:
// each question the scan asks of the stretch is answered from the whole text, bounded by
// the stretch's last position, with searches that only move forward.
void ListLinks(LinkSets& sets, std::int16_t set_number, const Text& page_text,
               const Text& page_address, UrlService& urls, UserInterface& ui, MediaReach reach) {
  const Text& H = page_text;
  if (set_number < 0 || static_cast<std::size_t>(set_number) >= sets.size()) {
    throw Failure(u"Subscript out of range");
  }
  LinkSet& set = sets[static_cast<std::size_t>(set_number)];
  set = LinkSet();

  // Searches in any letter case stand for searches in the lower-case copy of the text.
  ForwardFind next_close(H, u"</a>");
  ForwardFind next_tag_end(H, u">");
  ForwardFind next_href(H, u"href=", 4);
  ForwardFind next_space(H, u" ");

  Text B = BaseAddress(H);
  const Text F = B.empty() ? page_address : B;
  BaseCombiner combine(urls, F);
  // Scratch for the addresses of one pair; the pairs themselves are kept in the set.
  Text joined;
  Text combined;
  const std::size_t length = H.size();

  std::size_t P = SearchAnyCase(H, u"<a"sv, 0, 0) + 1;  // npos + 1 is 0
  while (P != 0) {
    ui.DoEvents();
    // One walk over the tags after the candidate finds the next "<a" (a), which is also
    // where the scan resumes, since every resume position lies after the candidate and
    // not after a; and the first "</a>" (c) when it comes before a. Neither can begin at
    // P + 1, the candidate's "a".
    std::size_t c = 0;
    std::size_t a = 0;
    for (std::size_t i = FastSearch::FindTagMark(H, P + 1, u'a'); i != TextView::npos;
         i = FastSearch::FindTagMark(H, i + 1, u'a')) {
      if (H[i + 1] != u'/') {
        a = i + 1;
        break;
      }
      if (c == 0 && StandsAt(H, i, u"</a>"sv)) c = i + 1;
    }
    if (c == 0 && a != 0) c = next_close.From(a);
    if (c != 0 || a == 0) {
      const std::size_t S = (c < a) ? c + 3 : P + 2;
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
          const TextView content = TextView(H).substr(g, content_end - g - 1);
          TextView value = UnquoteLink(TrimSpacesView(TextView(H).substr(hs - 1, he - hs)));
          if (!B.empty() && !BeginsAbsolute(value, reach)) {
            if (B.back() != u'/') B += u'/';
            if (!value.empty() && value.front() == u'/') value.remove_prefix(1);
            joined.assign(B).append(value);
            value = joined;
          }
          if (!BeginsAbsolute(value, reach)) {
            combine.Combine(value, combined);
            value = combined;
          }
          set.LinkURLs.push_back(value);
          TextView image = ImageSource(content);
          if (!BeginsAbsolute(image, reach)) {
            combine.Combine(image, combined);
            image = combined;
          }
          set.LinkContents.push_back(image.empty() ? content : image);
        }
      }
    }
    ui.DoEvents();
    P = a;
  }
}

}  // namespace harvelo
