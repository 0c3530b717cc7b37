#ifndef HARVELO_RUN_ROBOTS_GATE_H_
#define HARVELO_RUN_ROBOTS_GATE_H_

// Whether a page lets itself be harvested, and the notice program Tellora that is started
// in place of the harvest when it does not.

#include "platform/browser.h"
#include "platform/process_starter.h"
#include "settings/app_path.h"
#include "settings/registry.h"
#include "text/text.h"

namespace harvelo {

// False when the page holds one of our own exclusion tags, or, unless "vObeyRobot" is
// "0", a robots name together with the word "nofollow" anywhere. Never throws.
bool IsHarvestAllowed(Registry& registry, const Text& page_html);

// The notice program's argument for the page shown in `browser`: its window handle once,
// then its address twice, each read afresh from the browser.
Text RobotNoticeArgument(WebBrowser& browser);

// Starts Tellora from the program folder, minimised with the focus, with the argument
// above, and does not wait for it. Failures of the browser reads and of the start reach
// the caller.
void StartRobotNotice(ProcessStarter& processes, WebBrowser& browser, AppPath& app_path);

}  // namespace harvelo

#endif  // HARVELO_RUN_ROBOTS_GATE_H_
