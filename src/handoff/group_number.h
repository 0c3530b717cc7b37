#ifndef HARVELO_HANDOFF_GROUP_NUMBER_H_
#define HARVELO_HANDOFF_GROUP_NUMBER_H_

// The group number that keeps one run's downloads together: a persistent counter in the
// settings that counts down g999, g998, ..., a000, z999, ..., h000 and round again.

#include "settings/registry.h"
#include "text/text.h"

namespace harvelo {

// The number the first run uses, and the one used while the stored value is malformed.
inline const Text kFirstGroupNumber = u"g999";

// The stored "dGroupNumber" when it is well-formed, else kFirstGroupNumber. Never writes.
Text GetGroupNumber(Registry& registry);

// True when the first four characters are a letter "a" to "z" and three digits. Only
// those four are examined, so a longer text can pass.
bool IsValidGroupNumber(const Text& number);

// Stores the number that follows `current` as "dGroupNumber". Throws Failure ("Type
// mismatch") when the last three characters of `current` are not a number, which only a
// stored text longer than four characters can bring about.
void AdvanceGroupNumber(Registry& registry, Text current);

}  // namespace harvelo

#endif  // HARVELO_HANDOFF_GROUP_NUMBER_H_
