#ifndef HARVELO_PLATFORM_LINUX_DEVTOOLS_KEPT_UNTIL_PAUSE_H_
#define HARVELO_PLATFORM_LINUX_DEVTOOLS_KEPT_UNTIL_PAUSE_H_

// A text read from the page, kept until the program next serves its event loop (it yields, shows
// a window, or waits for the browser): a read of the same thing before then may be answered with
// it, as nothing of the program ran between the two reads and the user can tell no difference.

#include <QObject>
#include <optional>

#include "text/text.h"

namespace harvelo {

class KeptUntilPause {
 public:
  // The text kept, when the event loop has not run since it was kept.
  const std::optional<Text>& text() const { return text_; }

  void Keep(Text text) {
    text_ = std::move(text);
    // Runs at the event loop's next turn, whoever serves it.
    QMetaObject::invokeMethod(
        &pause_, [this] { text_.reset(); }, Qt::QueuedConnection);
  }

 private:
  QObject pause_;  // the forgetting goes with the text
  std::optional<Text> text_;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_DEVTOOLS_KEPT_UNTIL_PAUSE_H_
