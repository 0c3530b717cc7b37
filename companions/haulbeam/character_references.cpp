#include "character_references.h"

#include <array>
#include <optional>
#include <string_view>

namespace haulbeam {
namespace {

// The names of U+00A0 to U+00FF, in order.
constexpr std::array<std::string_view, 96> kLatin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

// The longest name, "#x10FFFF" included, with room to spare.
constexpr qsizetype kLongestReference = 10;

std::optional<char32_t> Named(const QString& name) {
  static constexpr std::array<std::pair<std::string_view, char32_t>, 5> kMarkup = {
      {{"amp", U'&'}, {"lt", U'<'}, {"gt", U'>'}, {"quot", U'"'}, {"apos", U'\''}}};
  const QByteArray ascii = name.toLatin1();
  const std::string_view wanted(ascii.constData(), static_cast<std::size_t>(ascii.size()));
  for (const auto& [known, code] : kMarkup) {
    if (known == wanted) return code;
  }
  for (std::size_t i = 0; i < kLatin1Names.size(); ++i) {
    if (kLatin1Names[i] == wanted) return static_cast<char32_t>(0xA0 + i);
  }
  return std::nullopt;
}

bool IsDigit(QChar c, bool hex) {
  const char16_t u = c.unicode();
  return (u >= '0' && u <= '9') || (hex && ((u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F')));
}

std::optional<char32_t> Numeric(const QString& digits) {
  const bool hex = digits.startsWith(u'x') || digits.startsWith(u'X');
  const QString number = hex ? digits.mid(1) : digits;
  bool ok = !number.isEmpty();
  for (const QChar c : number) ok = ok && IsDigit(c, hex);
  const uint code = ok ? number.toUInt(&ok, hex ? 16 : 10) : 0;
  if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return std::nullopt;
  }
  return static_cast<char32_t>(code);
}

// The character that the reference `name` (between "&" and ";") stands for.
std::optional<char32_t> Character(const QString& name) {
  return name.startsWith(u'#') ? Numeric(name.mid(1)) : Named(name);
}

}  // namespace

QString DecodeCharacterReferences(const QString& text) {
  QString decoded;
  decoded.reserve(text.size());
  qsizetype from = 0;
  for (qsizetype amp = text.indexOf(u'&'); amp >= 0; amp = text.indexOf(u'&', from)) {
    decoded += QStringView(text).mid(from, amp - from);
    // The ";" is looked for no further than the longest name reaches, so that a text of
    // ampersands without one costs its length, not its square.
    const qsizetype name_length =
        QStringView(text).mid(amp + 1, kLongestReference + 1).indexOf(u';');
    const std::optional<char32_t> code =
        name_length >= 0 ? Character(text.mid(amp + 1, name_length)) : std::nullopt;
    if (code) {
      decoded += QString::fromUcs4(&*code, 1);
      from = amp + 1 + name_length + 1;
    } else {
      decoded += u'&';
      from = amp + 1;
    }
  }
  decoded += QStringView(text).mid(from);
  return decoded;
}

}  // namespace haulbeam
