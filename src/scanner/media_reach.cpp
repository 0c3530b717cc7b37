#include "scanner/media_reach.h"

#include "settings/setting_names.h"

namespace harvelo {

MediaReach ReadMediaReach(Registry& registry) {
  return MediaReach{registry.ReadSetting(kSettingsKey, setting::vModernReach) == u"1"};
}

}  // namespace harvelo
