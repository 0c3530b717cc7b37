#include "text/text_list.h"

#include <algorithm>
#include <utility>

namespace harvelo {

namespace {

// Large enough that a page of links needs few blocks, small enough that the unused end of
// the last one does not matter.
constexpr std::size_t kBlockCharacters = 32 * 1024;

}  // namespace

TextList::TextList(std::initializer_list<TextView> texts) {
  for (const TextView text : texts) push_back(text);
}

TextList::TextList(const TextList& other) {
  for (const TextView text : other) push_back(text);
}

TextList::TextList(TextList&& other) noexcept
    : blocks_(std::move(other.blocks_)),
      next_(std::exchange(other.next_, nullptr)),
      unused_(std::exchange(other.unused_, 0)),
      texts_(std::move(other.texts_)) {}

TextList& TextList::operator=(TextList other) noexcept {
  std::swap(blocks_, other.blocks_);
  std::swap(next_, other.next_);
  std::swap(unused_, other.unused_);
  std::swap(texts_, other.texts_);
  return *this;
}

void TextList::push_back(TextView text) {
  if (text.size() > unused_) {
    // A text longer than a block gets a block of its own.
    const std::size_t size = std::max(kBlockCharacters, text.size());
    blocks_.push_back(std::make_unique_for_overwrite<char16_t[]>(size));
    next_ = blocks_.back().get();
    unused_ = size;
  }
  std::copy(text.begin(), text.end(), next_);
  texts_.emplace_back(next_, text.size());
  next_ += text.size();
  unused_ -= text.size();
}

bool operator==(const TextList& left, const TextList& right) { return left.texts_ == right.texts_; }

}  // namespace harvelo
