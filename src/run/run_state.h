#ifndef HARVELO_RUN_RUN_STATE_H_
#define HARVELO_RUN_RUN_STATE_H_

// What one run of the program holds from start to end. The main form owns it and lends it
// to the parts of the pass, so that tests can run many passes in one process.

#include <memory>
#include <vector>

#include "platform/browser.h"
#include "platform/message_channel.h"
#include "scanner/link_set.h"
#include "text/text.h"

namespace harvelo {

struct RunState {
  // The browser window the run works on; set once by the attachment, never released.
  std::shared_ptr<WebBrowser> AttachedBrowser;
  // The found addresses: slot 0 stays empty, found addresses fill slots 1 to N.
  std::vector<Text> MediaURLs{Text()};
  LinkSets linkSets;
  // The channel to the download program, and whether it was opened.
  std::unique_ptr<MessageChannel> channel;
  bool ChannelOpen = false;
};

}  // namespace harvelo

#endif  // HARVELO_RUN_RUN_STATE_H_
