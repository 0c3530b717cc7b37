#include "support/tls_front.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QFile>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <future>
#include <stdexcept>

namespace harvelo::testing {
namespace {

QByteArray FileBytes(const std::string& name) {
  QFile file(QString::fromStdString(std::string(HARVELO_TLS_FOLDER) + "/" + name));
  if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + name);
  return file.readAll();
}

QSslCertificate Certificate() { return QSslCertificate(FileBytes("server.pem"), QSsl::Pem); }

// Passes the bytes of `client` to a new connection to `port` and back, until either ends.
void Relay(QTcpSocket* client, quint16 port) {
  auto* backend = new QTcpSocket(client);
  QObject::connect(client, &QIODevice::readyRead, backend,
                   [client, backend] { backend->write(client->readAll()); });
  QObject::connect(backend, &QIODevice::readyRead, client,
                   [client, backend] { client->write(backend->readAll()); });
  QObject::connect(backend, &QAbstractSocket::disconnected, client, [client, backend] {
    client->write(backend->readAll());
    client->disconnectFromHost();
  });
  QObject::connect(client, &QAbstractSocket::disconnected, client, &QObject::deleteLater);
  backend->connectToHost(QHostAddress::LocalHost, port);
  backend->write(client->readAll());
}

}  // namespace

TlsFront::TlsFront(const PageServer& server) {
  const std::string base = server.Url("");
  const quint16 backend = static_cast<quint16>(std::stoi(base.substr(base.rfind(':') + 1)));
  QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
  configuration.setLocalCertificate(Certificate());
  configuration.setPrivateKey(QSslKey(FileBytes("server.key"), QSsl::Ec, QSsl::Pem));
  configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
  std::promise<int> listening;
  std::future<int> port = listening.get_future();
  thread_.reset(QThread::create([configuration, backend, &listening] {
    QSslServer front;
    front.setSslConfiguration(configuration);
    if (!front.listen(QHostAddress::LocalHost, 0)) return listening.set_value(0);
    QObject::connect(&front, &QTcpServer::pendingConnectionAvailable, [&front, backend] {
      while (QTcpSocket* client = front.nextPendingConnection()) Relay(client, backend);
    });
    listening.set_value(front.serverPort());
    QEventLoop().exec();  // until quit
  }));
  thread_->start();
  port_ = port.get();
  if (port_ == 0) {
    thread_->wait();
    throw std::runtime_error("the TLS front cannot listen");
  }
}

TlsFront::~TlsFront() {
  thread_->quit();
  thread_->wait();
}

std::string TlsFront::Url(const std::string& path) const {
  return "https://127.0.0.1:" + std::to_string(port_) + path;
}

std::string TlsFront::AuthorityFile() { return std::string(HARVELO_TLS_FOLDER) + "/authority.pem"; }

std::string TlsFront::ChromiumSwitch() {
  const QByteArray key = Certificate().publicKey().toDer();
  return "--ignore-certificate-errors-spki-list=" +
         QCryptographicHash::hash(key, QCryptographicHash::Sha256).toBase64().toStdString();
}

}  // namespace harvelo::testing
