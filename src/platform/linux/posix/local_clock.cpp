#include "platform/linux/posix/local_clock.h"

#include <locale.h>

#include <chrono>
#include <cwchar>
#include <thread>

namespace harvelo {

namespace {

constexpr locale_t kNoLocale = static_cast<locale_t>(0);

class LocalClock : public Clock {
 public:
  void Sleep(int milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }

  Text GeneralDateNow() override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return FormatGeneralDate(local, "");
  }
};

// Wide characters are whole code points here; the program's texts are UTF-16.
Text FromCodePoints(std::wstring_view points) {
  Text text;
  text.reserve(points.size());
  for (const wchar_t point : points) {
    const auto code = static_cast<char32_t>(point);
    if (code <= 0xFFFF) {
      text.push_back(static_cast<char16_t>(code));
    } else {
      text.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      text.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    }
  }
  return text;
}

}  // namespace

std::unique_ptr<Clock> NewLocalClock() { return std::make_unique<LocalClock>(); }

Text FormatGeneralDate(const std::tm& time, const std::string& locale_name) {
  locale_t conventions = newlocale(LC_TIME_MASK, locale_name.c_str(), kNoLocale);
  if (conventions == kNoLocale) conventions = newlocale(LC_TIME_MASK, "C", kNoLocale);
  // Only this thread takes the conventions, and only for the call: the process's locale
  // stays as it is. The wide form gives the locale's month and day names whatever its
  // character set.
  if (conventions == kNoLocale) return Text();  // out of memory
  const locale_t previous = uselocale(conventions);
  std::wstring written(64, L'\0');
  std::size_t length = 0;
  // %x and %X never give an empty text together, so 0 means that the room was too small.
  while ((length = std::wcsftime(written.data(), written.size(), L"%x %X", &time)) == 0 &&
         written.size() < 4096) {
    written.resize(written.size() * 2);
  }
  uselocale(previous);
  freelocale(conventions);
  return FromCodePoints(std::wstring_view(written.data(), length));
}

}  // namespace harvelo
