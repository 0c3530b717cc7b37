#ifndef HARVELO_TESTS_SUPPORT_EVENTUALLY_H_
#define HARVELO_TESTS_SUPPORT_EVENTUALLY_H_

// For a state that a window manager, a browser or a program reaches in its own time.

#include <chrono>
#include <functional>
#include <thread>

namespace harvelo::testing {

// Checks `condition` every `pause` until it holds or `limit` has passed; answers whether it
// held.
inline bool Eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds limit = std::chrono::seconds(15),
                       std::chrono::milliseconds pause = std::chrono::milliseconds(50)) {
  for (const auto deadline = std::chrono::steady_clock::now() + limit;
       std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(pause)) {
    if (condition()) return true;
  }
  return condition();
}

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_EVENTUALLY_H_
