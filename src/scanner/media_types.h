#ifndef HARVELO_SCANNER_MEDIA_TYPES_H_
#define HARVELO_SCANNER_MEDIA_TYPES_H_

#include "text/text.h"

namespace harvelo {

// Whether an address names a picture (".jpg", ".gif", ".jpeg", ".jpe") or a movie
// (".mpeg", ".mpg", ".avi", ".mov", ".wmv", ".asf", ".rm"), in any letter case: the
// extension ends the text, or stands anywhere directly in front of a "?". Nothing is
// trimmed or otherwise normalised.
bool IsPictureURL(TextView address);
bool IsMovieURL(TextView address);

}  // namespace harvelo

#endif  // HARVELO_SCANNER_MEDIA_TYPES_H_
