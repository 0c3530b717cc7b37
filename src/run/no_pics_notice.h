#ifndef HARVELO_RUN_NO_PICS_NOTICE_H_
#define HARVELO_RUN_NO_PICS_NOTICE_H_

// The notice for a page with nothing to download: it sits above the browser window, can
// switch itself off for later runs, and ends the program however it is closed.

#include "platform/notice_window.h"
#include "platform/registry_api.h"
#include "platform/user_interface.h"
#include "platform/window_system.h"
#include "run/run_state.h"

namespace harvelo {

class NoPicsNotice : public NoticeEvents {
 public:
  // Every collaborator must remain live while this object is; state.AttachedBrowser must
  // be set before Show.
  NoPicsNotice(NoticeWindow& window, WindowSystem& windows, RegistryApi& registry,
               UserInterface& ui, RunState& state)
      : window_(window), windows_(windows), registry_(registry), ui_(ui), state_(state) {}

  // Shows the notice without waiting for it; this object must stay live while it is open.
  void Show() { window_.Show(*this); }

  void OnLoad() override;
  void OnCommand1Click() override;
  void OnUnload() override;

 private:
  NoticeWindow& window_;
  WindowSystem& windows_;
  RegistryApi& registry_;
  UserInterface& ui_;
  RunState& state_;
};

}  // namespace harvelo

#endif  // HARVELO_RUN_NO_PICS_NOTICE_H_
