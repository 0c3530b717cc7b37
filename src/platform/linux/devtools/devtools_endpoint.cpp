#include "platform/linux/devtools/devtools_endpoint.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTcpSocket>

namespace harvelo {
namespace {

// Browser profile folders under the configuration folder, in the order they are looked at.
const QStringList kProfileFolders = {
    QStringLiteral("chromium"),       QStringLiteral("google-chrome"),
    QStringLiteral("microsoft-edge"), QStringLiteral("BraveSoftware/Brave-Browser"),
    QStringLiteral("vivaldi"),
};

// The port on the first line of a DevToolsActivePort file, or 0 when there is none.
int PortInFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return 0;
  bool ok = false;
  const int port = QString::fromUtf8(file.readLine(16)).trimmed().toInt(&ok);
  return ok && port > 0 && port < 65536 ? port : 0;
}

// On the loopback interface a port nobody listens on refuses at once.
bool TakesConnections(int port) {
  QTcpSocket socket;
  socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
  return socket.waitForConnected(500);
}

QUrl Loopback(int port) { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port)); }

}  // namespace

QUrl FindDevToolsEndpoint(const QString& override_address, const UserFolders& folders) {
  if (!override_address.isEmpty()) return QUrl(override_address);
  QStringList port_files = {QDir(folders.data_home).filePath("harvelo/browser/DevToolsActivePort")};
  for (const QString& folder : kProfileFolders) {
    port_files.append(QDir(folders.config_home).filePath(folder + "/DevToolsActivePort"));
  }
  int first_found = 0;
  for (const QString& file : port_files) {
    const int port = PortInFile(file);
    if (port == 0) continue;
    if (TakesConnections(port)) return Loopback(port);
    if (first_found == 0) first_found = port;
  }
  return Loopback(first_found != 0 ? first_found : 9222);
}

QUrl FindDevToolsEndpoint() {
  const QString home = QDir::homePath();
  UserFolders folders{qEnvironmentVariable("XDG_CONFIG_HOME"),
                      qEnvironmentVariable("XDG_DATA_HOME")};
  if (folders.config_home.isEmpty()) folders.config_home = home + QStringLiteral("/.config");
  if (folders.data_home.isEmpty()) folders.data_home = home + QStringLiteral("/.local/share");
  return FindDevToolsEndpoint(qEnvironmentVariable("HARVELO_DEVTOOLS"), folders);
}

}  // namespace harvelo
