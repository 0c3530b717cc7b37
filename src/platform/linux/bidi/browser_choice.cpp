#include "platform/linux/bidi/browser_choice.h"

#include "platform/failure.h"
#include "platform/linux/bidi/bidi_browser.h"
#include "platform/linux/bidi/bidi_client.h"
#include "platform/linux/bidi/bidi_endpoint.h"
#include "platform/linux/bidi/bidi_window_system.h"
#include "platform/linux/bidi/client_windows.h"
#include "platform/linux/bidi/session_ending_ui.h"
#include "platform/linux/devtools/devtools_browser.h"
#include "platform/linux/devtools/devtools_client.h"
#include "platform/linux/devtools/devtools_endpoint.h"
#include "platform/linux/devtools/devtools_window_system.h"
#include "platform/linux/x11/x11_window_system.h"

namespace harvelo {
namespace {

// Whether the active window of `x11` is one of Firefox's.
bool FirefoxInFront(BidiClient& client, BrowserWindows& x11) {
  try {
    const WindowHandle front = x11.GetForegroundWindow();
    const std::vector<ClientWindow> windows = ClientWindows(client);
    for (const ClientWindow& window : windows) {
      if (front != 0 && x11.HandleOf(Describe(window, windows, client.ProcessId())) == front) {
        return true;
      }
    }
  } catch (const Failure&) {
    // A Firefox that gives no session, or shows no window, is not in front.
  }
  return false;
}

class Chromium : public ChosenBrowser {
 public:
  Chromium(const QUrl& endpoint, std::unique_ptr<BrowserWindows> windows, UserInterface& ui,
           std::chrono::milliseconds time_limit)
      : client_(endpoint, time_limit),
        windows_(windows ? std::move(windows) : NewDevToolsWindowSystem(client_)),
        automation_(NewDevToolsBrowser(client_, *windows_)),
        ui_(ui) {}

  BrowserAutomation& automation() override { return *automation_; }
  BrowserWindows& windows() override { return *windows_; }
  UserInterface& ui() override { return ui_; }

 private:
  DevToolsClient client_;
  std::unique_ptr<BrowserWindows> windows_;
  std::unique_ptr<BrowserAutomation> automation_;
  UserInterface& ui_;
};

class Firefox : public ChosenBrowser {
 public:
  Firefox(std::unique_ptr<BidiClient> client, std::unique_ptr<BrowserWindows> windows,
          UserInterface& ui)
      : client_(std::move(client)),
        windows_(windows ? std::move(windows) : NewBidiWindowSystem(*client_)),
        automation_(NewBidiBrowser(*client_, *windows_)),
        ui_(NewSessionEndingUserInterface(ui, *client_)) {}

  BrowserAutomation& automation() override { return *automation_; }
  BrowserWindows& windows() override { return *windows_; }
  UserInterface& ui() override { return *ui_; }

 private:
  std::unique_ptr<BidiClient> client_;
  std::unique_ptr<BrowserWindows> windows_;
  std::unique_ptr<BrowserAutomation> automation_;
  std::unique_ptr<UserInterface> ui_;
};

}  // namespace

std::unique_ptr<ChosenBrowser> ChooseBrowser(const BrowserEndpoints& endpoints,
                                             std::unique_ptr<BrowserWindows> x11_windows,
                                             UserInterface& ui,
                                             std::chrono::milliseconds time_limit) {
  if (endpoints.bidi) {
    auto client = std::make_unique<BidiClient>(*endpoints.bidi, time_limit);
    if (!TakesConnections(endpoints.devtools) ||
        (x11_windows && FirefoxInFront(*client, *x11_windows))) {
      return std::make_unique<Firefox>(std::move(client), std::move(x11_windows), ui);
    }
  }
  return std::make_unique<Chromium>(endpoints.devtools, std::move(x11_windows), ui, time_limit);
}

std::unique_ptr<ChosenBrowser> ChooseBrowser(UserInterface& ui,
                                             std::chrono::milliseconds time_limit) {
  return ChooseBrowser({FindDevToolsEndpoint(), FindBidiEndpoint()},
                       IsX11Session() ? NewX11WindowSystem("") : nullptr, ui, time_limit);
}

}  // namespace harvelo
