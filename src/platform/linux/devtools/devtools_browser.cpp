#include "platform/linux/devtools/devtools_browser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>
#include <set>

#include "platform/failure.h"
#include "platform/linux/devtools/page_scripts.h"

namespace harvelo {
namespace {

// The page target a read goes to.
struct Page {
  DevToolsClient& client;
  QString target_id;
  QString socket_url;
};

// What a page function runs on: an object the page handed out before, or an expression
// evaluated afresh at each read.
struct Subject {
  QString object_id;
  QString expression;
};

// Runs `function` in the page with the subject as `this`: one protocol call. Answers the
// protocol's remote object (its "value" when `by_value`, else its "objectId").
QJsonObject Run(const Page& page, const Subject& subject, const char* function,
                const QJsonArray& arguments = {}, bool by_value = true) {
  QJsonObject result;
  if (!subject.object_id.isEmpty()) {
    QJsonArray call_arguments;
    for (const QJsonValue& argument : arguments) {
      call_arguments.append(QJsonObject{{QStringLiteral("value"), argument}});
    }
    result = page.client.Call(page.socket_url, QStringLiteral("Runtime.callFunctionOn"),
                              {{QStringLiteral("objectId"), subject.object_id},
                               {QStringLiteral("functionDeclaration"), QString(function)},
                               {QStringLiteral("arguments"), call_arguments},
                               {QStringLiteral("returnByValue"), by_value}});
  } else {
    const QString expression =
        QStringLiteral("(%1).apply(%2, %3)")
            .arg(QString(function), subject.expression,
                 QString::fromUtf8(QJsonDocument(arguments).toJson(QJsonDocument::Compact)));
    result = page.client.Call(
        page.socket_url, QStringLiteral("Runtime.evaluate"),
        {{QStringLiteral("expression"), expression}, {QStringLiteral("returnByValue"), by_value}});
  }
  return result.value(QStringLiteral("result")).toObject();
}

Text TextOf(const QJsonObject& remote) {
  return ToText(remote.value(QStringLiteral("value")).toString());
}

Subject Handed(const QJsonObject& remote) {
  return {remote.value(QStringLiteral("objectId")).toString(), {}};
}

class DevToolsElement : public HtmlElement {
 public:
  DevToolsElement(Page page, Subject subject)
      : page_(std::move(page)), subject_(std::move(subject)) {}

  Text innerHTML() override { return TextOf(Run(page_, subject_, page_scripts::kInnerHtml)); }
  Text href() override { return TextOf(Run(page_, subject_, page_scripts::kHref)); }
  std::unique_ptr<HtmlElement> ParentElement() override {
    return std::make_unique<DevToolsElement>(
        page_, Handed(Run(page_, subject_, page_scripts::kParentElement, {}, false)));
  }

 private:
  Page page_;
  Subject subject_;
};

class DevToolsCollection : public ElementCollection {
 public:
  DevToolsCollection(Page page, QString expression)
      : page_(std::move(page)), subject_{{}, std::move(expression)} {}

  std::int32_t Length() override {
    return Run(page_, subject_, page_scripts::kLength).value(QStringLiteral("value")).toInt();
  }
  std::unique_ptr<HtmlElement> item(std::int32_t index) override {
    return std::make_unique<DevToolsElement>(
        page_, Handed(Run(page_, subject_, page_scripts::kItem, {index}, false)));
  }

 private:
  Page page_;
  Subject subject_;
};

class DevToolsDocument : public HtmlDocument {
 public:
  explicit DevToolsDocument(Page page) : page_(std::move(page)) {}

  std::unique_ptr<HtmlElement> documentElement() override {
    return std::make_unique<DevToolsElement>(
        page_,
        Subject{
            {},
            QStringLiteral("(%1).call(document)").arg(QString(page_scripts::kDocumentElement))});
  }
  std::unique_ptr<ElementCollection> links() override {
    return std::make_unique<DevToolsCollection>(page_, QStringLiteral("document.links"));
  }
  std::unique_ptr<ElementCollection> images() override {
    return std::make_unique<DevToolsCollection>(page_, QStringLiteral("document.images"));
  }

 private:
  Page page_;
};

// The browser's process, asked once per collection: it does not change while the
// browser runs, and every window of one walk belongs to it.
class BrowserProcess {
 public:
  explicit BrowserProcess(DevToolsClient& client) : client_(client) {}

  std::int64_t Id() {
    if (!id_) {
      const QString socket_url = client_.ObjectAt(QStringLiteral("/json/version"))
                                     .value(QStringLiteral("webSocketDebuggerUrl"))
                                     .toString();
      const QJsonArray processes =
          client_.Call(socket_url, QStringLiteral("SystemInfo.getProcessInfo"))
              .value(QStringLiteral("processInfo"))
              .toArray();
      id_ = 0;
      for (const QJsonValue& process : processes) {
        if (process[QStringLiteral("type")].toString() == QStringLiteral("browser")) {
          id_ = static_cast<std::int64_t>(process[QStringLiteral("id")].toDouble());
        }
      }
    }
    return *id_;
  }

 private:
  DevToolsClient& client_;
  std::optional<std::int64_t> id_;
};

class DevToolsPage : public WebBrowser {
 public:
  DevToolsPage(Page page, BrowserWindowFinder& finder, std::shared_ptr<BrowserProcess> process)
      : page_(std::move(page)), finder_(finder), process_(std::move(process)) {}

  WindowHandle HWND() override {
    const QJsonObject answer = WindowOf(page_.target_id);
    const QJsonObject bounds = answer.value(QStringLiteral("bounds")).toObject();
    BrowserWindow window;
    window.browser_process = process_->Id();
    window.window_id = answer.value(QStringLiteral("windowId")).toInt();
    window.left = bounds.value(QStringLiteral("left")).toInt();
    window.top = bounds.value(QStringLiteral("top")).toInt();
    window.width = bounds.value(QStringLiteral("width")).toInt();
    window.height = bounds.value(QStringLiteral("height")).toInt();
    window.page_title = ToText(Info().value(QStringLiteral("title")).toString());
    window.ids_alike = [this, window] {
      std::set<std::int32_t> ids;
      for (const QJsonValue& target : page_.client.ListAt(QStringLiteral("/json/list"))) {
        if (target[QStringLiteral("type")].toString() != QStringLiteral("page")) continue;
        const QJsonObject other = WindowOf(target[QStringLiteral("id")].toString());
        const QJsonObject at = other.value(QStringLiteral("bounds")).toObject();
        if (at.value(QStringLiteral("left")).toInt() == window.left &&
            at.value(QStringLiteral("top")).toInt() == window.top &&
            at.value(QStringLiteral("width")).toInt() == window.width &&
            at.value(QStringLiteral("height")).toInt() == window.height) {
          ids.insert(other.value(QStringLiteral("windowId")).toInt());
        }
      }
      return std::vector<std::int32_t>(ids.begin(), ids.end());
    };
    return finder_.HandleOf(window);
  }

  Text LocationURL() override { return ToText(Info().value(QStringLiteral("url")).toString()); }

  std::unique_ptr<HtmlDocument> Document() override {
    return std::make_unique<DevToolsDocument>(page_);
  }

 private:
  QJsonObject WindowOf(const QString& target_id) {
    return page_.client.Call(page_.socket_url, QStringLiteral("Browser.getWindowForTarget"),
                             {{QStringLiteral("targetId"), target_id}});
  }

  QJsonObject Info() {
    return page_.client
        .Call(page_.socket_url, QStringLiteral("Target.getTargetInfo"),
              {{QStringLiteral("targetId"), page_.target_id}})
        .value(QStringLiteral("targetInfo"))
        .toObject();
  }

  Page page_;
  BrowserWindowFinder& finder_;
  std::shared_ptr<BrowserProcess> process_;
};

class DevToolsShellWindows : public ShellWindows {
 public:
  DevToolsShellWindows(DevToolsClient& client, BrowserWindowFinder& finder)
      : client_(client), finder_(finder), process_(std::make_shared<BrowserProcess>(client)) {}

  std::vector<std::shared_ptr<WebBrowser>> Elements() override {
    std::vector<std::shared_ptr<WebBrowser>> pages;
    for (const QJsonValue& target : client_.ListAt(QStringLiteral("/json/list"))) {
      if (target[QStringLiteral("type")].toString() != QStringLiteral("page")) continue;
      const QString id = target[QStringLiteral("id")].toString();
      QString socket_url = target[QStringLiteral("webSocketDebuggerUrl")].toString();
      if (socket_url.isEmpty()) {
        // Listed without an address while another client holds it exclusively.
        socket_url = QStringLiteral("ws://%1:%2/devtools/page/%3")
                         .arg(client_.endpoint().host())
                         .arg(client_.endpoint().port())
                         .arg(id);
      }
      pages.push_back(
          std::make_shared<DevToolsPage>(Page{client_, id, socket_url}, finder_, process_));
    }
    return pages;
  }

 private:
  DevToolsClient& client_;
  BrowserWindowFinder& finder_;
  std::shared_ptr<BrowserProcess> process_;
};

class DevToolsBrowser : public BrowserAutomation {
 public:
  DevToolsBrowser(DevToolsClient& client, BrowserWindowFinder& finder)
      : client_(client), finder_(finder) {}

  std::unique_ptr<ShellWindows> CreateShellWindows() override {
    return std::make_unique<DevToolsShellWindows>(client_, finder_);
  }

 private:
  DevToolsClient& client_;
  BrowserWindowFinder& finder_;
};

}  // namespace

std::unique_ptr<BrowserAutomation> NewDevToolsBrowser(DevToolsClient& client,
                                                      BrowserWindowFinder& finder) {
  return std::make_unique<DevToolsBrowser>(client, finder);
}

}  // namespace harvelo
