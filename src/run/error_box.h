#ifndef HARVELO_RUN_ERROR_BOX_H_
#define HARVELO_RUN_ERROR_BOX_H_

#include "platform/user_interface.h"
#include "text/text.h"

namespace harvelo {

// The program's title, on every box it shows.
inline const Text kProgramTitle = u"Harvelo";

// Shows "Error: " + message + CR LF in the program's error box and returns when the user
// has closed it. It does not end the program: both callers do that right after.
inline void ShowErrorMessageBox(UserInterface& ui, const Text& message) {
  ui.MessageBox(u"Error: " + message + u"\r\n", kProgramTitle);
}

}  // namespace harvelo

#endif  // HARVELO_RUN_ERROR_BOX_H_
