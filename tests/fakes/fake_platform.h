#ifndef HARVELO_TESTS_FAKES_FAKE_PLATFORM_H_
#define HARVELO_TESTS_FAKES_FAKE_PLATFORM_H_

// Every port faked, bundled as the main form receives them, with one attached browser
// window showing a page the test builds. The ports that only the core's tests fake are
// faked here.

#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_browser.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_shell_folders.h"
#include "fakes/fake_user_interface.h"
#include "fakes/fake_window_system.h"
#include "fakes/recording_registry.h"
#include "platform/platform.h"

namespace harvelo {

// A machine whose executable folder and host name the test sets.
struct FakeMachine : Machine {
  Text ExecutableFolder() override { return executable_folder; }
  std::string ComputerName() override { return computer_name; }

  Text executable_folder = u"/opt/harvelo";
  std::string computer_name = "desk";
};

// Folders and files in memory, "/" the separator. Records each folder created; folders in
// `read_only_` refuse new children.
struct VirtualFileSystem : FileSystemObject {
  bool FolderExists(const Text& path) override { return folders_.count(Normal(path)) != 0; }
  void CreateFolder(const Text& path) override {
    const Text folder = Normal(path), parent = GetParentFolderName(folder);
    if (folders_.count(folder) || !FolderExists(parent) || read_only_.count(parent)) {
      throw Failure(u"Path not found");
    }
    folders_.insert(folder);
    created_.push_back(folder);
  }
  Text GetParentFolderName(const Text& path) override {
    const Text folder = Normal(path);
    const std::size_t slash = folder == u"/" ? Text::npos : folder.rfind(u'/');
    return slash == Text::npos ? Text() : folder.substr(0, std::max<std::size_t>(slash, 1));
  }
  void AppendToFile(const Text& path, const Text& text) override {
    const Text parent = GetParentFolderName(path);
    if (!FolderExists(parent) || read_only_.count(parent)) throw Failure(u"Permission denied");
    files_[path] += text;
  }
  // Adds a folder and its parents.
  void AddFolder(const Text& path) {
    for (Text f = Normal(path); !f.empty(); f = GetParentFolderName(f)) folders_.insert(f);
  }

  std::set<Text> folders_{u"/"}, read_only_;
  std::vector<Text> created_;
  std::map<Text, Text> files_;

 private:
  static Text Normal(Text path) {
    while (path.size() > 1 && path.back() == u'/') path.pop_back();
    return path;
  }
};

// Combines by joining "base|relative", so that a test sees which base was used; a relative
// address with a scheme of its own comes back as it is. Honours the caller's buffer size as
// the real service does, and counts the calls.
struct FakeUrlService : UrlService {
  bool InternetCombineUrlA(const std::string& base, const std::string& relative, char* buffer,
                           std::uint32_t* length, std::uint32_t flags) override {
    ++calls_;
    flags_ = flags;
    const std::string out =
        relative.find("://") != relative.npos ? relative : base + "|" + relative;
    if (out.size() + 1 > *length) return false;
    std::memcpy(buffer, out.c_str(), out.size() + 1);
    *length = static_cast<std::uint32_t>(out.size());
    return true;
  }

  int calls_ = 0;
  std::uint32_t flags_ = 0;
};

// Folder dialogs answered by the test. Every setting made on a dialog is logged in order
// ("owner 4660", "option 2 1", "title T", "instruction I", "selected S", "root R", "show").
struct FakeFolderBrowser : FolderBrowseComponent {
  struct Dialog : FolderBrowseDialog {
    explicit Dialog(FakeFolderBrowser& fake) : f(fake) {}
    void SetOwnerWindow(WindowHandle owner) override { f.Log("owner", DecimalText(owner)); }
    void SetOption(FolderBrowseOption option, std::int32_t value) override {
      f.Log("option", DecimalText(option) + u" " + DecimalText(value));
    }
    void SetTitle(const Text& title) override { f.Log("title", title); }
    void SetInstructionText(const Text& text) override { f.Log("instruction", text); }
    void SetSelectedFolderPath(const Text& path) override { f.Log("selected", selected = path); }
    void SetRootFolderPath(const Text& path) override { f.Log("root", path); }
    bool Show() override {
      f.log_.push_back("show");
      if (f.fails_) throw Failure(u"Method 'Show' of object failed");
      return f.confirm_;
    }
    Text SelectedFolderPath() override { return f.chosen_.value_or(selected); }
    FakeFolderBrowser& f;
    Text selected;
  };
  std::unique_ptr<FolderBrowseDialog> Create() override { return std::make_unique<Dialog>(*this); }
  void Log(const std::string& what, const Text& value) {
    log_.push_back(what + " " + ToUtf8(value));
  }

  bool confirm_ = true;
  bool fails_ = false;
  std::optional<Text> chosen_;  // unset: the folder selected at the start
  std::vector<std::string> log_;
};

// Channels to a download program that the test makes present, late, absent or failing.
// Records the channels opened and closed, and each message sent as "peer number data".
struct FakeMessageChannelFactory : MessageChannelFactory {
  struct Channel : MessageChannel {
    explicit Channel(FakeMessageChannelFactory& fake) : f(fake) {}
    std::int32_t OpenChannel(const Text& server, const Text& client) override {
      f.calls_.push_back("open " + ToUtf8(server) + "|" + ToUtf8(client));
      if (f.open_fails_) throw Failure(u"The channel cannot be opened");
      return 1;
    }
    std::int32_t PeerHandle() override {
      if (f.peer_fails_) throw Failure(u"The channel is closed");
      return f.absent_for_ < 0 || f.questions_++ < f.absent_for_ ? NoPeer : 77;
    }
    void SendData(std::int32_t peer, std::int32_t number, const Text& data) override {
      if (f.send_fails_at_-- == 0) throw Failure(u"The download program did not take the message");
      f.sent_.push_back(DecimalText(peer) + u" " + DecimalText(number) + u" " + data);
    }
    void CloseChannel() override { f.calls_.push_back("close"); }
    FakeMessageChannelFactory& f;
  };
  std::unique_ptr<MessageChannel> Create() override { return std::make_unique<Channel>(*this); }

  int absent_for_ = 0;  // how many questions find no peer; -1: all of them
  int questions_ = 0;
  bool peer_fails_ = false;
  int send_fails_at_ = -1;  // the message (from 0) that is refused; -1: none
  bool open_fails_ = false;
  std::vector<std::string> calls_;
  std::vector<Text> sent_;
};

// Records the command lines started, with their window style, instead of starting them.
struct FakeProcessStarter : ProcessStarter {
  std::int64_t Shell(const Text& command_line, int window_style) override {
    starts_.emplace_back(command_line, window_style);
    if (fails_) throw Failure(u"File not found");
    return 4242;
  }

  std::vector<std::pair<Text, int>> starts_;
  bool fails_ = false;
};

// A notice without a screen: it loads when shown and keeps its listener, so that the test
// can press its button or close it.
struct FakeNoticeWindow : NoticeWindow {
  void Show(NoticeEvents& events) override {
    events_ = &events;
    events.OnLoad();
  }
  WindowHandle hWnd() override { return 0x777; }
  int Check1Value() override { return check1_; }

  int check1_ = vbUnchecked;
  NoticeEvents* events_ = nullptr;  // set once shown
};

struct FakePlatform {
  FakePlatform() {
    fs.AddFolder(u"/home/user/Documents");
    browsers.windows_.push_back(page);
  }

  FakeBrowserAutomation browsers;
  FakeWindowSystem windows;
  RecordingRegistry registry;
  FakeShellFolders shell;
  VirtualFileSystem fs;
  FakeUrlService urls;
  FakeFolderBrowser folder_browser;
  FakeMessageChannelFactory channels;
  FakeProcessStarter processes;
  FakeUserInterface ui;
  FakeNoticeWindow notice;
  FakeMachine machine;
  FakeClock clock;
  Platform platform{browsers, windows,   registry, shell,  fs,      urls, folder_browser,
                    channels, processes, ui,       notice, machine, clock};
  std::shared_ptr<FakeWebBrowser> page = std::make_shared<FakeWebBrowser>();
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_PLATFORM_H_
