#include "oracle/list_links_literal.h"

#include "platform/failure.h"
#include "scanner/combine_url.h"

namespace harvelo::oracle {

namespace {

bool StartsWithQuote(const Text& t) { return Left(t, 1) == u"'" || Left(t, 1) == u"\""; }

Text CleanAttributeValueLiteral(Text value) {
  value = TrimSpaces(value);
  if (Left(value, 1) == u"\"" || Left(value, 1) == u"'") value = Mid(value, 2);
  if (Find(value, u"\"") > 0) {
    value = Left(value, Find(value, u"\"") - 1);
  } else if (Find(value, u">") > 0) {
    value = Left(value, Find(value, u">") - 1);
  }
  if (Find(value, u"'") > 0) value = Left(value, Find(value, u"'") - 1);
  if (Find(value, u" ") > 0) value = Left(value, Find(value, u" ") - 1);
  return value;
}

Text GetImageSourceLiteral(const Text& text) {
  Text s = text;
  const Text lc = LowerAscii(s);
  if (Find(lc, u"src=") == 0 && Find(lc, u"src =") == 0) return Text();
  Text marker = Find(lc, u"src=") > 0 ? u"src=" : u"src =";
  const std::size_t p = Find(lc, marker);
  s = Mid(s, p + marker.size());
  return CleanAttributeValueLiteral(s);
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
  if (q != 0) {
    const std::size_t v = q + 6;
    const std::size_t g = Find(H, u">", v);
    if (g != 0) {
      const Text T = Mid(H, v, g - v + 1);
      const std::size_t h = Find(LowerAscii(T), u"href=", 1);
      if (h != 0) {
        std::size_t e = Find(T, u" ", h);
        if (e == 0) e = Find(T, u">", h);
        B = Mid(T, h + 5, e - (h + 5));
        if (StartsWithQuote(B)) B = Mid(B, 2);
        if (Right(B, 1) == u"'" || Right(B, 1) == u"\"") B = Left(B, B.size() - 1);
      }
    }
  }
  const Text F = !B.empty() ? B : page_address;

  // C. Anchor loop.
  while (P != 0) {
    ui.DoEvents();
    std::size_t resume = 0;
    const std::size_t c = Find(L, u"</a>", P);
    const std::size_t a = Find(L, u"<a", P + 2);
    std::size_t S = 0;
    bool skip = false;
    if (c < a && c == 0) {
      resume = P + 1;
      skip = true;
    } else if (c < a && c != 0) {
      S = c + 3;
    } else {
      S = P + 2;
    }
    if (!skip) {
      resume = S;
      const Text X = Mid(H, P, S);
      const std::size_t gt = Find(X, u">", 1);
      const Text T = gt == 0 ? Text() : Left(X, gt);
      const std::size_t hs = Find(LowerAscii(T), u"href=", 1) + 5;
      if (hs != 5) {
        std::size_t he = Find(T, u" ", hs + 1);
        if (he == 0) he = Find(T, u">", hs);
        Text link = TrimSpaces(Mid(T, hs, he - hs));
        const Text lx = LowerAscii(X);
        const std::size_t c2 = Find(lx, u"</a>", 1);
        const std::size_t a2 = Find(lx, u"<a", 2);
        const long long content_end = (c2 != 0 && (c2 < a2 || a2 == 0))
                                          ? static_cast<long long>(c2) - 1
                                          : static_cast<long long>(a2) - 1;
        const long long n = content_end - static_cast<long long>(T.size());
        if (n >= 1) {
          const Text content = Mid(X, T.size() + 1, static_cast<std::size_t>(n));
          if (StartsWithQuote(link)) link = Mid(link, 2);
          if (Find(link, u"\"") > 0) {
            link = Left(link, Find(link, u"\"") - 1);
          } else if (Find(link, u"'") > 0) {
            link = Left(link, Find(link, u"'") - 1);
          }
          if (!B.empty() && LowerAscii(Left(link, 6)) != u"http:/") {
            if (Right(B, 1) != u"/") B = B + u"/";
            if (Left(link, 1) == u"/") link = Mid(link, 2);
            link = B + link;
          }
          if (LowerAscii(Left(link, 6)) != u"http:/") link = CombineURL(urls, F, link);
          const Text kept = content;
          Text image = GetImageSourceLiteral(content);
          if (LowerAscii(Left(image, 6)) != u"http:/") image = CombineURL(urls, F, image);
          if (image.empty()) image = kept;
          set.LinkURLs.push_back(link);
          set.LinkContents.push_back(image);
        }
      }
    }
    ui.DoEvents();
    P = Find(L, u"<a", resume);
  }
}

}  // namespace harvelo::oracle
