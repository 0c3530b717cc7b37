#ifndef HARVELO_PLATFORM_LINUX_BIDI_SESSION_ENDING_UI_H_
#define HARVELO_PLATFORM_LINUX_BIDI_SESSION_ENDING_UI_H_

// Firefox keeps a WebDriver BiDi session until its client ends it, and refuses every other
// session meanwhile; a program that ends at once, with no handler running, would hold the
// browser until it restarts. So the end of the program lets the browser go first.

#include <memory>

#include "platform/linux/bidi/bidi_client.h"
#include "platform/user_interface.h"

namespace harvelo {

// `ui`, whose End first ends the session of `client`. `ui` and `client` must remain live while
// the answer is.
std::unique_ptr<UserInterface> NewSessionEndingUserInterface(UserInterface& ui, BidiClient& client);

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_BIDI_SESSION_ENDING_UI_H_
