#ifndef HARVELO_TESTS_FAKES_FAKE_BROWSER_H_
#define HARVELO_TESTS_FAKES_FAKE_BROWSER_H_

// A browser in memory: windows showing pages whose document the test builds. The page's
// reads are counted by name ("HWND", "LocationURL", "documentElement.innerHTML"), and a
// property left unset raises as a late-bound read does.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/browser.h"
#include "platform/failure.h"

namespace harvelo {

using BrowserReads = std::map<std::string, int>;

struct FakeElement {
  std::optional<Text> innerHTML;
  std::optional<Text> href;  // unset: not a link, reading it raises
  std::shared_ptr<FakeElement> parent;
};
using FakeElements = std::vector<std::shared_ptr<FakeElement>>;

struct FakeDocument {
  std::optional<Text> root_innerHTML;  // unset: reading it raises
  FakeElements links;
  FakeElements images;
};

template <typename T>
T ReadOrRaise(const std::optional<T>& value, const char16_t* failure) {
  if (!value) throw Failure(failure);
  return *value;
}

class FakeHtmlElement : public HtmlElement {
 public:
  FakeHtmlElement(std::shared_ptr<FakeElement> element, BrowserReads& reads, std::string name)
      : element_(std::move(element)), reads_(reads), name_(std::move(name)) {}
  Text innerHTML() override {
    ++reads_[name_ + "innerHTML"];
    return ReadOrRaise(element_->innerHTML, u"Object variable not set");
  }
  Text href() override {
    return ReadOrRaise(element_->href, u"Object doesn't support this property or method");
  }
  std::unique_ptr<HtmlElement> ParentElement() override {
    if (!element_->parent) throw Failure(u"Object variable not set");
    return std::make_unique<FakeHtmlElement>(element_->parent, reads_, "");
  }

 private:
  std::shared_ptr<FakeElement> element_;
  BrowserReads& reads_;
  std::string name_;
};

class FakeCollection : public ElementCollection {
 public:
  FakeCollection(const FakeElements& items, BrowserReads& reads) : items_(items), reads_(reads) {}
  std::int32_t Length() override { return static_cast<std::int32_t>(items_.size()); }
  std::unique_ptr<HtmlElement> item(std::int32_t index) override {
    return std::make_unique<FakeHtmlElement>(items_.at(index), reads_, "");
  }

 private:
  const FakeElements& items_;
  BrowserReads& reads_;
};

class FakeHtmlDocument : public HtmlDocument {
 public:
  FakeHtmlDocument(FakeDocument& document, BrowserReads& reads)
      : document_(document), reads_(reads) {}
  std::unique_ptr<HtmlElement> documentElement() override {
    auto root =
        std::make_shared<FakeElement>(FakeElement{document_.root_innerHTML, std::nullopt, nullptr});
    return std::make_unique<FakeHtmlElement>(root, reads_, "documentElement.");
  }
  std::unique_ptr<ElementCollection> links() override {
    return std::make_unique<FakeCollection>(document_.links, reads_);
  }
  std::unique_ptr<ElementCollection> images() override {
    return std::make_unique<FakeCollection>(document_.images, reads_);
  }

 private:
  FakeDocument& document_;
  BrowserReads& reads_;
};

// A browser window showing one page. Set `hwnd` to nothing to make its handle read raise.
struct FakeWebBrowser : WebBrowser {
  WindowHandle HWND() override {
    ++reads["HWND"];
    return ReadOrRaise(hwnd, u"The object invoked has disconnected from its clients");
  }
  Text LocationURL() override {
    ++reads["LocationURL"];
    return location;
  }
  std::unique_ptr<HtmlDocument> Document() override {
    return std::make_unique<FakeHtmlDocument>(document, reads);
  }

  std::optional<WindowHandle> hwnd = 0x1234;
  Text location = u"http://host/dir/page.htm";
  FakeDocument document;
  BrowserReads reads;
};

// The collection of the browser windows in `windows_`, which counts its walks.
struct FakeBrowserAutomation : BrowserAutomation {
  struct Windows : ShellWindows {
    explicit Windows(FakeBrowserAutomation& fake) : f(fake) {}
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

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_BROWSER_H_
