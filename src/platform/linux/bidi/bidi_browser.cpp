#include "platform/linux/bidi/bidi_browser.h"

#include <QJsonArray>
#include <QJsonObject>
#include <optional>
#include <set>

#include "platform/failure.h"
#include "platform/linux/bidi/client_windows.h"
#include "platform/linux/devtools/page_document.h"
#include "platform/linux/devtools/page_runner.h"
#include "platform/linux/devtools/page_scripts.h"
#include "platform/linux/qt_core/qt_text.h"

namespace harvelo {
namespace {

// One tab: a top-level browsing context of the session, read in a sandbox of the adapter's own.
class Tab : public PageRunner {
 public:
  Tab(BidiClient& client, QString context) : client_(client), context_(std::move(context)) {}

  BidiClient& client() { return client_; }

  // One protocol call. The sandbox's `document` is the page's document, seen past the page's
  // scripts. A node is handed out as the session's reference to it, without its content; any
  // other object as a handle in the sandbox, which lives as long as the document.
  QJsonObject Run(const PageObject& object, const QString& function,
                  const QJsonArray& arguments = {}, bool by_value = true) override {
    QJsonArray values;
    for (const QJsonValue& argument : arguments) {
      const QString type = argument.isBool()     ? QStringLiteral("boolean")
                           : argument.isString() ? QStringLiteral("string")
                                                 : QStringLiteral("number");
      values.append(
          QJsonObject{{QStringLiteral("type"), type}, {QStringLiteral("value"), argument}});
    }
    const QString subject =
        object.object_id.isEmpty() ? QStringLiteral("document") : QStringLiteral("this");
    QJsonObject params{
        {QStringLiteral("functionDeclaration"),
         QStringLiteral("function (...a) { return (%1).apply(%2, a); }")
             .arg(function, object.pick.isEmpty()
                                ? subject
                                : QStringLiteral("(%1).call(%2)").arg(object.pick, subject))},
        {QStringLiteral("target"),
         QJsonObject{{QStringLiteral("context"), context_},
                     {QStringLiteral("sandbox"), QStringLiteral("harvelo")}}},
        {QStringLiteral("awaitPromise"), false},
        {QStringLiteral("arguments"), values},
        {QStringLiteral("resultOwnership"),
         by_value ? QStringLiteral("none") : QStringLiteral("root")},
        {QStringLiteral("serializationOptions"),
         QJsonObject{{QStringLiteral("maxDomDepth"), 0}, {QStringLiteral("maxObjectDepth"), 0}}}};
    if (!object.object_id.isEmpty()) {
      params.insert(QStringLiteral("this"),
                    QJsonObject{{handles_.count(object.object_id) != 0 ? QStringLiteral("handle")
                                                                       : QStringLiteral("sharedId"),
                                 object.object_id}});
    }
    const QJsonObject result = client_.Call(QStringLiteral("script.callFunction"), params)
                                   .value(QStringLiteral("result"))
                                   .toObject();
    if (by_value) return result;
    QString id = result.value(QStringLiteral("sharedId")).toString();
    if (id.isEmpty()) {
      id = result.value(QStringLiteral("handle")).toString();
      handles_.insert(id);
    }
    return {{QStringLiteral("objectId"), id}};
  }

  [[noreturn]] void RaiseThrown(const QJsonObject& exception) const override {
    client_.RaiseThrown(exception);
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
      const QJsonObject title = Run({}, QString(page_scripts::kShownTitle));
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
  std::set<QString> handles_;  // the ids handed out that are handles, not nodes
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

  std::unique_ptr<HtmlDocument> Document() override { return NewPageDocument(tab_, html_); }

 private:
  std::shared_ptr<Tab> tab_;
  BrowserWindowFinder& finder_;
  // The page's HTML, kept while the program does not pause, for every document handed out.
  std::shared_ptr<KeptUntilPause> html_ = std::make_shared<KeptUntilPause>();
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
