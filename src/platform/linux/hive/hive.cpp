#include "platform/linux/hive/hive.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "text/text.h"

namespace harvelo {

namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";

// Names compare without regard to the letter case of A to Z.
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return Lower(x) == Lower(y); });
}

// The one spelling of all the names that compare as `name`.
std::string Folded(std::string_view name) {
  std::string folded(name);
  std::transform(folded.begin(), folded.end(), folded.begin(), Lower);
  return folded;
}

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = lead < 0x80             ? 1
                         : (lead & 0xE0) == 0xC0 ? 2
                         : (lead & 0xF0) == 0xE0 ? 3
                         : (lead & 0xF8) == 0xF0 ? 4
                                                 : 0;
    if (length == 0 || i + length > text.size()) return false;
    if (lead == 0xC0 || lead == 0xC1 || lead > 0xF4) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted string starting at text[at] == '"'; on success `at` is past the closing
// quote. Only \\ and \" are escapes, as the export syntax writes them.
std::optional<std::string> ReadQuoted(std::string_view text, std::size_t& at) {
  if (at >= text.size() || text[at] != '"') return std::nullopt;
  std::string out;
  for (std::size_t i = at + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      at = i + 1;
      return out;
    }
    if (c == '\\') {
      if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
        return std::nullopt;
      }
      out.push_back(text[++i]);
    } else {
      out.push_back(c);
    }
  }
  return std::nullopt;
}

std::string_view Trimmed(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// "aa,bb,cc": two hexadecimal digits a byte, comma-separated, possibly empty, blanks
// allowed around each byte.
std::optional<std::vector<std::uint8_t>> ReadHexBytes(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  if (Trimmed(text).empty()) return bytes;
  while (true) {
    const std::size_t comma = text.find(',');
    const std::string_view pair = Trimmed(text.substr(0, comma));
    if (pair.size() != 2 || HexDigit(pair[0]) < 0 || HexDigit(pair[1]) < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(HexDigit(pair[0]) * 16 + HexDigit(pair[1])));
    if (comma == std::string_view::npos) return bytes;
    text.remove_prefix(comma + 1);
  }
}

// The registry holds text values in UTF-16LE; the narrow functions hand them over in UTF-8.
bool IsTextType(std::uint32_t type) { return type == 1 || type == 2 || type == 7; }

// An odd last byte, half a character, is dropped.
std::string Utf8FromUtf16Le(std::string_view bytes) {
  Text text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                         static_cast<std::uint8_t>(bytes[i + 1]) << 8));
  }
  return ToUtf8(text);
}

std::vector<std::uint8_t> Utf16LeFromUtf8(std::string_view utf8) {
  std::vector<std::uint8_t> bytes;
  for (char16_t c : FromUtf8(utf8)) {
    bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return bytes;
}

std::string_view AsChars(const std::vector<std::uint8_t>& bytes) {
  return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// `wide_text`: hex lists of text types hold UTF-16LE, as in the 5.00 format.
std::optional<HiveValue> ParseValueLine(std::string_view line, bool wide_text) {
  HiveValue value;
  std::size_t at = 0;
  if (line.starts_with("@")) {
    at = 1;
  } else {
    auto name = ReadQuoted(line, at);
    if (!name) return std::nullopt;
    value.name = *name;
  }
  if (at >= line.size() || line[at] != '=') return std::nullopt;
  std::string_view data = line.substr(at + 1);
  if (data.starts_with("\"")) {
    std::size_t end = 0;
    auto text = ReadQuoted(data, end);
    if (!text || end != data.size()) return std::nullopt;
    value.type = 1;  // REG_SZ
    value.data.assign(text->begin(), text->end());
    value.data.push_back(0);
    return value;
  }
  if (data.starts_with("dword:")) {
    const std::string_view digits = data.substr(6);
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t number = 0;
    for (char c : digits) {
      const int d = HexDigit(c);
      if (d < 0) return std::nullopt;
      number = number * 16 + static_cast<std::uint32_t>(d);
    }
    value.type = 4;  // REG_DWORD, stored little-endian
    for (int shift = 0; shift < 32; shift += 8) {
      value.data.push_back(static_cast<std::uint8_t>(number >> shift));
    }
    return value;
  }
  std::string_view bytes;
  if (data.starts_with("hex:")) {
    value.type = 3;  // REG_BINARY
    bytes = data.substr(4);
  } else if (data.starts_with("hex(")) {
    const std::size_t close = data.find("):");
    if (close == std::string_view::npos || close == 4 || close > 12) return std::nullopt;
    std::uint32_t type = 0;
    for (char c : data.substr(4, close - 4)) {
      const int d = HexDigit(c);
      if (d < 0) return std::nullopt;
      type = type * 16 + static_cast<std::uint32_t>(d);
    }
    value.type = type;
    bytes = data.substr(close + 2);
  } else {
    return std::nullopt;
  }
  auto parsed = ReadHexBytes(bytes);
  if (!parsed) return std::nullopt;
  if (wide_text && IsTextType(value.type)) {
    const std::string text = Utf8FromUtf16Le(AsChars(*parsed));
    value.data.assign(text.begin(), text.end());
  } else if (IsTextType(value.type) && !IsValidUtf8(AsChars(*parsed))) {
    // Text is held as UTF-8, so that it is written back as it reads: what is not UTF-8 reads
    // as U+FFFD, as the registry functions read it.
    const std::string text = ToUtf8(FromUtf8(AsChars(*parsed)));
    value.data.assign(text.begin(), text.end());
  } else {
    value.data = std::move(*parsed);
  }
  return value;
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

std::string HexBytes(const std::vector<std::uint8_t>& data) {
  std::string out;
  char pair[4];
  for (std::size_t i = 0; i < data.size(); ++i) {
    std::snprintf(pair, sizeof pair, "%02x", data[i]);
    if (i != 0) out.push_back(',');
    out += pair;
  }
  return out;
}

// A REG_SZ that the quoted form can hold: one terminating NUL, no other, UTF-8 text.
bool PrintableAsString(const HiveValue& value) {
  if (value.data.empty() || value.data.back() != 0) return false;
  const std::string_view text = AsChars(value.data).substr(0, value.data.size() - 1);
  return text.find('\0') == std::string_view::npos && text.find('\n') == std::string_view::npos &&
         text.find('\r') == std::string_view::npos && IsValidUtf8(text);
}

std::string FormatValue(const HiveValue& value) {
  std::string line = value.name.empty() ? "@" : Quoted(value.name);
  line.push_back('=');
  if (value.type == 1 && PrintableAsString(value)) {
    line += Quoted(AsChars(value.data).substr(0, value.data.size() - 1));
  } else if (value.type == 4 && value.data.size() == 4) {
    char digits[16];
    const std::uint32_t number = value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                                 static_cast<std::uint32_t>(value.data[3]) << 24;
    std::snprintf(digits, sizeof digits, "dword:%08x", number);
    line += digits;
  } else if (value.type == 3) {
    line += "hex:" + HexBytes(value.data);
  } else {
    char type[24];
    std::snprintf(type, sizeof type, "hex(%x):", value.type);
    line +=
        type + HexBytes(IsTextType(value.type) ? Utf16LeFromUtf8(AsChars(value.data)) : value.data);
  }
  return line;
}

// Splits into logical lines, trimmed of blanks: CR LF or LF ends a line, and a hex line
// that ends in a backslash goes on in the next one. A continuation cut off by the end of
// the text counts as unreadable.
std::vector<std::string> LogicalLines(std::string_view text, std::size_t& unreadable) {
  std::vector<std::string> lines;
  std::string pending;
  bool continuing = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    pending += Trimmed(text.substr(start, end - start));
    start = end + 1;
    continuing = pending.ends_with("\\") && pending.find("=hex") != std::string::npos;
    if (continuing) {
      pending.pop_back();
    } else {
      lines.push_back(std::move(pending));
      pending.clear();
    }
  }
  if (continuing) ++unreadable;
  return lines;
}

// The text in UTF-8: the registry editor saves UTF-16LE behind a byte-order mark.
std::string Utf8Text(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) return Utf8FromUtf16Le(bytes.substr(2));
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return std::string(bytes);
}

}  // namespace

HiveValue* HiveKey::FindValue(std::string_view name) {
  for (HiveValue& value : values) {
    if (SameName(value.name, name)) return &value;
  }
  return nullptr;
}

void HiveKey::SetValue(std::string_view name, std::uint32_t type, std::vector<std::uint8_t> data) {
  if (HiveValue* existing = FindValue(name)) {
    existing->type = type;
    existing->data = std::move(data);
  } else {
    values.push_back(HiveValue{std::string(name), type, std::move(data)});
  }
}

HiveKey* Hive::FindKey(std::string_view path) {
  const auto place = places_.find(Folded(path));
  return place == places_.end() ? nullptr : &keys_[place->second];
}

HiveKey& Hive::CreateKey(std::string_view path) {
  if (HiveKey* key = FindKey(path)) return *key;
  // The levels above it that are missing, nearest first, up to one that exists: every level
  // of a key exists with it. The root itself always exists; only the levels below it are
  // keys of the file.
  std::vector<std::string_view> missing = {path};
  const std::size_t root_end = path.find('\\');
  for (std::size_t slash = path.rfind('\\'); root_end != std::string_view::npos && slash > root_end;
       slash = path.rfind('\\', slash - 1)) {
    if (FindKey(path.substr(0, slash))) break;
    missing.push_back(path.substr(0, slash));
  }
  for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
    places_.emplace(Folded(*level), keys_.size());
    keys_.push_back(HiveKey{std::string(*level), {}});
  }
  return keys_.back();
}

Hive Hive::Parse(std::string_view bytes, std::size_t* unreadable_lines) {
  enum class Format { kUnknown, kAnsi, kUnicode, kNone };
  Format format = Format::kUnknown;
  std::size_t unreadable = 0;
  Hive hive;
  HiveKey* section = nullptr;
  for (const std::string& line : LogicalLines(Utf8Text(bytes), unreadable)) {
    if (line.empty() || line.starts_with(";")) continue;
    if (format == Format::kUnknown) {
      format = line == kHeader5   ? Format::kUnicode
               : line == kHeader4 ? Format::kAnsi
                                  : Format::kNone;
      if (format != Format::kNone) continue;
    }
    if (format == Format::kNone || line.find('\0') != std::string::npos || !IsValidUtf8(line)) {
      ++unreadable;
    } else if (line.starts_with("[")) {
      // The values after a key line that cannot be read belong to no key.
      const bool readable = line.ends_with("]") && line.size() >= 3 && line[1] != '-';
      section =
          readable ? &hive.CreateKey(std::string_view(line).substr(1, line.size() - 2)) : nullptr;
      if (!readable) ++unreadable;
    } else if (std::optional<HiveValue> value = ParseValueLine(line, format == Format::kUnicode);
               value && section != nullptr) {
      section->SetValue(value->name, value->type, std::move(value->data));
    } else {
      ++unreadable;
    }
  }
  if (unreadable_lines != nullptr) *unreadable_lines = unreadable;
  return hive;
}

std::string Hive::Serialize() const {
  std::string out(kHeader5);
  out += "\n";
  for (const HiveKey& key : keys_) {
    out += "\n[" + key.path + "]\n";
    for (const HiveValue& value : key.values) out += FormatValue(value) + "\n";
  }
  return out;
}

}  // namespace harvelo
