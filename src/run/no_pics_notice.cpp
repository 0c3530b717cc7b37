#include "run/no_pics_notice.h"

#include "run/window_on_top.h"
#include "settings/registry.h"

namespace harvelo {

void NoPicsNotice::OnLoad() {
  SetWindowOwner(windows_, window_.hWnd(), state_.AttachedBrowser->HWND(), true);
}

void NoPicsNotice::OnCommand1Click() {
  // Only the plain tick counts; the greyed state does not.
  if (window_.Check1Value() == vbChecked) {
    Registry(registry_).WriteSetting(kSettingsKey, setting::dMsgNoPicsFound, u"0");
  }
  ui_.UnloadMainForm();
  ui_.End();
}

void NoPicsNotice::OnUnload() {
  // The box is not looked at on this way out.
  ui_.UnloadMainForm();
  ui_.End();
}

}  // namespace harvelo
