#ifndef HARVELO_PLATFORM_LINUX_QT_WIDGETS_QT_NOTICE_WINDOW_H_
#define HARVELO_PLATFORM_LINUX_QT_WIDGETS_QT_NOTICE_WINDOW_H_

#include <memory>

#include "platform/notice_window.h"

namespace harvelo {

// The no-files notice on Qt Widgets, 288 by 120 pixels: "OK" (Command1), the
// "Don't show this message again" box (Check1) and the message (Label1). A QApplication
// must exist while it is open.
std::unique_ptr<NoticeWindow> NewQtNoticeWindow();

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_QT_WIDGETS_QT_NOTICE_WINDOW_H_
