#ifndef HARVELO_PLATFORM_LINUX_DEVTOOLS_PAGE_READER_H_
#define HARVELO_PLATFORM_LINUX_DEVTOOLS_PAGE_READER_H_

// Reads a page from a JavaScript world of the adapter's own (an isolated world): it shares the
// page's document, but none of the globals, built-ins and prototypes of the page's scripts, so
// nothing those scripts replace or redefine changes what is read.

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include "platform/linux/devtools/devtools_client.h"
#include "platform/linux/devtools/page_runner.h"

namespace harvelo {

class PageReader : public PageRunner {
 public:
  // The page target `target_id`, spoken to over `socket_url`. `client` must remain live while
  // the reader is.
  PageReader(DevToolsClient& client, QString target_id, QString socket_url);

  const QString& target_id() const { return target_id_; }

  // Sends `method` to the page target and answers the call's result.
  QJsonObject Call(const QString& method, const QJsonObject& params = {});

  // Runs `function` in the adapter's world with `this` being the object `object_id`, which an
  // earlier run handed out. One protocol call. Answers the protocol's remote object: its
  // "value" when `by_value`, else its "objectId", an object of the adapter's world.
  QJsonObject RunOn(const QString& object_id, const QString& function,
                    const QJsonArray& arguments = {}, bool by_value = true);

  // The same with `this` being the document the page shows at this moment. One protocol call;
  // three more when the page has shown another document since the last such run, whose
  // world went with it.
  QJsonObject RunOnDocument(const QString& function, const QJsonArray& arguments = {},
                            bool by_value = true);

  // The same with `this` being `object`: RunOn, or RunOnDocument for the document.
  QJsonObject Run(const PageObject& object, const QString& function,
                  const QJsonArray& arguments = {}, bool by_value = true) override;

  // Raises what a page function threw, as the protocol describes a thrown value.
  [[noreturn]] void RaiseThrown(const QJsonObject& exception) const override {
    client_.RaiseThrown(exception);
  }

 private:
  QJsonObject Params(const QString& object_id, const QString& function, const QJsonArray& arguments,
                     bool by_value) const;
  // Makes the adapter's world in the page's current document; answers that document as an
  // object of the world.
  QString DocumentInNewWorld();

  DevToolsClient& client_;
  QString target_id_;
  QString socket_url_;
  QString document_;  // the document of the last run, in the adapter's world; empty at first
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_DEVTOOLS_PAGE_READER_H_
