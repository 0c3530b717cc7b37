#ifndef HARVELO_SCANNER_LINK_SET_H_
#define HARVELO_SCANNER_LINK_SET_H_

#include <vector>

#include "text/text_list.h"

namespace harvelo {

// The link pairs found in a page's text: slot j of LinkURLs belongs with slot j of
// LinkContents. Slot 0 of both always exists and stays empty; pairs occupy slots 1 to N.
struct LinkSet {
  TextList LinkURLs{TextView()};
  TextList LinkContents{TextView()};
};

// Indexed from 0; slot 0 is never filled.
using LinkSets = std::vector<LinkSet>;

}  // namespace harvelo

#endif  // HARVELO_SCANNER_LINK_SET_H_
