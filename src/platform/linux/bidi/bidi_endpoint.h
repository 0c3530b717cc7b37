#ifndef HARVELO_PLATFORM_LINUX_BIDI_BIDI_ENDPOINT_H_
#define HARVELO_PLATFORM_LINUX_BIDI_BIDI_ENDPOINT_H_

// Where a Firefox listens for WebDriver BiDi clients, found the way the user's setup implies.

#include <QString>
#include <QUrl>
#include <optional>

#include "platform/linux/devtools/devtools_endpoint.h"

namespace harvelo {

// The endpoint: `override_address` (the value of HARVELO_BIDI, "ws://127.0.0.1:9222") when it
// is not empty; else the address in a WebDriverBiDiServer.json file (Firefox writes it in its
// profile when started with --remote-debugging-port) whose port takes a connection, since a
// browser that ended may have left its file behind. The files are looked for in the profile of
// harvelo-browser (harvelo/firefox under the data folder), then in the profiles that
// profiles.ini lists in the profile folders of Firefox and Firefox ESR: under the
// configuration folder (mozilla/firefox), under `home` (.mozilla/firefox, .mozilla/firefox-esr),
// and those of the Snap and Flatpak packages. Nothing when no Firefox is listening.
std::optional<QUrl> FindBidiEndpoint(const QString& override_address, const UserFolders& folders,
                                     const QString& home);

// Whether a program listens at the host and port of `address`; asks for half a second at most.
bool TakesConnections(const QUrl& address);

// FindBidiEndpoint from the process environment (HARVELO_BIDI, XDG_CONFIG_HOME, XDG_DATA_HOME,
// HOME).
std::optional<QUrl> FindBidiEndpoint();

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_BIDI_BIDI_ENDPOINT_H_
