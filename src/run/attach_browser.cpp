#include "run/attach_browser.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/failure.h"
#include "settings/registry.h"

namespace harvelo {
namespace {

constexpr std::int16_t kMaxAttempts = 4;
constexpr int kPauseMilliseconds = 300;

// One walk of the collection: the first element whose handle reads and equals `window`.
// An element whose handle cannot be read is passed over.
std::shared_ptr<WebBrowser> FindInCollection(ShellWindows& collection, UserInterface& ui,
                                             WindowHandle window) {
  std::vector<std::shared_ptr<WebBrowser>> elements;
  try {
    elements = collection.Elements();
  } catch (const Failure&) {
    return nullptr;
  }
  for (const std::shared_ptr<WebBrowser>& element : elements) {
    try {
      ui.DoEvents();
      if (element->HWND() == window) return element;
    } catch (const Failure&) {
      // This element's handle is unknown: it cannot be the window sought.
    }
  }
  return nullptr;
}

void MaximizeIfAsked(const AttachServices& services, WindowHandle window) {
  try {
    if (Registry(services.registry).ReadSetting(kSettingsKey, setting::vMaximize) == u"1" &&
        !services.windows.IsZoomed(window)) {
      services.windows.ShowWindow(window, SW_MAXIMIZE);
    }
  } catch (const Failure&) {
    // The window stays as it is; the attachment itself has succeeded.
  }
}

}  // namespace

bool AttachBrowser(const AttachServices& services, RunState& state, WindowHandle window,
                   bool maximize) {
  std::unique_ptr<ShellWindows> collection;
  std::int16_t attempt = 0;
  while (true) {
    ++attempt;
    state.AttachedBrowser.reset();
    if (!collection) {
      try {
        collection = services.browser.CreateShellWindows();
      } catch (const Failure&) {
        // No collection this attempt: nothing can match.
      }
    }
    if (collection) {
      if (auto found = FindInCollection(*collection, services.ui, window)) {
        state.AttachedBrowser = std::move(found);
        break;
      }
    }
    if (attempt >= kMaxAttempts) return false;
    try {
      services.clock.Sleep(kPauseMilliseconds);
      services.ui.DoEvents();
    } catch (const Failure&) {
      // The next attempt follows all the same.
    }
  }
  if (maximize) MaximizeIfAsked(services, window);
  return true;
}

}  // namespace harvelo
