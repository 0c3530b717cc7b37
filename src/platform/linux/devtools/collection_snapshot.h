#ifndef HARVELO_PLATFORM_LINUX_DEVTOOLS_COLLECTION_SNAPSHOT_H_
#define HARVELO_PLATFORM_LINUX_DEVTOOLS_COLLECTION_SNAPSHOT_H_

// The reads that the scan makes of every item of a collection, taken in one run in the page:
// one protocol call for thousands of items instead of several per item. The scan makes no pause
// between its reads, so nothing of the program runs meanwhile; what it reads is the document as
// it stood when the snapshot was taken, which is what the user sees.

#include <QJsonArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/linux/devtools/page_runner.h"
#include "text/text.h"

namespace harvelo {

// What a snapshot takes of each item: its innerHTML, its href, its parent with the parent's
// href.
struct SnapshotReads {
  bool inner_html = false;
  bool href = false;
  bool parent = false;
};

// A read of an item that a snapshot may hold, in the order of a row of the snapshot
// (page_scripts::kSnapshot).
enum class SnapshotRead { kInnerHtml, kHref, kParentElement, kParentHref };

class CollectionSnapshot {
 public:
  // Takes `reads` of every item of `collection` in the page behind `page`: one protocol call,
  // then one per answer of about 200,000 characters. Throws Failure when the page cannot
  // be read; what a read of one item threw is kept with that item.
  static std::shared_ptr<const CollectionSnapshot> Take(std::shared_ptr<PageRunner> page,
                                                        const PageObject& collection,
                                                        SnapshotReads reads);

  std::int32_t Length() const { return static_cast<std::int32_t>(rows_.size()); }

  // What `read` of item `index` (0 to Length() - 1) gave: the text read (empty for a parent
  // that was found), nothing when the snapshot did not take it. Raises what the read raised.
  std::optional<Text> Taken(std::int32_t index, SnapshotRead read) const;

  // Item `index`, and its parent when Taken(index, kParentElement) gave one, for the reads
  // that the snapshot did not take.
  PageObject Item(std::int32_t index) const;
  PageObject Parent(std::int32_t index) const;

 private:
  CollectionSnapshot(std::shared_ptr<PageRunner> page, QString holder, QJsonArray rows)
      : page_(std::move(page)), holder_(std::move(holder)), rows_(std::move(rows)) {}

  std::shared_ptr<PageRunner> page_;
  QString holder_;  // the items, their parents and the rows, kept in the adapter's world
  QJsonArray rows_;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_DEVTOOLS_COLLECTION_SNAPSHOT_H_
