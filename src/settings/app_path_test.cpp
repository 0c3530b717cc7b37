#include "settings/app_path.h"

#include <gtest/gtest.h>

#include "fakes/fake_machine.h"

namespace harvelo {
namespace {

TEST(AppPathTest, GivenAnExecutableFolderWeShouldEndItWithOneSeparator) {
  struct Case {
    Text folder;
    char16_t separator;
    Text expected;
  };
  const Case cases[] = {
      {u"/opt/Pictures", u'/', u"/opt/Pictures/"},
      {u"/", u'/', u"/"},
      {u"C:\\Apps\\Pictures", u'\\', u"C:\\Apps\\Pictures\\"},
      {u"C:\\", u'\\', u"C:\\"},
  };
  for (const Case& c : cases) {
    FakeMachine machine;
    machine.executable_folder = c.folder;
    EXPECT_EQ(AppPath(machine, {}, {}, c.separator).GetProgramFolder(), c.expected);
  }
}

TEST(AppPathTest, GivenABuildMachineWeShouldUseTheBuildFolderOnlyOutsideABuildTree) {
  struct Case {
    std::string host;
    Text folder;
    Text expected;
  };
  const BuildMachine dev{u"DEVBOX", u"/home/dev/Harvelo"};
  const Case cases[] = {
      {"devbox", u"/home/dev/harvelo/src", u"/home/dev/harvelo/src/../Build/"},
      {"DevBox", u"/home/dev/Harvelo/app", u"/home/dev/Harvelo/app/../Build/"},
      {"devbox", u"/home/dev/harvelo/Build", u"/home/dev/harvelo/Build/"},  // "build" in it
      {"devbox", u"/opt/harvelo", u"/opt/harvelo/"},  // outside the development folder
      {"otherbox", u"/home/dev/harvelo/src", u"/home/dev/harvelo/src/"},  // another machine
  };
  for (const Case& c : cases) {
    FakeMachine machine;
    machine.computer_name = c.host;
    machine.executable_folder = c.folder;
    EXPECT_EQ(AppPath(machine, {}, dev, u'/').GetProgramFolder(), c.expected) << c.host;
  }
}

TEST(AppPathTest, GivenAHostNameBufferWeShouldCutAtTheFirstNulAnd255Characters) {
  FakeMachine machine;
  machine.computer_name = std::string("desk\0junk", 9);
  EXPECT_EQ(AppPath(machine).GetMachineName(), u"desk");
  machine.computer_name = std::string(300, 'h');
  EXPECT_EQ(AppPath(machine).GetMachineName(), Text(255, u'h'));
}

}  // namespace
}  // namespace harvelo
