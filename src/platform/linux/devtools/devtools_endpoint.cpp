#include "platform/linux/devtools/devtools_endpoint.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace harvelo {
namespace {

// Profile folders, in the order they are looked at.
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

}  // namespace

QUrl FindDevToolsEndpoint(const QString& override_address, const QString& config_home) {
  if (!override_address.isEmpty()) return QUrl(override_address);
  for (const QString& folder : kProfileFolders) {
    const int port = PortInFile(QDir(config_home).filePath(folder + "/DevToolsActivePort"));
    if (port != 0) return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));
  }
  return QUrl(QStringLiteral("http://127.0.0.1:9222"));
}

QUrl FindDevToolsEndpoint() {
  QString config_home = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (config_home.isEmpty()) config_home = QDir::homePath() + QStringLiteral("/.config");
  return FindDevToolsEndpoint(qEnvironmentVariable("HARVELO_DEVTOOLS"), config_home);
}

}  // namespace harvelo
