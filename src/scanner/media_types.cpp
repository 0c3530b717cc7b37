#include "scanner/media_types.h"

#include <array>
#include <span>

namespace harvelo {

namespace {

// Each list in its order: the program's own types first, then the modern ones.
constexpr std::array<TextView, 7> kPictureExtensions = {u".jpg", u".gif",  u".jpeg", u".jpe",
                                                        u".png", u".webp", u".avif"};
constexpr std::size_t kOwnPictures = 4;
constexpr std::array<TextView, 11> kMovieExtensions = {u".mpeg", u".mpg", u".avi", u".mov",
                                                       u".wmv",  u".asf", u".rm",  u".mp4",
                                                       u".webm", u".m4v", u".mkv"};
constexpr std::size_t kOwnMovies = 7;

bool HasExtension(TextView address, std::span<const TextView> extensions) {
  const Text lower = LowerAscii(address);
  for (TextView extension : extensions) {
    if (EndsWith(lower, extension)) return true;
  }
  for (TextView extension : extensions) {
    if (Contains(lower, Text(extension) + u"?")) return true;
  }
  return false;
}

template <std::size_t N>
std::span<const TextView> Reached(const std::array<TextView, N>& all, std::size_t own,
                                  MediaReach reach) {
  return std::span<const TextView>(all).first(reach.modern ? N : own);
}

}  // namespace

bool IsPictureURL(TextView address, MediaReach reach) {
  return HasExtension(address, Reached(kPictureExtensions, kOwnPictures, reach));
}

bool IsMovieURL(TextView address, MediaReach reach) {
  return HasExtension(address, Reached(kMovieExtensions, kOwnMovies, reach));
}

bool IsReachableURL(TextView lower_address, MediaReach reach) {
  return StartsWith(lower_address, u"http://") ||
         (reach.modern && StartsWith(lower_address, u"https://"));
}

}  // namespace harvelo
