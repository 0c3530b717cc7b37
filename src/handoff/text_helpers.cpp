#include "handoff/text_helpers.h"

#include <cstddef>
#include <vector>

namespace harvelo {

namespace {

// The value of a hexadecimal digit, or -1.
int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

std::vector<Text> SplitAtAmpersands(const Text& query) {
  std::vector<Text> parts;
  if (query.empty()) return parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t amp = query.find(u'&', start);
    if (amp == Text::npos) {
      parts.push_back(query.substr(start));
      return parts;
    }
    parts.push_back(query.substr(start, amp - start));
    start = amp + 1;
  }
}

}  // namespace

Text GetQueryValue(const Text& address, const Text& key) {
  const std::size_t mark = Find(address, u"?");
  Text query = mark == 0 ? Text() : Mid(address, mark + 1);
  for (char16_t& c : query) {
    if (c == u'?') c = u'&';
  }
  const Text wanted = LowerAscii(key);
  for (const Text& part : SplitAtAmpersands(query)) {
    const std::size_t equals = Find(part, u"=");
    if (equals == 0) return Text();
    if (LowerAscii(Left(part, equals - 1)) == wanted) return Mid(part, equals + 1);
  }
  return Text();
}

Text URLDecode(const Text& str) {
  Text result;
  std::size_t i = 1;
  do {
    const Text c = Mid(str, i, 1);
    if (c == u"+") {
      result += u' ';
      i += 1;
    } else if (c == u"%") {
      const Text hex = Mid(str, i + 1, 2);
      if (hex.empty()) {
        result += c;
        i += 1;
      } else {
        int code = 0;
        for (char16_t digit : hex) {
          if (HexDigit(digit) < 0) break;
          code = code * 16 + HexDigit(digit);
        }
        result += static_cast<char16_t>(code);
        i += 3;
      }
    } else {
      result += c;
      i += 1;
    }
  } while (i <= str.size());
  return result;
}

Text ReturnTagInfo(Text data) {
  static constexpr TextView kOpening = u"<QXSOURCE value=\"";
  static constexpr TextView kClosing = u"\" />";
  const std::size_t opening = Find(data, kOpening);
  if (opening == 0 || !Contains(data, kClosing)) return Text();
  const std::size_t start = opening + kOpening.size();
  const std::size_t end = Find(data, kClosing, start);
  if (end == 0) return Text();
  return Mid(data, start, end - start);
}

Text FixPath(const Text& save_path, char16_t separator) {
  if (!save_path.empty() && save_path.back() == separator) return save_path;
  return save_path + separator;
}

}  // namespace harvelo
