#include "platform/linux/devtools/page_document.h"

#include <optional>

#include "platform/linux/devtools/collection_snapshot.h"
#include "platform/linux/devtools/page_scripts.h"
#include "platform/linux/qt_core/qt_text.h"

namespace harvelo {
namespace {

Text TextOf(const QJsonObject& remote) {
  return ToText(remote.value(QStringLiteral("value")).toString());
}

PageObject Handed(const QJsonObject& remote) {
  return {remote.value(QStringLiteral("objectId")).toString(), {}};
}

// An element read at the moment of each read: one run in the page per read.
class LiveElement : public HtmlElement {
 public:
  LiveElement(std::shared_ptr<PageRunner> page, PageObject element)
      : page_(std::move(page)), element_(std::move(element)) {}

  Text innerHTML() override { return TextOf(Run(page_scripts::kInnerHtml)); }
  Text href() override { return TextOf(Run(page_scripts::kHref)); }
  std::unique_ptr<HtmlElement> ParentElement() override {
    return std::make_unique<LiveElement>(page_, Handed(Run(page_scripts::kParentElement, false)));
  }

 private:
  QJsonObject Run(const char* function, bool by_value = true) {
    return page_->Run(element_, QString(function), {}, by_value);
  }

  std::shared_ptr<PageRunner> page_;
  PageObject element_;
};

// An item of a collection's snapshot, or that item's parent: answers the reads that the
// snapshot took as it took them, and reads the others from the element at the moment of the
// read.
class SnapshotElement : public HtmlElement {
 public:
  SnapshotElement(std::shared_ptr<PageRunner> page,
                  std::shared_ptr<const CollectionSnapshot> snapshot, std::int32_t index,
                  bool parent)
      : page_(page),
        snapshot_(std::move(snapshot)),
        index_(index),
        parent_(parent),
        live_(std::move(page), parent ? snapshot_->Parent(index) : snapshot_->Item(index)) {}

  Text innerHTML() override {
    if (!parent_) {
      if (std::optional<Text> taken = snapshot_->Taken(index_, SnapshotRead::kInnerHtml)) {
        return *taken;
      }
    }
    return live_.innerHTML();
  }
  Text href() override {
    const SnapshotRead read = parent_ ? SnapshotRead::kParentHref : SnapshotRead::kHref;
    if (std::optional<Text> taken = snapshot_->Taken(index_, read)) return *taken;
    return live_.href();
  }
  std::unique_ptr<HtmlElement> ParentElement() override {
    if (!parent_ && snapshot_->Taken(index_, SnapshotRead::kParentElement)) {
      return std::make_unique<SnapshotElement>(page_, snapshot_, index_, true);
    }
    return live_.ParentElement();
  }

 private:
  std::shared_ptr<PageRunner> page_;
  std::shared_ptr<const CollectionSnapshot> snapshot_;
  std::int32_t index_;
  bool parent_;
  LiveElement live_;
};

// The document's root element, whose HTML a read answers as the last read of it gave while the
// program has not paused since (kept_until_pause.h).
class DocumentElement : public HtmlElement {
 public:
  DocumentElement(std::shared_ptr<PageRunner> page, std::shared_ptr<KeptUntilPause> html)
      : live_(std::move(page), PageObject{{}, QString(page_scripts::kDocumentElement)}),
        html_(std::move(html)) {}

  Text innerHTML() override {
    if (const std::optional<Text>& kept = html_->text()) return *kept;
    Text html = live_.innerHTML();
    html_->Keep(html);
    return html;
  }
  Text href() override { return live_.href(); }
  std::unique_ptr<HtmlElement> ParentElement() override { return live_.ParentElement(); }

 private:
  LiveElement live_;
  std::shared_ptr<KeptUntilPause> html_;
};

// A collection that the document gives at the moment of each read. Reading its length takes a
// snapshot of `reads` of every item, and the items up to that length come from it.
class PageCollection : public ElementCollection {
 public:
  PageCollection(std::shared_ptr<PageRunner> page, const char* pick, SnapshotReads reads)
      : page_(std::move(page)), collection_{{}, QString(pick)}, reads_(reads) {}

  std::int32_t Length() override {
    snapshot_ = CollectionSnapshot::Take(page_, collection_, reads_);
    return snapshot_->Length();
  }
  std::unique_ptr<HtmlElement> item(std::int32_t index) override {
    if (snapshot_ && index >= 0 && index < snapshot_->Length()) {
      return std::make_unique<SnapshotElement>(page_, snapshot_, index, false);
    }
    return std::make_unique<LiveElement>(
        page_, Handed(page_->Run(collection_, QString(page_scripts::kItem), {index}, false)));
  }

 private:
  std::shared_ptr<PageRunner> page_;
  PageObject collection_;
  SnapshotReads reads_;
  std::shared_ptr<const CollectionSnapshot> snapshot_;  // from the last read of the length
};

class PageDocument : public HtmlDocument {
 public:
  PageDocument(std::shared_ptr<PageRunner> page, std::shared_ptr<KeptUntilPause> html)
      : page_(std::move(page)), html_(std::move(html)) {}

  std::unique_ptr<HtmlElement> documentElement() override {
    return std::make_unique<DocumentElement>(page_, html_);
  }
  // Each snapshot takes what the scan reads of every item: a link's content and target, an
  // image's address and whether its parent has one.
  std::unique_ptr<ElementCollection> links() override {
    return std::make_unique<PageCollection>(page_, page_scripts::kLinks,
                                            SnapshotReads{.inner_html = true, .href = true});
  }
  std::unique_ptr<ElementCollection> images() override {
    return std::make_unique<PageCollection>(page_, page_scripts::kImages,
                                            SnapshotReads{.href = true, .parent = true});
  }

 private:
  std::shared_ptr<PageRunner> page_;
  std::shared_ptr<KeptUntilPause> html_;
};

}  // namespace

std::unique_ptr<HtmlDocument> NewPageDocument(std::shared_ptr<PageRunner> page,
                                              std::shared_ptr<KeptUntilPause> html) {
  return std::make_unique<PageDocument>(std::move(page), std::move(html));
}

}  // namespace harvelo
