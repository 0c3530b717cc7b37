#include "handoff/group_number.h"

#include <gtest/gtest.h>

#include <optional>

#include "fakes/recording_registry.h"
#include "platform/failure.h"

namespace harvelo {
namespace {

class GroupNumberTest : public ::testing::Test {
 protected:
  // One run as the hand-off makes it: take the number, store the next.
  Text Run() {
    const Text number = GetGroupNumber(registry_);
    AdvanceGroupNumber(registry_, number);
    return number;
  }
  Text Stored() { return registry_.ReadSetting(kSettingsKey, u"dGroupNumber"); }

  RecordingRegistry api_;
  Registry registry_{api_};
};

struct RunCase {
  std::optional<Text> stored;
  Text used;
  Text next;
};

TEST_F(GroupNumberTest, GivenAStoredValueWeShouldUseItOrTheFirstAndStoreTheNext) {
  const RunCase cases[] = {
      {std::nullopt, u"g999", u"g998"}, {u"g000", u"g000", u"f999"},
      {u"a000", u"a000", u"z999"},      {u"z000", u"z000", u"y999"},
      {u"g010", u"g010", u"g009"},      {u"g100", u"g100", u"g099"},
      {u"g001", u"g001", u"g000"},      {u"G123", u"g999", u"g998"},
      {u"g12", u"g999", u"g998"},       {u"g1x3", u"g999", u"g998"},
      {u"", u"g999", u"g998"},          {u"{123", u"g999", u"g998"},
      {u"`123", u"g999", u"g998"},      {u"g1234", u"g1234", u"g233"},
      {u"g12000", u"g12000", u"f999"},
  };
  for (const RunCase& c : cases) {
    RecordingRegistry api;
    Registry registry(api);
    if (c.stored) registry.WriteSetting(kSettingsKey, u"dGroupNumber", *c.stored);
    const Text used = GetGroupNumber(registry);
    AdvanceGroupNumber(registry, used);
    EXPECT_EQ(used, c.used) << ToUtf8(c.stored.value_or(u"(none)"));
    EXPECT_EQ(registry.ReadSetting(kSettingsKey, u"dGroupNumber"), c.next)
        << ToUtf8(c.stored.value_or(u"(none)"));
  }
}

TEST_F(GroupNumberTest, GivenAMalformedStoredValueWeShouldNotRepairItWhenOnlyReading) {
  registry_.WriteSetting(kSettingsKey, u"dGroupNumber", u"G123");
  EXPECT_EQ(GetGroupNumber(registry_), u"g999");
  EXPECT_EQ(Stored(), u"G123");
}

TEST_F(GroupNumberTest, GivenTheFirstNumberWeShouldCountDown26000RunsAndComeRoundAgain) {
  std::optional<Text> after_a000;
  Text previous;
  for (int run = 1; run <= 26000; ++run) {
    const Text used = Run();
    ASSERT_TRUE(IsValidGroupNumber(used)) << run;
    ASSERT_EQ(used.size(), 4u) << run;
    if (previous == u"a000") after_a000 = used;
    previous = used;
  }
  EXPECT_EQ(previous, u"h000");
  EXPECT_EQ(after_a000, u"z999");
  EXPECT_EQ(Run(), u"g999");
}

TEST_F(GroupNumberTest, GivenALongerTextWhoseLastThreeAreNotDigitsWeShouldRaiseAndStoreNothing) {
  registry_.WriteSetting(kSettingsKey, u"dGroupNumber", u"g123x");
  const Text used = GetGroupNumber(registry_);
  EXPECT_EQ(used, u"g123x");
  try {
    AdvanceGroupNumber(registry_, used);
    ADD_FAILURE() << "no failure raised";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.description(), u"Type mismatch");
  }
  EXPECT_EQ(Stored(), u"g123x");
}

struct ValidCase {
  Text number;
  bool valid;
};

TEST(IsValidGroupNumberTest, GivenTextsWeShouldExamineOnlyTheFirstFourCharacters) {
  const ValidCase cases[] = {
      {u"a000", true},  {u"z999", true},  {u"g1234", true}, {u"g123x", true},
      {u"g12", false},  {u"", false},     {u"A000", false}, {u"{000", false},
      {u"`000", false}, {u"g/00", false}, {u"g:00", false}, {u"g00 ", false},
  };
  for (const ValidCase& c : cases) {
    EXPECT_EQ(IsValidGroupNumber(c.number), c.valid) << ToUtf8(c.number);
  }
}

}  // namespace
}  // namespace harvelo
