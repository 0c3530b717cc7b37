#ifndef HARVELO_PLATFORM_SHELL_FOLDERS_H_
#define HARVELO_PLATFORM_SHELL_FOLDERS_H_

// The user's special folders by number. Abstract so tests can place them anywhere; the
// real implementation reads the XDG user folders.

#include <cstdint>
#include <optional>

#include "text/text.h"

namespace harvelo {

inline constexpr std::int32_t CSIDL_PERSONAL = 5;           // the documents folder
inline constexpr std::int32_t CSIDL_DESKTOPDIRECTORY = 16;  // the desktop folder

class ShellFolders {
 public:
  virtual ~ShellFolders() = default;
  // The folder's path, or nothing when the number cannot be resolved.
  virtual std::optional<Text> SpecialFolderPath(std::int32_t folder) = 0;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_SHELL_FOLDERS_H_
