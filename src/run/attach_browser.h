#ifndef HARVELO_RUN_ATTACH_BROWSER_H_
#define HARVELO_RUN_ATTACH_BROWSER_H_

#include "platform/browser.h"
#include "platform/clock.h"
#include "platform/registry_api.h"
#include "platform/user_interface.h"
#include "platform/window_handle.h"
#include "platform/window_system.h"
#include "run/run_state.h"

namespace harvelo {

// The services the attachment reaches. They must remain live during the call.
struct AttachServices {
  BrowserAutomation& browser;
  WindowSystem& windows;
  RegistryApi& registry;
  UserInterface& ui;
  Clock& clock;
};

// Finds the browser window whose handle is `window` and makes it `state.AttachedBrowser`:
// up to four walks of the window collection, 300 ms apart, the first matching element in
// collection order winning. With `maximize` on and the setting vMaximize "1", a window
// that is not maximised is maximised. No failure escapes; false when nothing matched.
bool AttachBrowser(const AttachServices& services, RunState& state, WindowHandle window,
                   bool maximize);

}  // namespace harvelo

#endif  // HARVELO_RUN_ATTACH_BROWSER_H_
