#ifndef HARVELO_PLATFORM_LINUX_DEVTOOLS_DEVTOOLS_ENDPOINT_H_
#define HARVELO_PLATFORM_LINUX_DEVTOOLS_DEVTOOLS_ENDPOINT_H_

// Where the browser listens for DevTools clients, found the way the user's setup implies.

#include <QString>
#include <QUrl>

namespace harvelo {

// The endpoint: `override_address` (the value of HARVELO_DEVTOOLS) when it is not empty;
// else 127.0.0.1 at the port of the first DevToolsActivePort file found in the profile
// folders of Chromium, Google Chrome, Microsoft Edge, Brave and Vivaldi under
// `config_home` (the XDG configuration folder); else http://127.0.0.1:9222.
QUrl FindDevToolsEndpoint(const QString& override_address, const QString& config_home);

// The same, from the process environment (HARVELO_DEVTOOLS, XDG_CONFIG_HOME, HOME).
QUrl FindDevToolsEndpoint();

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_DEVTOOLS_DEVTOOLS_ENDPOINT_H_
