#ifndef HARVELO_SCANNER_MEDIA_REACH_H_
#define HARVELO_SCANNER_MEDIA_REACH_H_

// How far source mode reaches: the program's own addresses and types, or today's web as
// well, so that a user can opt in to https pages and their picture and movie formats.

#include "settings/registry.h"

namespace harvelo {

struct MediaReach {
  // Also "https://" addresses wherever "http://" ones count, pictures ".png", ".webp",
  // ".avif" and movies ".mp4", ".webm", ".m4v", ".mkv".
  bool modern = false;
};

// The reach that the setting vModernReach asks for: modern when it is exactly "1".
MediaReach ReadMediaReach(Registry& registry);

}  // namespace harvelo

#endif  // HARVELO_SCANNER_MEDIA_REACH_H_
