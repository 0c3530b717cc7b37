#ifndef HARVELO_HANDOFF_TEXT_HELPERS_H_
#define HARVELO_HANDOFF_TEXT_HELPERS_H_

// Small text operations of the hand-off: reading the origin of a page out of its address
// or its HTML, and giving folder paths their trailing separator.

#include "platform/file_system.h"
#include "text/text.h"

namespace harvelo {

// The value of the first query item of `address` named `key` (letter case ignored), or
// the empty text. A second "?" reads as "&"; the search stops at the first item that has
// no "=". Never throws.
Text GetQueryValue(const Text& address, const Text& key);

// Undoes "+" and "%hh": each percent sign with its two characters becomes ONE character
// whose code is their hexadecimal value, as far as they are hexadecimal digits (none gives
// code 0). A percent sign that is the last character stays in the result as it is.
Text URLDecode(const Text& str);

// The value between `<QXSOURCE value="` and the first `" />` after it, unchanged; the
// empty text when either marker is missing.
Text ReturnTagInfo(Text data);

// `save_path` ending in `separator`.
Text FixPath(const Text& save_path, char16_t separator = kPathSeparator);

}  // namespace harvelo

#endif  // HARVELO_HANDOFF_TEXT_HELPERS_H_
