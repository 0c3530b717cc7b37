#ifndef HARVELO_PLATFORM_LINUX_QT_WIDGETS_QT_USER_INTERFACE_H_
#define HARVELO_PLATFORM_LINUX_QT_WIDGETS_QT_USER_INTERFACE_H_

#include <memory>

#include "platform/user_interface.h"
#include "text/text.h"

namespace harvelo {

// Boxes and the main form on Qt Widgets; yielding serves Qt's event queue; the end of
// the program ends the process on the spot. A QApplication must exist and remain live
// while the answer is, and every call must come from its thread.
std::unique_ptr<UserInterface> NewQtUserInterface();

// The report of a failure that nothing handled: a box naming it, titled `title`, and the
// same text on standard error. Returns when the user has closed the box; the program then
// exits with status 1.
void ReportUnhandledFailure(const Text& description, const Text& title);

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_QT_WIDGETS_QT_USER_INTERFACE_H_
