#include "trusted_authorities.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>

namespace haulbeam {

bool TrustAuthoritiesFrom(const QString& path, QString& problem) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    problem = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    return false;
  }
  const QList<QSslCertificate> added = QSslCertificate::fromData(file.readAll(), QSsl::Pem);
  if (added.isEmpty()) {
    problem = QStringLiteral("%1 holds no PEM certificate").arg(path);
    return false;
  }
  // The system's list is named as well: a list set by hand replaces the one loaded on demand.
  QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
  configuration.setCaCertificates(QSslConfiguration::systemCaCertificates() + added);
  QSslConfiguration::setDefaultConfiguration(configuration);
  return true;
}

}  // namespace haulbeam
