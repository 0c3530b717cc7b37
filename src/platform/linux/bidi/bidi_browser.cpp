#include "platform/linux/bidi/bidi_browser.h"

#include <QJsonArray>
#include <QJsonObject>
#include <optional>
#include <set>

#include "platform/failure.h"
#include "platform/linux/bidi/client_windows.h"
#include "platform/linux/devtools/devtools_client.h"
#include "platform/linux/devtools/page_scripts.h"
#include "platform/linux/qt_core/qt_text.h"

namespace harvelo {
namespace {

// What a page function runs on: a node that an earlier read handed out (the session's
// reference to it), or what `pick` takes from the document that the tab shows at the moment
// of the read; neither: that document itself.
struct Subject {
  QString node;
  const char* pick = nullptr;
};

// One tab: a top-level browsing context of the session.
class Tab {
 public:
  Tab(BidiClient& client, QString context) : client_(client), context_(std::move(context)) {}

  BidiClient& client() { return client_; }

  // Runs `function` on the subject in the adapter's sandbox of the tab's document: one
  // protocol call. Answers the protocol's remote value; a node comes as the session's
  // reference, without its content.
  QJsonObject Run(const Subject& subject, const char* function, const QJsonArray& arguments = {}) {
    QJsonArray values;
    for (const QJsonValue& argument : arguments) {
      values.append(QJsonObject{{QStringLiteral("type"), QStringLiteral("number")},
                                {QStringLiteral("value"), argument}});
    }
    QJsonObject params{
        {QStringLiteral("target"),
         QJsonObject{{QStringLiteral("context"), context_},
                     {QStringLiteral("sandbox"), QStringLiteral("harvelo")}}},
        {QStringLiteral("awaitPromise"), false},
        {QStringLiteral("arguments"), values},
        {QStringLiteral("resultOwnership"), QStringLiteral("none")},
        {QStringLiteral("serializationOptions"),
         QJsonObject{{QStringLiteral("maxDomDepth"), 0}, {QStringLiteral("maxObjectDepth"), 0}}}};
    if (!subject.node.isEmpty()) {
      params.insert(QStringLiteral("functionDeclaration"), QString(function));
      params.insert(QStringLiteral("this"),
                    QJsonObject{{QStringLiteral("sharedId"), subject.node}});
    } else {
      // The sandbox's `document` is the page's document, seen past the page's scripts.
      params.insert(
          QStringLiteral("functionDeclaration"),
          QStringLiteral("function (...a) { return (%1).apply(%2, a); }")
              .arg(QString(function),
                   subject.pick == nullptr
                       ? QStringLiteral("document")
                       : QStringLiteral("(%1).call(document)").arg(QString(subject.pick))));
    }
    return client_.Call(QStringLiteral("script.callFunction"), params)
        .value(QStringLiteral("result"))
        .toObject();
  }

  // The browser's account of the tab: its address and its window.
  QJsonObject Info() {
    return client_
        .Call(QStringLiteral("browsingContext.getTree"),
              {{QStringLiteral("root"), context_}, {QStringLiteral("maxDepth"), 0}})
        .value(QStringLiteral("contexts"))
        .toArray()
        .at(0)
        .toObject();
  }

  // The tab's title when its window shows it; nothing for a tab behind another, and for a tab
  // that cannot be read (hung, or gone), which is taken for one behind.
  std::optional<Text> ShownTitle() {
    try {
      const QJsonObject title = Run({}, page_scripts::kShownTitle);
      if (title.value(QStringLiteral("type")).toString() == QStringLiteral("string")) {
        return ToText(title.value(QStringLiteral("value")).toString());
      }
    } catch (const Failure&) {
      // Its window can still be told by its bounds.
    }
    return std::nullopt;
  }

 private:
  BidiClient& client_;
  QString context_;
};

Text TextOf(const QJsonObject& remote) {
  return ToText(remote.value(QStringLiteral("value")).toString());
}

Subject Handed(const QJsonObject& remote) {
  return {remote.value(QStringLiteral("sharedId")).toString()};
}

class BidiElement : public HtmlElement {
 public:
  BidiElement(std::shared_ptr<Tab> tab, Subject subject)
      : tab_(std::move(tab)), subject_(std::move(subject)) {}

  Text innerHTML() override { return TextOf(tab_->Run(subject_, page_scripts::kInnerHtml)); }
  Text href() override { return TextOf(tab_->Run(subject_, page_scripts::kHref)); }
  std::unique_ptr<HtmlElement> ParentElement() override {
    return std::make_unique<BidiElement>(tab_,
                                         Handed(tab_->Run(subject_, page_scripts::kParentElement)));
  }

 private:
  std::shared_ptr<Tab> tab_;
  Subject subject_;
};

// The length of the collection `this`, read at the moment of the read.
constexpr char kLength[] = R"js(function () { return this.length; })js";

class BidiCollection : public ElementCollection {
 public:
  BidiCollection(std::shared_ptr<Tab> tab, const char* pick)
      : tab_(std::move(tab)), subject_{{}, pick} {}

  std::int32_t Length() override {
    return tab_->Run(subject_, kLength).value(QStringLiteral("value")).toInt();
  }
  std::unique_ptr<HtmlElement> item(std::int32_t index) override {
    return std::make_unique<BidiElement>(tab_,
                                         Handed(tab_->Run(subject_, page_scripts::kItem, {index})));
  }

 private:
  std::shared_ptr<Tab> tab_;
  Subject subject_;
};

class BidiDocument : public HtmlDocument {
 public:
  explicit BidiDocument(std::shared_ptr<Tab> tab) : tab_(std::move(tab)) {}

  std::unique_ptr<HtmlElement> documentElement() override {
    return std::make_unique<BidiElement>(tab_, Subject{{}, page_scripts::kDocumentElement});
  }
  std::unique_ptr<ElementCollection> links() override {
    return std::make_unique<BidiCollection>(tab_, page_scripts::kLinks);
  }
  std::unique_ptr<ElementCollection> images() override {
    return std::make_unique<BidiCollection>(tab_, page_scripts::kImages);
  }

 private:
  std::shared_ptr<Tab> tab_;
};

class BidiPage : public WebBrowser {
 public:
  BidiPage(std::shared_ptr<Tab> tab, BrowserWindowFinder& finder)
      : tab_(std::move(tab)), finder_(finder) {}

  WindowHandle HWND() override {
    const QString id = tab_->Info().value(QStringLiteral("clientWindow")).toString();
    const std::vector<ClientWindow> windows = ClientWindows(tab_->client());
    ClientWindow holder;
    holder.id = id;
    for (const ClientWindow& window : windows) {
      if (window.id == id) holder = window;
    }
    return finder_.HandleOf(
        Describe(holder, windows, tab_->client().ProcessId(), tab_->ShownTitle().value_or(Text())));
  }

  Text LocationURL() override {
    return ToText(tab_->Info().value(QStringLiteral("url")).toString());
  }

  std::unique_ptr<HtmlDocument> Document() override { return std::make_unique<BidiDocument>(tab_); }

 private:
  std::shared_ptr<Tab> tab_;
  BrowserWindowFinder& finder_;
};

class BidiShellWindows : public ShellWindows {
 public:
  BidiShellWindows(BidiClient& client, BrowserWindowFinder& finder)
      : client_(client), finder_(finder) {}

  // The tabs that their windows show first, then the others, each group in the browser's
  // order. A window's tabs are read only until the one it shows is found: a tab further
  // behind (unloaded, or busy) is not disturbed.
  std::vector<std::shared_ptr<WebBrowser>> Elements() override {
    std::vector<std::shared_ptr<WebBrowser>> shown;
    std::vector<std::shared_ptr<WebBrowser>> behind;
    std::set<QString> windows_told;
    for (const QJsonValue& context :
         client_.Call(QStringLiteral("browsingContext.getTree"), {{QStringLiteral("maxDepth"), 0}})
             .value(QStringLiteral("contexts"))
             .toArray()) {
      auto tab = std::make_shared<Tab>(client_, context[QStringLiteral("context")].toString());
      const QString window = context[QStringLiteral("clientWindow")].toString();
      auto page = std::make_shared<BidiPage>(tab, finder_);
      if (windows_told.count(window) == 0 && tab->ShownTitle()) {
        windows_told.insert(window);
        shown.push_back(std::move(page));
      } else {
        behind.push_back(std::move(page));
      }
    }
    shown.insert(shown.end(), behind.begin(), behind.end());
    return shown;
  }

 private:
  BidiClient& client_;
  BrowserWindowFinder& finder_;
};

class BidiBrowser : public BrowserAutomation {
 public:
  BidiBrowser(BidiClient& client, BrowserWindowFinder& finder) : client_(client), finder_(finder) {}

  std::unique_ptr<ShellWindows> CreateShellWindows() override {
    return std::make_unique<BidiShellWindows>(client_, finder_);
  }

 private:
  BidiClient& client_;
  BrowserWindowFinder& finder_;
};

}  // namespace

std::unique_ptr<BrowserAutomation> NewBidiBrowser(BidiClient& client, BrowserWindowFinder& finder) {
  return std::make_unique<BidiBrowser>(client, finder);
}

}  // namespace harvelo
