#ifndef HARVELO_TESTS_SUPPORT_EVENTUALLY_H_
#define HARVELO_TESTS_SUPPORT_EVENTUALLY_H_

// For a state that a window manager or a browser reaches in its own time.

#include <QThread>
#include <functional>

namespace harvelo::testing {

// Checks `condition` until it holds or 15 s have passed; answers whether it held.
inline bool Eventually(const std::function<bool()>& condition) {
  for (int tries = 0; tries < 300; ++tries) {
    if (condition()) return true;
    QThread::msleep(50);
  }
  return condition();
}

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_EVENTUALLY_H_
