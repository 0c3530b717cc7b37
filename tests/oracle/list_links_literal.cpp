#include "oracle/list_links_literal.h"

#include "platform/failure.h"
#include "scanner/combine_url.h"

namespace harvelo::oracle {

namespace {

bool StartsWithQuote(const Text& t) { return Left(t, 1) == u"'" || Left(t, 1) == u"\""; }
bool IsHttp(const Text& t) { return LowerAscii(Left(t, 6)) == u"http:/"; }
// The text before the first `marker`, or all of it.
Text CutAt(const Text& t, const Text& marker) {
  return Find(t, marker) > 0 ? Left(t, Find(t, marker) - 1) : t;
}

Text CleanAttributeValueLiteral(Text value) {
  value = TrimSpaces(value);
  if (StartsWithQuote(value)) value = Mid(value, 2);
  value = Find(value, u"\"") > 0 ? CutAt(value, u"\"") : CutAt(value, u">");
  return CutAt(CutAt(value, u"'"), u" ");
}

Text GetImageSourceLiteral(const Text& text) {
  const Text lc = LowerAscii(text);
  if (Find(lc, u"src=") == 0 && Find(lc, u"src =") == 0) return Text();
  const Text marker = Find(lc, u"src=") > 0 ? u"src=" : u"src =";
  return CleanAttributeValueLiteral(Mid(text, Find(lc, marker) + marker.size()));
}

}  // namespace

void ListLinksLiteral(LinkSets& sets, std::int16_t set_number, const Text& page_text,
                      const Text& page_address, UrlService& urls, UserInterface& ui) {
  // A. Preparation.
  const Text& H = page_text;
  const Text L = LowerAscii(H);
  if (set_number < 0 || static_cast<std::size_t>(set_number) >= sets.size()) {
    throw Failure(u"Subscript out of range");
  }
  LinkSet& set = sets[static_cast<std::size_t>(set_number)];
  set = LinkSet();
  Text B;
  std::size_t P = Find(L, u"<a", 1);

  // B. Base address.
  const std::size_t q = Find(L, u"<base ", 1);
  const std::size_t g = q == 0 ? 0 : Find(H, u">", q + 6);
  if (g != 0) {
    const Text T = Mid(H, q + 6, g - q - 5);
    const std::size_t h = Find(LowerAscii(T), u"href=", 1);
    if (h != 0) {
      std::size_t e = Find(T, u" ", h);
      if (e == 0) e = Find(T, u">", h);
      B = Mid(T, h + 5, e - (h + 5));
      if (StartsWithQuote(B)) B = Mid(B, 2);
      if (Right(B, 1) == u"'" || Right(B, 1) == u"\"") B = Left(B, B.size() - 1);
    }
  }
  const Text F = !B.empty() ? B : page_address;

  // C. Anchor loop.
  while (P != 0) {
    ui.DoEvents();
    const std::size_t c = Find(L, u"</a>", P), a = Find(L, u"<a", P + 2);
    const bool skip = c < a && c == 0;
    const std::size_t S = skip ? 0 : c < a ? c + 3 : P + 2;
    const std::size_t resume = skip ? P + 1 : S;
    if (!skip) {
      const Text X = Mid(H, P, S);
      const std::size_t gt = Find(X, u">", 1);
      const Text T = gt == 0 ? Text() : Left(X, gt);
      const std::size_t hs = Find(LowerAscii(T), u"href=", 1) + 5;
      if (hs != 5) {
        std::size_t he = Find(T, u" ", hs + 1);
        if (he == 0) he = Find(T, u">", hs);
        Text link = TrimSpaces(Mid(T, hs, he - hs));
        const Text lx = LowerAscii(X);
        const std::size_t c2 = Find(lx, u"</a>", 1), a2 = Find(lx, u"<a", 2);
        const long long content_end = (c2 != 0 && (c2 < a2 || a2 == 0))
                                          ? static_cast<long long>(c2) - 1
                                          : static_cast<long long>(a2) - 1;
        const long long n = content_end - static_cast<long long>(T.size());
        if (n >= 1) {
          const Text content = Mid(X, T.size() + 1, static_cast<std::size_t>(n));
          if (StartsWithQuote(link)) link = Mid(link, 2);
          link = Find(link, u"\"") > 0 ? CutAt(link, u"\"") : CutAt(link, u"'");
          if (!B.empty() && !IsHttp(link)) {
            if (Right(B, 1) != u"/") B = B + u"/";
            if (Left(link, 1) == u"/") link = Mid(link, 2);
            link = B + link;
          }
          if (!IsHttp(link)) link = CombineURL(urls, F, link);
          Text image = GetImageSourceLiteral(content);
          if (!IsHttp(image)) image = CombineURL(urls, F, image);
          set.LinkURLs.push_back(link);
          set.LinkContents.push_back(image.empty() ? content : image);
        }
      }
    }
    ui.DoEvents();
    P = Find(L, u"<a", resume);
  }
}

}  // namespace harvelo::oracle
