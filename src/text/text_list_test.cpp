#include "text/text_list.h"

#include <gtest/gtest.h>

#include <memory>

namespace harvelo {

TEST(TextListTest, GivenTextsOfEverySizeWeShouldKeepEachWholeThroughCopiesAndMoves) {
  auto original = std::make_unique<TextList>(TextList{u"", u"a.jpg"});
  original->push_back(Text(40000, u'x'));  // longer than a block
  for (int i = 0; i < 20000; ++i) original->push_back(DecimalText(i));
  const TextList copy = *original;
  original.reset();
  ASSERT_EQ(copy.size(), 20003u);
  EXPECT_EQ(copy[2], Text(40000, u'x'));
  for (int i = 0; i < 20000; i += 997) EXPECT_EQ(copy[3 + i], DecimalText(i));
  TextList moved{u"a.jpg"};
  TextList target = std::move(moved);
  moved.push_back(u"b.jpg");
  target.push_back(u"d.jpg");  // where b.jpg went, if the two shared a block
  EXPECT_EQ(target, TextList({u"a.jpg", u"d.jpg"}));
  EXPECT_EQ(moved, TextList({u"b.jpg"}));
  // The same characters cut differently are different lists.
  EXPECT_NE(TextList({u"ab", u"c"}), TextList({u"a", u"bc"}));
  EXPECT_NE(TextList({u"abc"}), TextList({u"abc", u""}));
  EXPECT_NE(TextList({u""}), TextList());
}

}  // namespace harvelo
