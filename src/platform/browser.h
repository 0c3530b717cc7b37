#ifndef HARVELO_PLATFORM_BROWSER_H_
#define HARVELO_PLATFORM_BROWSER_H_

// The browser's automation objects, as the program reads them: the collection of open
// browser windows and, for each, the page address, the window handle and the document.
// Every read goes to the browser at the moment of use and a failed read throws Failure, as a
// late-bound property read raises. Reads that follow one another with no pause of the program
// between them (it does not yield to the event loop, nor show a window) may be answered as the
// document stood at the first of them: nothing of the program runs meanwhile, and the user
// sees that document. Abstract so the core can run over fakes; the real implementations drive
// a Chromium-family browser over the DevTools protocol and Firefox over WebDriver BiDi.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/window_handle.h"
#include "text/text.h"

namespace harvelo {

class HtmlElement {
 public:
  virtual ~HtmlElement() = default;
  // The element's content as HTML, element names in capitals ("<IMG").
  virtual Text innerHTML() = 0;
  // The element's target address (links) or its absolute address (images). Throws
  // Failure when the element has no such property: that is how a link is told apart.
  virtual Text href() = 0;
  // The element that directly contains this one.
  virtual std::unique_ptr<HtmlElement> ParentElement() = 0;
};

class ElementCollection {
 public:
  virtual ~ElementCollection() = default;
  virtual std::int32_t Length() = 0;
  // Items count from 0, in document order.
  virtual std::unique_ptr<HtmlElement> item(std::int32_t index) = 0;
};

class HtmlDocument {
 public:
  virtual ~HtmlDocument() = default;
  virtual std::unique_ptr<HtmlElement> documentElement() = 0;
  virtual std::unique_ptr<ElementCollection> links() = 0;
  virtual std::unique_ptr<ElementCollection> images() = 0;
};

// One element of the window collection: a browser window showing one page.
class WebBrowser {
 public:
  virtual ~WebBrowser() = default;
  virtual WindowHandle HWND() = 0;
  virtual Text LocationURL() = 0;
  virtual std::unique_ptr<HtmlDocument> Document() = 0;
};

// The collection of open browser windows (the shell's window collection).
class ShellWindows {
 public:
  virtual ~ShellWindows() = default;
  // The elements in the collection's own order, read afresh at each call. Throws Failure
  // when the collection cannot be walked.
  virtual std::vector<std::shared_ptr<WebBrowser>> Elements() = 0;
};

class BrowserAutomation {
 public:
  virtual ~BrowserAutomation() = default;
  // Throws Failure when no browser can be reached.
  virtual std::unique_ptr<ShellWindows> CreateShellWindows() = 0;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_BROWSER_H_
