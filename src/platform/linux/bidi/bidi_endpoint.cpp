#include "platform/linux/bidi/bidi_endpoint.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QStringList>
#include <QTcpSocket>

namespace harvelo {
namespace {

// The address in a WebDriverBiDiServer.json file, when it names one that takes connections.
std::optional<QUrl> ListeningAddressIn(const QString& profile) {
  QFile file(QDir(profile).filePath(QStringLiteral("WebDriverBiDiServer.json")));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QJsonObject server = QJsonDocument::fromJson(file.read(4096)).object();
  const QString host = server.value(QStringLiteral("ws_host")).toString();
  const int port = server.value(QStringLiteral("ws_port")).toInt();
  if (host.isEmpty() || port <= 0 || port >= 65536) return std::nullopt;
  QUrl address;
  address.setScheme(QStringLiteral("ws"));
  address.setHost(host);
  address.setPort(port);
  return TakesConnections(address) ? std::optional(address) : std::nullopt;
}

// The profile folders that the profiles.ini of `root` lists, in its order.
QStringList ProfilesListedIn(const QString& root) {
  const QString ini = QDir(root).filePath(QStringLiteral("profiles.ini"));
  if (!QFile::exists(ini)) return {};
  QSettings listing(ini, QSettings::IniFormat);
  QStringList profiles;
  for (const QString& group : listing.childGroups()) {
    if (!group.startsWith(QStringLiteral("Profile"))) continue;
    listing.beginGroup(group);
    const QString path = listing.value(QStringLiteral("Path")).toString();
    const bool relative = listing.value(QStringLiteral("IsRelative")).toString() == "1";
    listing.endGroup();
    if (!path.isEmpty()) profiles.append(relative ? QDir(root).filePath(path) : path);
  }
  return profiles;
}

}  // namespace

bool TakesConnections(const QUrl& address) {
  // On the loopback interface a port nobody listens on refuses at once.
  QTcpSocket socket;
  socket.connectToHost(address.host(), static_cast<quint16>(address.port()));
  return socket.waitForConnected(500);
}

std::optional<QUrl> FindBidiEndpoint(const QString& override_address, const UserFolders& folders,
                                     const QString& home) {
  if (!override_address.isEmpty()) return QUrl(override_address);
  QStringList profiles = {QDir(folders.data_home).filePath(QStringLiteral("harvelo/firefox"))};
  for (const QString& root :
       {QDir(folders.config_home).filePath(QStringLiteral("mozilla/firefox")),
        QDir(home).filePath(QStringLiteral(".mozilla/firefox")),
        QDir(home).filePath(QStringLiteral(".mozilla/firefox-esr")),
        QDir(home).filePath(QStringLiteral("snap/firefox/common/.mozilla/firefox")),
        QDir(home).filePath(QStringLiteral(".var/app/org.mozilla.firefox/.mozilla/firefox")),
        QDir(home).filePath(
            QStringLiteral(".var/app/org.mozilla.firefox/config/mozilla/firefox"))}) {
    profiles.append(ProfilesListedIn(root));
  }
  for (const QString& profile : profiles) {
    if (std::optional<QUrl> address = ListeningAddressIn(profile)) return address;
  }
  return std::nullopt;
}

std::optional<QUrl> FindBidiEndpoint() {
  const QString home = QDir::homePath();
  UserFolders folders{qEnvironmentVariable("XDG_CONFIG_HOME"),
                      qEnvironmentVariable("XDG_DATA_HOME")};
  if (folders.config_home.isEmpty()) folders.config_home = home + QStringLiteral("/.config");
  if (folders.data_home.isEmpty()) folders.data_home = home + QStringLiteral("/.local/share");
  return FindBidiEndpoint(qEnvironmentVariable("HARVELO_BIDI"), folders, home);
}

}  // namespace harvelo
