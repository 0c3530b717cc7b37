#include "platform/linux/devtools/collection_snapshot.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "platform/linux/devtools/page_scripts.h"
#include "platform/linux/qt_core/qt_text.h"

namespace harvelo {
namespace {

// Characters per answer: a page of any size comes in parts, each well within the time limit of a
// call; and an answer longer than some 250,000 characters takes the browser much longer per
// character to send.
constexpr int kAnswerBudget = 200'000;

}  // namespace

std::shared_ptr<const CollectionSnapshot> CollectionSnapshot::Take(std::shared_ptr<PageRunner> page,
                                                                   const PageObject& collection,
                                                                   SnapshotReads reads) {
  const QString take =
      QStringLiteral("function (...a) { return (%1).call(this, %2, %3, %4, ...a); }")
          .arg(QString(page_scripts::kSnapshot), QString(page_scripts::kInnerHtml),
               QString(page_scripts::kHref), QString(page_scripts::kParentElement));
  const QString holder =
      page->Run(collection, take, {reads.inner_html, reads.href, reads.parent}, false)
          .value(QStringLiteral("objectId"))
          .toString();
  QJsonArray rows;
  for (;;) {
    const QJsonObject answer =
        QJsonDocument::fromJson(page->Run({holder, {}}, QString(page_scripts::kSnapshotRows),
                                          {rows.size(), kAnswerBudget})
                                    .value(QStringLiteral("value"))
                                    .toString()
                                    .toUtf8())
            .object();
    const QJsonArray more = answer.value(QStringLiteral("rows")).toArray();
    for (const QJsonValue& row : more) rows.append(row);
    if (more.isEmpty() || rows.size() >= answer.value(QStringLiteral("length")).toInt()) break;
  }
  return std::shared_ptr<const CollectionSnapshot>(
      new CollectionSnapshot(std::move(page), holder, std::move(rows)));
}

std::optional<Text> CollectionSnapshot::Taken(std::int32_t index, SnapshotRead read) const {
  const QJsonValue value = rows_.at(index).toArray().at(static_cast<qsizetype>(read));
  if (value.isNull()) return std::nullopt;
  if (value.isObject()) {
    page_->RaiseThrown(value.toObject().value(QStringLiteral("thrown")).toObject());
  }
  return ToText(value.toString());
}

PageObject CollectionSnapshot::Item(std::int32_t index) const {
  return {holder_, QString(page_scripts::kSnapshotItem).arg(index)};
}

PageObject CollectionSnapshot::Parent(std::int32_t index) const {
  return {holder_, QString(page_scripts::kSnapshotParent).arg(index)};
}

}  // namespace harvelo
