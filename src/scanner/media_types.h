#ifndef HARVELO_SCANNER_MEDIA_TYPES_H_
#define HARVELO_SCANNER_MEDIA_TYPES_H_

#include "scanner/media_reach.h"
#include "text/text.h"

namespace harvelo {

// Whether an address names a picture (".jpg", ".gif", ".jpeg", ".jpe") or a movie
// (".mpeg", ".mpg", ".avi", ".mov", ".wmv", ".asf", ".rm"), or one of the modern types when
// `reach` asks for them, in any letter case: the extension ends the text, or stands
// anywhere directly in front of a "?". Nothing is trimmed or otherwise normalised.
bool IsPictureURL(TextView address, MediaReach reach = {});
bool IsMovieURL(TextView address, MediaReach reach = {});

// Whether a lower-cased address begins with the scheme of a web address that `reach`
// takes: "http://", and "https://" as well when modern.
bool IsReachableURL(TextView lower_address, MediaReach reach);

}  // namespace harvelo

#endif  // HARVELO_SCANNER_MEDIA_TYPES_H_
