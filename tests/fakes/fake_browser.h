#ifndef HARVELO_TESTS_FAKES_FAKE_BROWSER_H_
#define HARVELO_TESTS_FAKES_FAKE_BROWSER_H_

// A browser in memory: windows with pages whose document the test builds. Every read is
// counted, and a property that is not set raises as a late-bound read does.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/browser.h"
#include "platform/failure.h"

namespace harvelo {

// An element of a fake document. Shared so that a parent can be handed out many times.
struct FakeElement {
  Text innerHTML;
  std::optional<Text> href;  // unset: reading href raises
  std::shared_ptr<FakeElement> parent;
};

struct FakeDocument {
  std::optional<Text> root_innerHTML;  // unset: reading it raises
  std::vector<std::shared_ptr<FakeElement>> links;
  std::vector<std::shared_ptr<FakeElement>> images;
};

// Counts reads by property name ("HWND", "LocationURL", "innerHTML", "href", ...).
struct BrowserReads {
  std::map<std::string, int> count;
  void Add(const std::string& property) { ++count[property]; }
  int operator[](const std::string& property) const {
    auto found = count.find(property);
    return found == count.end() ? 0 : found->second;
  }
};

class FakeHtmlElement : public HtmlElement {
 public:
  FakeHtmlElement(std::shared_ptr<FakeElement> element, BrowserReads& reads)
      : element_(std::move(element)), reads_(reads) {}
  Text innerHTML() override {
    reads_.Add("innerHTML");
    return element_->innerHTML;
  }
  Text href() override {
    reads_.Add("href");
    if (!element_->href) throw Failure(u"Object doesn't support this property or method");
    return *element_->href;
  }
  std::unique_ptr<HtmlElement> ParentElement() override {
    reads_.Add("ParentElement");
    if (!element_->parent) throw Failure(u"Object variable not set");
    return std::make_unique<FakeHtmlElement>(element_->parent, reads_);
  }

 private:
  std::shared_ptr<FakeElement> element_;
  BrowserReads& reads_;
};

class FakeCollection : public ElementCollection {
 public:
  FakeCollection(const std::vector<std::shared_ptr<FakeElement>>& items, BrowserReads& reads)
      : items_(items), reads_(reads) {}
  std::int32_t Length() override {
    reads_.Add("Length");
    return static_cast<std::int32_t>(items_.size());
  }
  std::unique_ptr<HtmlElement> item(std::int32_t index) override {
    reads_.Add("item");
    if (index < 0 || index >= static_cast<std::int32_t>(items_.size())) {
      throw Failure(u"Invalid procedure call or argument");
    }
    return std::make_unique<FakeHtmlElement>(items_[index], reads_);
  }

 private:
  const std::vector<std::shared_ptr<FakeElement>>& items_;
  BrowserReads& reads_;
};

// The root element of a fake document; only its innerHTML is ever read.
class FakeRootElement : public HtmlElement {
 public:
  FakeRootElement(FakeDocument& document, BrowserReads& reads)
      : document_(document), reads_(reads) {}
  Text innerHTML() override {
    reads_.Add("documentElement.innerHTML");
    if (!document_.root_innerHTML) throw Failure(u"Object variable not set");
    return *document_.root_innerHTML;
  }
  Text href() override { throw Failure(u"Object doesn't support this property or method"); }
  std::unique_ptr<HtmlElement> ParentElement() override {
    throw Failure(u"Object variable not set");
  }

 private:
  FakeDocument& document_;
  BrowserReads& reads_;
};

class FakeHtmlDocument : public HtmlDocument {
 public:
  FakeHtmlDocument(FakeDocument& document, BrowserReads& reads)
      : document_(document), reads_(reads) {}
  std::unique_ptr<HtmlElement> documentElement() override {
    return std::make_unique<FakeRootElement>(document_, reads_);
  }
  std::unique_ptr<ElementCollection> links() override {
    reads_.Add("links");
    return std::make_unique<FakeCollection>(document_.links, reads_);
  }
  std::unique_ptr<ElementCollection> images() override {
    reads_.Add("images");
    return std::make_unique<FakeCollection>(document_.images, reads_);
  }

 private:
  FakeDocument& document_;
  BrowserReads& reads_;
};

// A browser window showing one page. Set `hwnd` to nothing to make its handle read raise.
class FakeWebBrowser : public WebBrowser {
 public:
  std::optional<WindowHandle> hwnd = 0x1234;
  Text location = u"http://host/dir/page.htm";
  FakeDocument document;
  BrowserReads reads;

  WindowHandle HWND() override {
    reads.Add("HWND");
    if (!hwnd) throw Failure(u"The object invoked has disconnected from its clients");
    return *hwnd;
  }
  Text LocationURL() override {
    reads.Add("LocationURL");
    return location;
  }
  std::unique_ptr<HtmlDocument> Document() override {
    return std::make_unique<FakeHtmlDocument>(document, reads);
  }
};

// The window collection: the windows in order, and how often it was walked.
class FakeShellWindows : public ShellWindows {
 public:
  explicit FakeShellWindows(std::vector<std::shared_ptr<WebBrowser>>& windows, int& walks)
      : windows_(windows), walks_(walks) {}
  std::vector<std::shared_ptr<WebBrowser>> Elements() override {
    ++walks_;
    return windows_;
  }

 private:
  std::vector<std::shared_ptr<WebBrowser>>& windows_;
  int& walks_;
};

struct FakeBrowserAutomation : BrowserAutomation {
  std::unique_ptr<ShellWindows> CreateShellWindows() override {
    ++created_;
    if (unreachable_) throw Failure(u"No browser at http://127.0.0.1:9222");
    return std::make_unique<FakeShellWindows>(windows_, walks_);
  }

  std::vector<std::shared_ptr<WebBrowser>> windows_;
  bool unreachable_ = false;
  int created_ = 0;
  int walks_ = 0;
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_BROWSER_H_
