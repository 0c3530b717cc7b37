#include "support/desktop_scene.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QEventLoop>
#include <QFile>
#include <QSslKey>
#include <QSslServer>
#include <QThread>
#include <QUrl>
#include <filesystem>
#include <future>
#include <sstream>
#include <stdexcept>

#include "support/browser_pages.h"
#include "support/eventually.h"

namespace harvelo::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

QByteArray TlsFile(const std::string& name) {
  return QByteArray::fromStdString(FileBytes(HARVELO_TLS_FOLDER "/" + name));
}

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

DesktopScene::DesktopScene(const XSession& display, std::string program_folder,
                           const std::string& site, BrowserProtocol browser, bool over_tls)
    : display_(display), program_folder_(std::move(program_folder)), kind_(browser) {
  ::chmod(runtime_.path().c_str(), 0700);
  server_.ServeFolder(site);
  if (!over_tls) return;
  // HTTPS in front of the server, on a thread of its own so that it answers however the
  // test waits.
  QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
  configuration.setLocalCertificate(QSslCertificate(TlsFile("server.pem")));
  configuration.setPrivateKey(QSslKey(TlsFile("server.key"), QSsl::Ec));
  const std::string url = server_.Url("");
  const auto backend = static_cast<quint16>(std::stoi(url.substr(url.rfind(':') + 1)));
  std::promise<int> listening;
  tls_.reset(QThread::create([configuration, backend, &listening] {
    QSslServer front;
    front.setSslConfiguration(configuration);
    QObject::connect(&front, &QTcpServer::pendingConnectionAvailable, [&front, backend] {
      while (QTcpSocket* client = front.nextPendingConnection()) Relay(client, backend);
    });
    listening.set_value(front.listen(QHostAddress::LocalHost, 0) ? front.serverPort() : 0);
    if (front.isListening()) QEventLoop().exec();  // until quit
  }));
  tls_->start();
  tls_port_ = listening.get_future().get();
  if (tls_port_ == 0) throw std::runtime_error("the TLS front cannot listen");
}

DesktopScene::~DesktopScene() {
  EndStartedPrograms();
  if (tls_) {
    tls_->quit();
    tls_->wait();
  }
}

std::string DesktopScene::Url(const std::string& path) const {
  return tls_ ? "https://127.0.0.1:" + std::to_string(tls_port_) + path : server_.Url(path);
}

void DesktopScene::ShowPage(const std::string& path, const std::string& launcher) {
  const std::string url = Url(path);
  std::vector<std::string> switches;
  if (tls_) {  // accepts the test certificate, and only it
    const QByteArray key = QSslCertificate(TlsFile("server.pem")).publicKey().toDer();
    switches.push_back(
        "--ignore-certificate-errors-spki-list=" +
        QCryptographicHash::hash(key, QCryptographicHash::Sha256).toBase64().toStdString());
  }
  browser_ = std::make_unique<BrowserProcess>(
      kind_, BrowserProcess::Options{display_.display(), {url}}, launcher, switches);
  const QUrl endpoint(QString::fromStdString(browser_->endpoint()));
  if (kind_ == BrowserProtocol::kBidi) {
    // Generous: a Firefox that answers its first session late keeps it, refusing every other.
    bidi_ = std::make_unique<BidiClient>(endpoint, 60s);
  } else {
    devtools_ = std::make_unique<DevToolsClient>(endpoint, 10s);
  }
  if (!Loaded(path)) throw std::runtime_error("the page never loaded: " + url);
  const std::string name = bidi_ ? "Mozilla Firefox" : "Chromium";
  BrowserComesToFront([&](const std::string& window) {
    return Run({"xdotool", "getwindowname", window}).find(name) != std::string::npos;
  });
}

bool DesktopScene::Loaded(const std::string& path) {
  if (!bidi_) return !LoadedTarget(*devtools_, browser_->endpoint(), Url(path)).isEmpty();
  const bool loaded = LoadedTab(*bidi_, Url(path));
  bidi_->EndSession();  // Firefox serves one client at a time
  return loaded;
}

void DesktopScene::OpenWindow(const std::string& path) {
  if (bidi_) {
    OpenTab(*bidi_, Url(path), true);
  } else {
    OpenTarget(*devtools_, Url(path), true);
  }
  if (!Loaded(path)) throw std::runtime_error("the page never loaded: " + Url(path));
  BrowserComesToFront([behind = browser_window_](const std::string& window) {
    return !window.empty() && window != behind;
  });
}

void DesktopScene::BrowserComesToFront(const std::function<bool(const std::string&)>& wanted) {
  const bool came = Eventually(
      [&] {
        const std::string active = Run({"xdotool", "getactivewindow"});
        browser_window_ = active.substr(0, active.find('\n'));
        return wanted(browser_window_);
      },
      30s);
  if (!came) throw std::runtime_error("no browser window came to the front");
}

std::unique_ptr<ChildProcess> DesktopScene::Start(const std::string& program,
                                                  const std::string& output) {
  // The data folder that a launcher was given, where harvelo finds the browser by itself.
  const std::string launched = browser_ ? browser_->data_home() : "";
  const std::map<std::string, std::string> environment = {
      {"DISPLAY", display_.display()},
      {"HARVELO_DEVTOOLS", devtools_ && launched.empty() ? browser_->endpoint() : ""},
      {"HARVELO_BIDI", bidi_ && launched.empty() ? browser_->endpoint() : ""},
      {"HAULBEAM_CA_FILE", tls_ ? HARVELO_TLS_FOLDER "/authority.pem" : ""},
      {"HOME", home_.path()},
      {"XDG_CONFIG_HOME", home_.path() + "/.config"},
      {"XDG_DATA_HOME", launched.empty() ? home_.path() + "/.local/share" : launched},
      {"XDG_RUNTIME_DIR", runtime_.path()},
      {"WAYLAND_DISPLAY", ""},
      {"XDG_SESSION_TYPE", ""},
      {"QT_QPA_PLATFORM", "xcb"}};
  const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  auto started = std::make_unique<ChildProcess>(std::vector{program_folder_ + "/" + program},
                                                environment, fd, fd);
  ::close(fd);
  return started;
}

std::vector<std::string> DesktopScene::WaitForLines(const std::string& file,
                                                    const std::string& prefix, std::size_t count,
                                                    std::chrono::milliseconds limit) {
  std::vector<std::string> lines;
  Eventually(
      [&] {
        lines.clear();
        std::istringstream text(FileBytes(file));
        for (std::string line; std::getline(text, line);) {
          if (line.starts_with(prefix)) lines.push_back(line);
        }
        return lines.size() >= count;
      },
      limit);
  return lines;
}

std::string DesktopScene::FindWindow(const std::string& name, std::chrono::milliseconds limit) {
  // Polled rather than waited for with --sync, which fails outright when a window it
  // looks at goes away meanwhile.
  std::string found;
  Eventually(
      [&] {
        found = Run({"xdotool", "search", "--onlyvisible", "--name", "^" + name + "$"});
        return !found.empty();
      },
      limit, 10ms);
  return found.substr(0, found.find('\n'));
}

bool DesktopScene::BecomesActive(const std::string& window) {
  return Eventually([&] { return Run({"xdotool", "getactivewindow"}) == window + "\n"; });
}

std::string DesktopScene::Run(const std::vector<std::string>& argv) {
  return RunOnDisplay(display_.display(), argv);
}

// harvelo starts its companions in sessions of their own, out of reach of its process
// group: they are told by the scene's runtime folder in their environment.
void DesktopScene::EndStartedPrograms() {
  const std::string mark = "XDG_RUNTIME_DIR=" + runtime_.path();
  for (const fs::directory_entry& process : fs::directory_iterator("/proc")) {
    const std::string pid = process.path().filename();
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::istringstream environment(FileBytes(process.path() / "environ"));
    for (std::string entry; std::getline(environment, entry, '\0');) {
      if (entry == mark) ::kill(std::stoi(pid), SIGKILL);
    }
  }
}

}  // namespace harvelo::testing
