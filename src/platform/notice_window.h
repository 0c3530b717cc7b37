#ifndef HARVELO_PLATFORM_NOTICE_WINDOW_H_
#define HARVELO_PLATFORM_NOTICE_WINDOW_H_

// The window of the no-files notice. Abstract so the notice's behaviour is tested without
// a screen; the real implementation is a Qt widget.

#include "platform/window_handle.h"

namespace harvelo {

inline constexpr int vbUnchecked = 0;
inline constexpr int vbChecked = 1;
inline constexpr int vbGrayed = 2;

// What the notice window reports; implemented by the notice's behaviour.
class NoticeEvents {
 public:
  virtual ~NoticeEvents() = default;
  virtual void OnLoad() = 0;
  virtual void OnCommand1Click() = 0;
  // The window is being closed in any way other than its button.
  virtual void OnUnload() = 0;
};

class NoticeWindow {
 public:
  virtual ~NoticeWindow() = default;
  // Shows the window without making it modal; `events` must remain live while it is open.
  // OnLoad runs before the window first appears.
  virtual void Show(NoticeEvents& events) = 0;
  virtual WindowHandle hWnd() = 0;
  // vbUnchecked, vbChecked or vbGrayed.
  virtual int Check1Value() = 0;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_NOTICE_WINDOW_H_
