#include "handoff/group_number.h"

#include <cstdint>

#include "platform/failure.h"

namespace harvelo {

namespace {

// The whole number that `text` spells: blanks around it, an optional sign, then digits
// only. Anything else raises, as the number conversion of the original does.
std::int64_t WholeNumber(const Text& text) {
  const Text number = TrimSpaces(text);
  std::size_t at = 0;
  bool negative = false;
  if (!number.empty() && (number[0] == u'-' || number[0] == u'+')) {
    negative = number[0] == u'-';
    at = 1;
  }
  if (at == number.size()) throw Failure(u"Type mismatch");
  std::int64_t value = 0;
  for (; at < number.size(); ++at) {
    if (number[at] < u'0' || number[at] > u'9') throw Failure(u"Type mismatch");
    value = value * 10 + (number[at] - u'0');
  }
  return negative ? -value : value;
}

// `value` with at least three digits, zero-padded, the sign in front.
Text ThreeDigits(std::int64_t value) {
  Text digits = DecimalText(value < 0 ? -value : value);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), u'0');
  return value < 0 ? u"-" + digits : digits;
}

}  // namespace

Text GetGroupNumber(Registry& registry) {
  const Text stored = registry.ReadSetting(kSettingsKey, setting::dGroupNumber);
  return IsValidGroupNumber(stored) ? stored : kFirstGroupNumber;
}

bool IsValidGroupNumber(const Text& number) {
  if (number.size() < 4) return false;
  if (number[0] < 97 || number[0] > 122) return false;
  for (std::size_t at = 1; at <= 3; ++at) {
    if (number[at] < 48 || number[at] > 57) return false;
  }
  return true;
}

void AdvanceGroupNumber(Registry& registry, Text current) {
  const std::int64_t n = WholeNumber(Right(current, 3));
  const Text letter = Left(current, 1);
  Text next;
  if (n == 0) {
    next = letter == u"a"
               ? Text(u"z999")
               : Text(1, static_cast<char16_t>(letter.empty() ? 0 : letter[0] - 1)) + u"999";
  } else {
    next = letter + ThreeDigits(n - 1);
  }
  registry.WriteSetting(kSettingsKey, setting::dGroupNumber, next);
}

}  // namespace harvelo
