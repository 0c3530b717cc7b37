#include "scanner/source_media.h"

#include <functional>
#include <unordered_map>

#include "scanner/media_types.h"

namespace harvelo {

bool IsInMediaList(const std::vector<Text>& list, const Text& address) {
  for (std::size_t i = 1; i < list.size(); ++i) {
    if (list[i] == address) return true;
  }
  return false;
}

void TakeSourceMedia(const LinkSet& set, std::vector<Text>& media, UserInterface& ui,
                     MediaReach reach) {
  // The entries by their hash, so that the duplicate test of a large page does not walk
  // the whole list for every pair; it answers exactly as IsInMediaList does.
  std::unordered_multimap<std::size_t, std::size_t> listed;
  const std::hash<Text> hash;
  for (std::size_t i = 1; i < media.size(); ++i) listed.emplace(hash(media[i]), i);
  const auto is_listed = [&](const Text& address) {
    const auto [first, last] = listed.equal_range(hash(address));
    for (auto it = first; it != last; ++it) {
      if (media[it->second] == address) return true;
    }
    return false;
  };
  for (std::size_t j = 1; j < set.LinkURLs.size(); ++j) {
    Text target(set.LinkURLs[j]);
    const TextView content = set.LinkContents[j];
    if (Contains(LowerAscii(target), kSourceItem)) {
      // Without a "?" there is nothing to cut: the address is kept whole.
      const std::size_t cut = target.find(u'?');
      if (cut != Text::npos) target.resize(cut);
    }
    const Text lower = LowerAscii(target);
    if ((IsMovieURL(lower, reach) || IsPictureURL(lower, reach)) &&
        IsPictureURL(LowerAscii(content), reach) && IsReachableURL(lower, reach) &&
        !is_listed(target)) {
      listed.emplace(hash(target), media.size());
      media.push_back(std::move(target));
    }
    ui.DoEvents();
  }
}

}  // namespace harvelo
