#include "saved_page.h"

#include "platform/failure.h"

namespace harvelo {

namespace {

class NoElements final : public ElementCollection {
 public:
  std::int32_t Length() override { return 0; }
  std::unique_ptr<HtmlElement> item(std::int32_t) override {
    throw Failure(u"Subscript out of range");
  }
};

// The root element: its content is the page; it is no link and has no parent.
class Root final : public HtmlElement {
 public:
  explicit Root(const Text& html) : html_(html) {}
  Text innerHTML() override { return html_; }
  Text href() override { throw Failure(u"Object doesn't support this property or method"); }
  std::unique_ptr<HtmlElement> ParentElement() override {
    throw Failure(u"Object variable not set");
  }

 private:
  const Text& html_;
};

class SavedDocument final : public HtmlDocument {
 public:
  explicit SavedDocument(const Text& html) : html_(html) {}
  std::unique_ptr<HtmlElement> documentElement() override { return std::make_unique<Root>(html_); }
  std::unique_ptr<ElementCollection> links() override { return std::make_unique<NoElements>(); }
  std::unique_ptr<ElementCollection> images() override { return std::make_unique<NoElements>(); }

 private:
  const Text& html_;
};

class SavedPage final : public WebBrowser {
 public:
  SavedPage(Text html, Text address) : html_(std::move(html)), address_(std::move(address)) {}
  // A saved page has no window.
  WindowHandle HWND() override { return 0; }
  Text LocationURL() override { return address_; }
  std::unique_ptr<HtmlDocument> Document() override {
    return std::make_unique<SavedDocument>(html_);
  }

 private:
  const Text html_;
  const Text address_;
};

}  // namespace

std::unique_ptr<WebBrowser> NewSavedPage(Text html, Text address) {
  return std::make_unique<SavedPage>(std::move(html), std::move(address));
}

}  // namespace harvelo
