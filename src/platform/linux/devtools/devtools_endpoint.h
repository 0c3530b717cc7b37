#ifndef HARVELO_PLATFORM_LINUX_DEVTOOLS_DEVTOOLS_ENDPOINT_H_
#define HARVELO_PLATFORM_LINUX_DEVTOOLS_DEVTOOLS_ENDPOINT_H_

// Where the browser listens for DevTools clients, found the way the user's setup implies.

#include <QString>
#include <QUrl>

namespace harvelo {

// Where the user's folders are, as the environment names them.
struct UserFolders {
  QString config_home;  // XDG_CONFIG_HOME
  QString data_home;    // XDG_DATA_HOME
};

// The endpoint: `override_address` (the value of HARVELO_DEVTOOLS) when it is not empty;
// else 127.0.0.1 at the port of a DevToolsActivePort file, looked for in the profile of
// harvelo-browser (harvelo/browser under the data folder), then in the profile folders of
// Chromium, Google Chrome, Microsoft Edge, Brave and Vivaldi under the configuration
// folder: the first whose port takes a connection, since a browser that ended may have left
// its file behind, else the first found; else http://127.0.0.1:9222.
QUrl FindDevToolsEndpoint(const QString& override_address, const UserFolders& folders);

// The same, from the process environment (HARVELO_DEVTOOLS, XDG_CONFIG_HOME, XDG_DATA_HOME,
// HOME).
QUrl FindDevToolsEndpoint();

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_DEVTOOLS_DEVTOOLS_ENDPOINT_H_
