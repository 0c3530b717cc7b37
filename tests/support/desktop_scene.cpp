#include "support/desktop_scene.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QThread>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "platform/linux/hive/hive.h"
#include "support/bidi_pages.h"
#include "support/devtools_pages.h"

namespace harvelo::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Whether waiting should go on: sleeps `pause` while `deadline` lies ahead.
bool BeforeDeadline(std::chrono::steady_clock::time_point deadline,
                    std::chrono::milliseconds pause = 50ms) {
  if (std::chrono::steady_clock::now() >= deadline) return false;
  std::this_thread::sleep_for(pause);
  return true;
}

}  // namespace

DesktopScene::DesktopScene(const XSession& display, std::string program_folder,
                           const std::string& site, BrowserKind browser, bool over_tls)
    : display_(display), program_folder_(std::move(program_folder)), kind_(browser) {
  ::chmod(runtime_.path().c_str(), 0700);
  server_.ServeFolder(site);
  if (over_tls) tls_ = std::make_unique<TlsFront>(server_);
}

std::string DesktopScene::Url(const std::string& path) const {
  return tls_ ? tls_->Url(path) : server_.Url(path);
}

DesktopScene::~DesktopScene() {
  EndStartedPrograms();
  devtools_.reset();
  chromium_.reset();
  bidi_.reset();
  firefox_.reset();
}

std::map<std::string, std::string> DesktopScene::Environment() const {
  std::string launched_data;  // the data folder that a launcher was given
  if (chromium_) launched_data = chromium_->data_home();
  if (firefox_) launched_data = firefox_->data_home();
  const bool launched = !launched_data.empty();
  return {{"DISPLAY", display_.display()},
          {"HARVELO_DEVTOOLS", chromium_ && !launched ? chromium_->endpoint() : ""},
          {"HARVELO_BIDI", firefox_ && !launched ? firefox_->endpoint() : ""},
          {"HAULBEAM_CA_FILE", tls_ ? TlsFront::AuthorityFile() : ""},
          {"HOME", home_.path()},
          {"XDG_CONFIG_HOME", home_.path() + "/.config"},
          {"XDG_DATA_HOME", launched ? launched_data : home_.path() + "/.local/share"},
          {"XDG_RUNTIME_DIR", runtime_.path()},
          {"WAYLAND_DISPLAY", ""},
          {"XDG_SESSION_TYPE", ""},
          {"QT_QPA_PLATFORM", "xcb"}};
}

void DesktopScene::ShowPage(const std::string& path, const std::string& launcher) {
  page_url_ = Url(path);
  if (kind_ == BrowserKind::kFirefox) {
    firefox_ = std::make_unique<FirefoxSession>(
        FirefoxSession::Options{display_.display(), {page_url_}}, launcher);
    // Generous: a Firefox that answers its first session late keeps it, refusing every other.
    bidi_ = std::make_unique<BidiClient>(QUrl(QString::fromStdString(firefox_->endpoint())), 60s);
  } else {
    std::vector<std::string> browser_switches;
    if (tls_) browser_switches.push_back(TlsFront::ChromiumSwitch());
    chromium_ = std::make_unique<ChromiumSession>(
        ChromiumSession::Options{display_.display(), {page_url_}}, launcher, browser_switches);
    devtools_ =
        std::make_unique<DevToolsClient>(QUrl(QString::fromStdString(chromium_->endpoint())), 10s);
  }
  if (!Loaded(path)) throw std::runtime_error("the page never loaded: " + page_url_);
  const std::string browser_name = firefox_ ? "Mozilla Firefox" : "Chromium";
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  do {
    const std::string active = Run({"xdotool", "getactivewindow"});
    if (Run({"xdotool", "getwindowname", active.substr(0, active.find('\n'))}).find(browser_name) !=
        std::string::npos) {
      browser_window_ = active.substr(0, active.find('\n'));
      return;
    }
  } while (BeforeDeadline(deadline));
  throw std::runtime_error("the page never came to the front; visible: " + VisibleWindows());
}

bool DesktopScene::Loaded(const std::string& path) {
  if (!bidi_) return !LoadedTarget(*devtools_, chromium_->endpoint(), Url(path)).isEmpty();
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
  const std::string behind = browser_window_;
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  do {
    const std::string active = Run({"xdotool", "getactivewindow"});
    browser_window_ = active.substr(0, active.find('\n'));
    if (!browser_window_.empty() && browser_window_ != behind) return;
  } while (BeforeDeadline(deadline));
  throw std::runtime_error("the new window never came to the front; visible: " + VisibleWindows());
}

std::unique_ptr<ChildProcess> DesktopScene::StartHarvelo() {
  const int fd = ::open(output().c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  auto harvelo = std::make_unique<ChildProcess>(
      std::vector<std::string>{program_folder_ + "/harvelo"}, Environment(), fd, fd);
  ::close(fd);
  return harvelo;
}

std::unique_ptr<ChildProcess> DesktopScene::StartHaulbeam(const std::string& output) {
  const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  auto haulbeam = std::make_unique<ChildProcess>(
      std::vector<std::string>{program_folder_ + "/Haulbeam"}, Environment(), fd, fd);
  ::close(fd);
  return haulbeam;
}

std::vector<std::string> DesktopScene::WaitForLines(const std::string& file,
                                                    const std::string& prefix, std::size_t count,
                                                    std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::vector<std::string> lines;
  do {
    lines.clear();
    std::istringstream text(FileText(file));
    for (std::string line; std::getline(text, line);) {
      if (line.starts_with(prefix)) lines.push_back(line);
    }
  } while (lines.size() < count && BeforeDeadline(deadline));
  return lines;
}

std::string DesktopScene::FindWindow(const std::string& name, std::chrono::milliseconds limit) {
  // Polled rather than waited for with --sync, which fails outright when a window it
  // looks at goes away meanwhile.
  const auto deadline = std::chrono::steady_clock::now() + limit;
  do {
    const std::string found =
        Run({"xdotool", "search", "--onlyvisible", "--name", "^" + name + "$"});
    if (!found.empty()) return found.substr(0, found.find('\n'));
  } while (BeforeDeadline(deadline, 10ms));
  return {};
}

std::string DesktopScene::Answer(const std::string& name, const std::vector<std::string>& keys) {
  const std::string window = FindWindow(name);
  if (window.empty() || !BecomesActive(window)) return {};
  std::vector<std::string> typing = {"xdotool", "key"};
  typing.insert(typing.end(), keys.begin(), keys.end());
  Run(typing);
  return window;
}

std::string DesktopScene::VisibleWindows() {
  std::istringstream ids(Run({"xdotool", "search", "--onlyvisible", "--name", "."}));
  std::string names;
  for (std::string id; std::getline(ids, id);) names += Run({"xdotool", "getwindowname", id});
  return names;
}

bool DesktopScene::BecomesActive(const std::string& window) {
  const auto deadline = std::chrono::steady_clock::now() + 15s;
  do {
    if (Run({"xdotool", "getactivewindow"}) == window + "\n") return true;
  } while (BeforeDeadline(deadline));
  return false;
}

std::string DesktopScene::Run(const std::vector<std::string>& argv) {
  return RunOnDisplay(display_.display(), argv);
}

std::string DesktopScene::Setting(const std::string& name) const {
  const std::string file = home_.path() + "/.config/Quorvex/registry.reg";
  if (!fs::exists(file)) return "(no settings file)";
  Hive hive = Hive::Parse(FileText(file));
  HiveKey* key = hive.FindKey("HKEY_CURRENT_USER\\SOFTWARE\\Quorvex");
  HiveValue* value = key ? key->FindValue(name) : nullptr;
  if (!value || value->data.empty()) return "(missing)";
  return std::string(value->data.begin(), value->data.end() - 1);
}

void DesktopScene::WriteSettings(const std::vector<std::string>& values) const {
  fs::create_directories(home_.path() + "/.config/Quorvex");
  std::ofstream file(home_.path() + "/.config/Quorvex/registry.reg");
  file << "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Quorvex]\n";
  for (const std::string& value : values) file << value << "\n";
}

// harvelo starts its companions in sessions of their own, out of reach of its process
// group: they are told by the scene's runtime folder in their environment.
void DesktopScene::EndStartedPrograms() {
  const std::string mark = "XDG_RUNTIME_DIR=" + runtime_.path();
  for (const fs::directory_entry& process : fs::directory_iterator("/proc")) {
    const std::string pid = process.path().filename();
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::istringstream environment(FileText(process.path() / "environ"));
    for (std::string entry; std::getline(environment, entry, '\0');) {
      if (entry == mark) {
        ::kill(std::stoi(pid), SIGKILL);
        break;
      }
    }
  }
}

}  // namespace harvelo::testing
