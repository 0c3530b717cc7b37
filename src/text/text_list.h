#ifndef HARVELO_TEXT_TEXT_LIST_H_
#define HARVELO_TEXT_TEXT_LIST_H_

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <vector>

#include "text/text.h"

namespace harvelo {

// An append-only list of texts whose characters are kept in large blocks. A page can hold a
// hundred thousand links; a list of separate strings would spend more on allocating them
// than the scan spends on finding them, and several times their size on bookkeeping.
class TextList {
 public:
  using value_type = TextView;
  using const_iterator = std::vector<TextView>::const_iterator;

  TextList() = default;
  TextList(std::initializer_list<TextView> texts);
  TextList(const TextList& other);
  TextList(TextList&& other) noexcept;
  TextList& operator=(TextList other) noexcept;

  std::size_t size() const { return texts_.size(); }
  bool empty() const { return texts_.empty(); }
  // `index` must be below size(). The view stays valid for the life of the list.
  TextView operator[](std::size_t index) const { return texts_[index]; }
  const_iterator begin() const { return texts_.begin(); }
  const_iterator end() const { return texts_.end(); }

  void push_back(TextView text);

  friend bool operator==(const TextList& left, const TextList& right);

 private:
  // Blocks never move, so the views into them stay valid.
  std::vector<std::unique_ptr<char16_t[]>> blocks_;
  char16_t* next_ = nullptr;  // the first unused character of the last block
  std::size_t unused_ = 0;    // how many follow it
  std::vector<TextView> texts_;
};

}  // namespace harvelo

#endif  // HARVELO_TEXT_TEXT_LIST_H_
