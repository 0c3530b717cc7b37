#include "text/text_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

namespace harvelo {
namespace {

TEST(TextListTest, GivenTextsPushedBackToBackWeShouldReadEachWholeEmptyOnesIncluded) {
  TextList list{u"", u"http://host/a.jpg"};
  list.push_back(u"");
  list.push_back(u"caf\u00e9 \U0001F600");
  list.push_back(u"b");

  EXPECT_EQ(list[3], u"caf\u00e9 \U0001F600");
  EXPECT_THAT(
      list, ::testing::ElementsAre(u"", u"http://host/a.jpg", u"", u"caf\u00e9 \U0001F600", u"b"));
}

TEST(TextListTest, GivenTheSameCharactersCutDifferentlyWeShouldTellTheListsApart) {
  struct Case {
    TextList left, right;
    bool equal;
  };
  const Case cases[] = {
      {{u"ab", u"c"}, {u"ab", u"c"}, true},
      {{u"ab", u"c"}, {u"a", u"bc"}, false},
      {{u"abc"}, {u"abc", u""}, false},
      {{u""}, {}, false},
      {{}, {}, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.left == c.right, c.equal)
        << ::testing::PrintToString(c.left) << " / " << ::testing::PrintToString(c.right);
  }
}

TEST(TextListTest, GivenACopyWeShouldKeepItsTextsWhenTheOriginalIsGone) {
  auto original = std::make_unique<TextList>(TextList{u"", u"a.jpg"});
  original->push_back(Text(40000, u'x'));  // longer than a block
  const TextList copy = *original;
  original.reset();
  ASSERT_EQ(copy.size(), 3u);
  EXPECT_EQ(copy[1], u"a.jpg");
  EXPECT_EQ(copy[2], Text(40000, u'x'));
}

TEST(TextListTest, GivenAListMovedAwayWeShouldFillItAgainWithoutTouchingTheOther) {
  TextList moved{u"a.jpg"};
  TextList target = std::move(moved);
  moved.push_back(u"b.jpg");
  target.push_back(u"d.jpg");  // where b.jpg went, if the two shared a block
  EXPECT_THAT(target, ::testing::ElementsAre(u"a.jpg", u"d.jpg"));
  EXPECT_THAT(moved, ::testing::ElementsAre(u"b.jpg"));
}

TEST(TextListTest, GivenManyTextsWeShouldKeepEveryViewValidAsBlocksAreAdded) {
  TextList list;
  for (int i = 0; i < 20000; ++i) list.push_back(DecimalText(i));
  for (int i = 0; i < 20000; i += 997) EXPECT_EQ(list[static_cast<std::size_t>(i)], DecimalText(i));
}

}  // namespace
}  // namespace harvelo
