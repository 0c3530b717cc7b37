#include "scanner/media_types.h"

#include <array>

namespace harvelo {

namespace {

constexpr std::array<TextView, 4> kPictureExtensions = {u".jpg", u".gif", u".jpeg", u".jpe"};
constexpr std::array<TextView, 7> kMovieExtensions = {u".mpeg", u".mpg", u".avi", u".mov",
                                                      u".wmv",  u".asf", u".rm"};

template <std::size_t N>
bool HasExtension(TextView address, const std::array<TextView, N>& extensions) {
  const Text lower = LowerAscii(address);
  for (TextView extension : extensions) {
    if (EndsWith(lower, extension)) return true;
  }
  for (TextView extension : extensions) {
    if (Contains(lower, Text(extension) + u"?")) return true;
  }
  return false;
}

}  // namespace

bool IsPictureURL(TextView address) { return HasExtension(address, kPictureExtensions); }

bool IsMovieURL(TextView address) { return HasExtension(address, kMovieExtensions); }

}  // namespace harvelo
