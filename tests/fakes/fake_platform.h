#ifndef HARVELO_TESTS_FAKES_FAKE_PLATFORM_H_
#define HARVELO_TESTS_FAKES_FAKE_PLATFORM_H_

// Every port faked, each recording what was asked of it, and bundled as the main form
// receives them, with one attached browser window showing a page the test builds.

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <numeric>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/failure.h"
#include "platform/linux/hive/hive_store.h"
#include "platform/platform.h"
#include "run/attach_browser.h"
#include "settings/registry.h"

namespace harvelo {

template <typename T>
T ReadOrRaise(const std::optional<T>& value, const char16_t* failure = u"Object variable not set") {
  if (!value) throw Failure(failure);
  return *value;
}

// An element; without `link` it is no link, and reading its href raises.
struct FakeElement : HtmlElement {
  FakeElement(std::optional<Text> html, std::optional<Text> link = {},
              std::shared_ptr<FakeElement> parent = {})
      : html(std::move(html)), link(std::move(link)), parent(std::move(parent)) {}
  Text innerHTML() override { return ReadOrRaise(html); }
  Text href() override {
    return ReadOrRaise(link, u"Object doesn't support this property or method");
  }
  std::unique_ptr<HtmlElement> ParentElement() override {
    if (!parent) throw Failure(u"Object variable not set");
    return std::make_unique<FakeElement>(*parent);
  }
  std::optional<Text> html, link;
  std::shared_ptr<FakeElement> parent;
};
using FakeElements = std::vector<std::shared_ptr<FakeElement>>;

struct FakeCollection : ElementCollection {
  explicit FakeCollection(FakeElements items) : items(std::move(items)) {}
  std::int32_t Length() override { return static_cast<std::int32_t>(items.size()); }
  std::unique_ptr<HtmlElement> item(std::int32_t i) override {
    return std::make_unique<FakeElement>(*items.at(i));
  }
  FakeElements items;
};

// Without `html`, reading the page's HTML raises.
struct FakeDocument : HtmlDocument {
  std::unique_ptr<HtmlElement> documentElement() override {
    return std::make_unique<FakeElement>(html);
  }
  std::unique_ptr<ElementCollection> links() override {
    return std::make_unique<FakeCollection>(anchors);
  }
  std::unique_ptr<ElementCollection> images() override {
    return std::make_unique<FakeCollection>(pictures);
  }
  std::optional<Text> html;
  FakeElements anchors, pictures;
};

// A browser window showing one page; without `hwnd`, reading its handle raises.
struct FakeWebBrowser : WebBrowser {
  WindowHandle HWND() override {
    return ReadOrRaise(hwnd, u"The object invoked has disconnected from its clients");
  }
  Text LocationURL() override { return location; }
  std::unique_ptr<HtmlDocument> Document() override {
    return std::make_unique<FakeDocument>(document);
  }
  std::optional<WindowHandle> hwnd = 0x1234;
  Text location = u"http://host/dir/page.htm";
  FakeDocument document;
};

// The browser windows in `windows_`; counts the walks over them.
struct FakeBrowserAutomation : BrowserAutomation {
  struct Windows : ShellWindows {
    explicit Windows(FakeBrowserAutomation& f) : f(f) {}
    std::vector<std::shared_ptr<WebBrowser>> Elements() override {
      ++f.walks_;
      return f.windows_;
    }
    FakeBrowserAutomation& f;
  };
  std::unique_ptr<ShellWindows> CreateShellWindows() override {
    if (unreachable_) throw Failure(u"No browser at http://127.0.0.1:9222");
    return std::make_unique<Windows>(*this);
  }
  std::vector<std::shared_ptr<WebBrowser>> windows_;
  bool unreachable_ = false;
  int walks_ = 0;
};

// Records the pauses asked for instead of waiting; tells a fixed date.
struct FakeClock : Clock {
  void Sleep(int milliseconds) override { sleeps_.push_back(milliseconds); }
  Text GeneralDateNow() override { return u"05/12/2026 15:30:00"; }
  std::vector<int> sleeps_;
};

// Special folders where the test puts them; an unset number cannot be resolved.
struct FakeShellFolders : ShellFolders {
  std::optional<Text> SpecialFolderPath(std::int32_t folder) override {
    const auto found = folders_.find(folder);
    return found == folders_.end() ? std::nullopt : std::optional(found->second);
  }
  std::map<std::int32_t, Text> folders_{{CSIDL_PERSONAL, u"/home/user/Documents"},
                                        {CSIDL_DESKTOPDIRECTORY, u"/home/user/Desktop"}};
};

// Thrown by End, so that the end of the program unwinds to the test; no std::exception, so
// that no handler of the program catches it.
struct ProgramEnded {};

// Records in `events_` "box TITLE: PROMPT", "show main form CAPTION: LINE", "unload main
// form" and "end"; counts the yields.
struct FakeUserInterface : UserInterface {
  void MessageBox(const Text& prompt, const Text& title) override {
    events_.push_back("box " + ToUtf8(title) + ": " + ToUtf8(prompt));
  }
  void DoEvents() override {
    ++do_events_;
    if (on_do_events_) on_do_events_();
  }
  void ShowMainForm(const Text& caption, const Text& line,
                    std::function<void()> on_close) override {
    events_.push_back("show main form " + ToUtf8(caption) + ": " + ToUtf8(line));
    on_close_ = std::move(on_close);
  }
  void UnloadMainForm() override { events_.push_back("unload main form"); }
  [[noreturn]] void End() override {
    events_.push_back("end");
    throw ProgramEnded{};
  }
  std::vector<std::string> events_;
  int do_events_ = 0;
  std::function<void()> on_do_events_;  // runs at each yield: the test acts while we wait
  std::function<void()> on_close_;      // what closing the main form runs
};

// Windows as numbers: the one in front, the maximised ones, who owns whom; and every
// ShowWindow asked for, as {window, command}.
struct FakeWindowSystem : WindowSystem {
  WindowHandle GetForegroundWindow() override { return foreground_; }
  bool IsZoomed(WindowHandle window) override { return zoomed_[window]; }
  bool ShowWindow(WindowHandle window, int command) override {
    shown_.emplace_back(window, command);
    return true;
  }
  std::int32_t SetWindowLongA(WindowHandle window, int index, std::int32_t value) override {
    return index == GWL_HWNDPARENT ? std::exchange(owner_[window], value) : 0;
  }
  WindowHandle foreground_ = 0;
  std::map<WindowHandle, bool> zoomed_;
  std::map<WindowHandle, std::int32_t> owner_;
  std::vector<std::pair<WindowHandle, int>> shown_;
};

// The registry functions over a hive in memory: a fresh profile that keeps what is written.
struct MemoryRegistry {
  operator RegistryApi&() { return *api; }
  std::unique_ptr<HiveStore> store = NewMemoryHiveStore();
  std::unique_ptr<RegistryApi> api = NewHiveRegistry(*store);
};

struct FakeMachine : Machine {
  Text ExecutableFolder() override { return executable_folder; }
  std::string ComputerName() override { return computer_name; }
  Text executable_folder = u"/opt/harvelo";
  std::string computer_name = "desk";
};

// Folders and files in memory, "/" the separator; records each folder created. Folders in
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
  static Text Normal(Text path) {
    while (path.size() > 1 && path.back() == u'/') path.pop_back();
    return path;
  }
  std::set<Text> folders_{u"/"}, read_only_;
  std::vector<Text> created_;
  std::map<Text, Text> files_;
};

// Combines to "base|relative", so that a test sees which base was used; a relative address
// with a scheme of its own comes back as it is. Honours the caller's buffer size as the real
// service does.
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

// Folder dialogs answered by the test; logs every setting made on one, in order ("owner
// 4660", "option 2 1", "title T", "instruction I", "selected S", "root R", "show").
struct FakeFolderBrowser : FolderBrowseComponent {
  struct Dialog : FolderBrowseDialog {
    explicit Dialog(FakeFolderBrowser& f) : f(f) {}
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
  bool confirm_ = true, fails_ = false;
  std::optional<Text> chosen_;  // unset: the folder selected at the start
  std::vector<std::string> log_;
};

// Channels to a download program that the test makes present, late, absent or failing;
// records the channels opened and closed, and each message sent as "peer number data".
struct FakeMessageChannelFactory : MessageChannelFactory {
  struct Channel : MessageChannel {
    explicit Channel(FakeMessageChannelFactory& f) : f(f) {}
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
  int absent_for_ = 0, questions_ = 0;  // questions that find no peer; -1: all of them
  int send_fails_at_ = -1;              // the message (from 0) that is refused; -1: none
  bool peer_fails_ = false, open_fails_ = false;
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

// A notice without a screen: it loads when shown and keeps its listener, for the test to
// press its button or close it.
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
  MemoryRegistry registry;
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

  void Store(const Text& name, const Text& value) {
    Registry(registry).WriteSetting(kSettingsKey, name, value);
  }
  // Runs `act` and tells what came of it, "|" before each entry, empty ones left out: the
  // failure that escaped, the programs started, the messages sent and to whom, the group
  // stored, the logs written, the folders made, whether the folder dialog showed, the
  // yields, the time paused, the windows shown, then the user interface's events.
  std::string Story(const std::function<void()>& act) {
    std::string story;
    const auto add = [&](const std::string& what, auto n) {
      if (n) story += "|" + what + " " + std::to_string(n);
    };
    try {
      act();
    } catch (const Failure& failure) {
      story = "|failed " + ToUtf8(failure.description());
    } catch (const ProgramEnded&) {
    }
    for (const auto& [line, style] : processes.starts_) add("start " + ToUtf8(line), style);
    const auto& sent = channels.sent_;
    add("sent", sent.size());
    if (!sent.empty()) story += " to " + ToUtf8(sent[0].substr(0, sent[0].find(u' ')));
    const Text group = Registry(registry).ReadSetting(kSettingsKey, u"dGroupNumber");
    if (!group.empty()) story += "|group " + ToUtf8(group);
    for (const auto& file : fs.files_) story += "|log " + ToUtf8(file.first);
    add("made", fs.created_.size());
    if (!folder_browser.log_.empty()) story += "|asked";
    add("yields", ui.do_events_);
    add("slept", std::accumulate(clock.sleeps_.begin(), clock.sleeps_.end(), 0));
    add("shown", windows.shown_.size());
    for (const std::string& event : ui.events_) story += "|" + event;
    return story;
  }
};

// The page that the program attaches to with the window in front, or nullptr; the pauses it
// took on the way go to `clock`.
inline std::shared_ptr<WebBrowser> AttachToFront(BrowserAutomation& browser, WindowSystem& windows,
                                                 FakeClock& clock) {
  FakeUserInterface ui;
  MemoryRegistry registry;
  RunState state;
  const bool attached = AttachBrowser({browser, windows, registry, ui, clock}, state,
                                      windows.GetForegroundWindow(), false);
  return attached ? state.AttachedBrowser : nullptr;
}

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_PLATFORM_H_
