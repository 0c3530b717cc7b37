#include "scanner/source_media.h"

#include "scanner/media_types.h"

namespace harvelo {

bool IsInMediaList(const std::vector<Text>& list, const Text& address) {
  for (std::size_t i = 1; i < list.size(); ++i) {
    if (list[i] == address) return true;
  }
  return false;
}

void TakeSourceMedia(const LinkSet& set, std::vector<Text>& media, UserInterface& ui) {
  for (std::size_t j = 1; j < set.LinkURLs.size(); ++j) {
    Text target = set.LinkURLs[j];
    const Text& content = set.LinkContents[j];
    if (Contains(LowerAscii(target), kSourceItem)) {
      // Without a "?" there is nothing to cut: the address is kept whole.
      const std::size_t cut = target.find(u'?');
      if (cut != Text::npos) target.resize(cut);
    }
    const Text lower = LowerAscii(target);
    if ((IsMovieURL(lower) || IsPictureURL(lower)) && IsPictureURL(LowerAscii(content)) &&
        StartsWith(lower, u"http://") && !IsInMediaList(media, target)) {
      media.push_back(target);
    }
    ui.DoEvents();
  }
}

}  // namespace harvelo
