#include "platform/linux/devtools/page_reader.h"

#include <optional>

namespace harvelo {

PageReader::PageReader(DevToolsClient& client, QString target_id, QString socket_url)
    : client_(client), target_id_(std::move(target_id)), socket_url_(std::move(socket_url)) {}

QJsonObject PageReader::Call(const QString& method, const QJsonObject& params) {
  return client_.Call(socket_url_, method, params);
}

QJsonObject PageReader::Params(const QString& object_id, const QString& function,
                               const QJsonArray& arguments, bool by_value) const {
  QJsonArray call_arguments;
  for (const QJsonValue& argument : arguments) {
    call_arguments.append(QJsonObject{{QStringLiteral("value"), argument}});
  }
  return {{QStringLiteral("objectId"), object_id},
          {QStringLiteral("functionDeclaration"), function},
          {QStringLiteral("arguments"), call_arguments},
          {QStringLiteral("returnByValue"), by_value}};
}

QJsonObject PageReader::RunOn(const QString& object_id, const QString& function,
                              const QJsonArray& arguments, bool by_value) {
  return Call(QStringLiteral("Runtime.callFunctionOn"),
              Params(object_id, function, arguments, by_value))
      .value(QStringLiteral("result"))
      .toObject();
}

QJsonObject PageReader::RunOnDocument(const QString& function, const QJsonArray& arguments,
                                      bool by_value) {
  if (!document_.isEmpty()) {
    // An object lives as long as its document: once the page shows another one, the call is
    // refused.
    const std::optional<QJsonObject> answer =
        client_.CallUnlessRefused(socket_url_, QStringLiteral("Runtime.callFunctionOn"),
                                  Params(document_, function, arguments, by_value));
    if (answer) return answer->value(QStringLiteral("result")).toObject();
  }
  document_ = DocumentInNewWorld();
  return RunOn(document_, function, arguments, by_value);
}

QJsonObject PageReader::Run(const PageObject& object, const QString& function,
                            const QJsonArray& arguments, bool by_value) {
  const QString applied =
      object.pick.isEmpty()
          ? function
          : QStringLiteral("function (...a) { return (%1).apply((%2).call(this), a); }")
                .arg(function, object.pick);
  if (object.object_id.isEmpty()) return RunOnDocument(applied, arguments, by_value);
  return RunOn(object.object_id, applied, arguments, by_value);
}

QString PageReader::DocumentInNewWorld() {
  const QString frame = Call(QStringLiteral("Page.getFrameTree"))
                            .value(QStringLiteral("frameTree"))
                            .toObject()
                            .value(QStringLiteral("frame"))
                            .toObject()
                            .value(QStringLiteral("id"))
                            .toString();
  const int context = Call(QStringLiteral("Page.createIsolatedWorld"),
                           {{QStringLiteral("frameId"), frame},
                            {QStringLiteral("worldName"), QStringLiteral("harvelo")}})
                          .value(QStringLiteral("executionContextId"))
                          .toInt();
  return Call(QStringLiteral("Runtime.evaluate"),
              {{QStringLiteral("expression"), QStringLiteral("document")},
               {QStringLiteral("contextId"), context}})
      .value(QStringLiteral("result"))
      .toObject()
      .value(QStringLiteral("objectId"))
      .toString();
}

}  // namespace harvelo
