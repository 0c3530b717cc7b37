#include "text/text.h"

#include <algorithm>

#include "text/fast_search.h"

namespace harvelo {

std::size_t Find(TextView text, TextView marker, std::size_t from) {
  if (from < 1 || from > text.size()) return 0;
  const std::size_t at = text.find(marker, from - 1);
  return at == TextView::npos ? 0 : at + 1;
}

Text LowerAscii(TextView text) {
  Text lower(text);
  for (char16_t& c : lower) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
  }
  return lower;
}

Text Left(TextView text, std::size_t count) { return Text(text.substr(0, count)); }

Text Right(TextView text, std::size_t count) {
  return Text(text.substr(text.size() - std::min(count, text.size())));
}

Text Mid(TextView text, std::size_t start, std::size_t count) {
  if (start < 1 || start > text.size()) return Text();
  return Text(text.substr(start - 1, count));
}

Text Mid(TextView text, std::size_t start) { return Mid(text, start, TextView::npos); }

Text TrimSpaces(TextView text) {
  const std::size_t first = text.find_first_not_of(u' ');
  if (first == TextView::npos) return Text();
  const std::size_t last = text.find_last_not_of(u' ');
  return Text(text.substr(first, last - first + 1));
}

bool StartsWith(TextView text, TextView prefix) { return text.starts_with(prefix); }

bool EndsWith(TextView text, TextView suffix) { return text.ends_with(suffix); }

Text DecimalText(std::int64_t number) {
  const std::string digits = std::to_string(number);
  return Text(digits.begin(), digits.end());
}

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Appends the leading run of ASCII units of `units` and answers its length. Addresses and
// most markup are ASCII throughout, and ASCII converts unit for unit.
template <typename Out, typename Units>
std::size_t AppendAsciiRun(Out& out, Units units) {
  const std::size_t run = FastSearch::AsciiPrefix(units);
  const std::size_t start = out.size();
  out.resize(start + run);
  FastSearch::CopyAscii(units.substr(0, run), out.data() + start);
  return run;
}

void AppendCodePoint(Text& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

Text FromUtf8(std::string_view utf8) {
  Text out;
  FromUtf8(utf8, out);
  return out;
}

void FromUtf8(std::string_view utf8, Text& out) {
  out.clear();
  out.reserve(utf8.size());
  const auto* const bytes = reinterpret_cast<const unsigned char*>(utf8.data());
  std::size_t i = 0;
  while (i < utf8.size()) {
    i += AppendAsciiRun(out, utf8.substr(i));
    if (i == utf8.size()) break;
    const unsigned char lead = bytes[i];
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
      length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, cp = lead & 0x07, minimum = 0x10000;
    }
    // One replacement stands for one malformed sequence, however many bytes it took.
    std::size_t taken = 1;
    bool valid = length != 0;
    for (; valid && taken < length; ++taken) {
      if (i + taken >= utf8.size()) {
        valid = false;
        break;
      }
      const auto next = static_cast<unsigned char>(utf8[i + taken]);
      if ((next & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      cp = (cp << 6) | (next & 0x3F);
    }
    if (valid && cp >= minimum && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF)) {
      AppendCodePoint(out, cp);
      i += length;
    } else {
      out.push_back(kReplacement);
      i += std::max<std::size_t>(taken, 1);
    }
  }
}

std::string ToUtf8(TextView text) {
  std::string out;
  ToUtf8(text, out);
  return out;
}

void ToUtf8(TextView text, std::string& out) {
  out.clear();
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    i += AppendAsciiRun(out, text.substr(i));
    if (i == text.size()) break;
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, c);
    }
  }
}

}  // namespace harvelo
