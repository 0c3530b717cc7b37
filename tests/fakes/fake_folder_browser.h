#ifndef HARVELO_TESTS_FAKES_FAKE_FOLDER_BROWSER_H_
#define HARVELO_TESTS_FAKES_FAKE_FOLDER_BROWSER_H_

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/folder_browser.h"

namespace harvelo {

// Folder dialogs answered by the test. Every setting made on any dialog is recorded in
// order ("owner 4660", "option 1 -1", "title ...", "selected ...", "root ...", "show").
struct FakeFolderBrowser : FolderBrowseComponent {
  struct Dialog : FolderBrowseDialog {
    explicit Dialog(FakeFolderBrowser& component) : c(component) {}
    void SetOwnerWindow(WindowHandle owner) override { Log("owner " + std::to_string(owner)); }
    void SetOption(FolderBrowseOption option, std::int32_t value) override {
      Log("option " + std::to_string(static_cast<int>(option)) + " " + std::to_string(value));
    }
    void SetTitle(const Text& title) override {
      c.title_ = title;
      Log("title " + ToUtf8(title));
    }
    void SetInstructionText(const Text& text) override {
      c.instruction_ = text;
      Log("instruction");
    }
    void SetSelectedFolderPath(const Text& path) override {
      c.initial_ = path;
      Log("selected " + ToUtf8(path));
    }
    void SetRootFolderPath(const Text& path) override { Log("root " + ToUtf8(path)); }
    bool Show() override {
      Log("show");
      if (c.fail_) throw Failure(u"Method 'Show' of object failed");
      return c.confirm_;
    }
    Text SelectedFolderPath() override { return c.chosen_ ? *c.chosen_ : c.initial_; }
    void Log(const std::string& entry) { c.log_.push_back(entry); }
    FakeFolderBrowser& c;
  };

  std::unique_ptr<FolderBrowseDialog> Create() override {
    ++created_;
    return std::make_unique<Dialog>(*this);
  }

  // Answers: confirm or cancel; the folder chosen (unset: the initial selection).
  bool confirm_ = true;
  std::optional<Text> chosen_;
  bool fail_ = false;
  // What was asked.
  int created_ = 0;
  std::vector<std::string> log_;
  Text title_;
  Text instruction_;
  Text initial_;
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_FOLDER_BROWSER_H_
