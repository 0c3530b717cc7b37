#include "handoff/group_number.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "platform/failure.h"

namespace harvelo {

class GroupNumberTest : public ::testing::Test {
 protected:
  // One run as the hand-off makes it: take the number, store the next.
  Text Run() {
    const Text number = GetGroupNumber(registry_);
    AdvanceGroupNumber(registry_, number);
    return number;
  }
  void Store(const Text& number) { registry_.WriteSetting(kSettingsKey, u"dGroupNumber", number); }
  Text Stored() { return registry_.ReadSetting(kSettingsKey, u"dGroupNumber"); }

  MemoryRegistry api_;
  Registry registry_{api_};
};

TEST_F(GroupNumberTest, GivenAStoredValueWeShouldUseItOrTheFirstAndStoreTheNext) {
  const struct {
    Text stored, used, next;
  } cases[] = {
      {u"", u"g999", u"g998"},       {u"g000", u"g000", u"f999"},    {u"a000", u"a000", u"z999"},
      {u"z000", u"z000", u"y999"},   {u"g010", u"g010", u"g009"},    {u"g100", u"g100", u"g099"},
      {u"g001", u"g001", u"g000"},   {u"G123", u"g999", u"g998"},    {u"g12", u"g999", u"g998"},
      {u"g1x3", u"g999", u"g998"},   {u"{123", u"g999", u"g998"},    {u"`123", u"g999", u"g998"},
      {u"g/00", u"g999", u"g998"},   {u"g:00", u"g999", u"g998"},    {u"g00 ", u"g999", u"g998"},
      {u"g1234", u"g1234", u"g233"}, {u"g12000", u"g12000", u"f999"}};
  for (const auto& c : cases) {
    Store(c.stored);
    EXPECT_EQ(Run(), c.used) << ToUtf8(c.stored);
    EXPECT_EQ(Stored(), c.next) << ToUtf8(c.stored);
  }
  // Reading alone never repairs a malformed value.
  Store(u"G123");
  EXPECT_EQ(GetGroupNumber(registry_), u"g999");
  EXPECT_EQ(Stored(), u"G123");
  // A longer text whose last three are not digits: a failure, and nothing stored.
  Store(u"g123x");
  EXPECT_EQ(GetGroupNumber(registry_), u"g123x");
  EXPECT_THROW(Run(), Failure);
  EXPECT_EQ(Stored(), u"g123x");
}

TEST_F(GroupNumberTest, GivenTheFirstNumberWeShouldCountDown26000RunsAndComeRoundAgain) {
  for (int run = 1; run <= 26000; ++run) ASSERT_TRUE(IsValidGroupNumber(Run())) << run;
  EXPECT_EQ(Stored(), u"g999");
}

}  // namespace harvelo
