#ifndef HARVELO_SETTINGS_SETTING_NAMES_H_
#define HARVELO_SETTINGS_SETTING_NAMES_H_

// The key every setting lives under, and the name of every setting the program reads or
// writes there. A missing value reads as the empty text, which means the default.

#include "text/text.h"

namespace harvelo {

inline const Text kSettingsKey = u"SOFTWARE\\Quorvex";

namespace setting {

// "0": only the program's own exclusion tag is obeyed, not the robots tags.
inline const Text vObeyRobot = u"vObeyRobot";
// "0": nothing is shown when a page has nothing to download.
inline const Text dMsgNoPicsFound = u"dMsgNoPicsFound";
// The folder first offered: for pictures only, and when a movie was found.
inline const Text dPathPics = u"dPathPics";
inline const Text dPathMpegs = u"dPathMpegs";
// "0": no group number and no source log.
inline const Text dAddGroup = u"dAddGroup";
// "0": no line in the source log.
inline const Text dLogSource = u"dLogSource";
// The folder of the source log.
inline const Text dLogPath = u"dLogPath";
// The group number the next run takes.
inline const Text dGroupNumber = u"dGroupNumber";
// "1": the browser window is maximised when the attachment is asked to.
inline const Text vMaximize = u"vMaximize";
// "1": source mode also takes https addresses and today's picture and movie types.
inline const Text vModernReach = u"vModernReach";

}  // namespace setting

}  // namespace harvelo

#endif  // HARVELO_SETTINGS_SETTING_NAMES_H_
