#include "settings/app_path.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace harvelo {

TEST(AppPathTest, GivenTheMachineWeShouldEndTheFolderInOneSeparatorAndUseABuildFolderOnlyThere) {
  const BuildMachine dev{u"DEVBOX", u"/home/dev/Harvelo"};
  const struct {
    std::string host;
    Text folder;
    char16_t separator;
    Text expected;
  } cases[] = {
      {"desk", u"/", u'/', u"/"},
      {"desk", u"C:\\Apps\\Pictures", u'\\', u"C:\\Apps\\Pictures\\"},
      {"desk", u"C:\\", u'\\', u"C:\\"},
      {"devbox", u"/home/dev/harvelo/src", u'/', u"/home/dev/harvelo/src/../Build/"},
      {"DevBox", u"/home/dev/Harvelo/app", u'/', u"/home/dev/Harvelo/app/../Build/"},
      {"devbox", u"/home/dev/harvelo/Build", u'/', u"/home/dev/harvelo/Build/"},
      {"devbox", u"/opt/harvelo", u'/', u"/opt/harvelo/"},
      {std::string("devbox\0junk", 11), u"/home/dev/harvelo/src", u'/',
       u"/home/dev/harvelo/src/../Build/"},
      {"otherbox", u"/home/dev/harvelo/src", u'/', u"/home/dev/harvelo/src/"},
  };
  for (const auto& c : cases) {
    FakeMachine machine;
    machine.computer_name = c.host;
    machine.executable_folder = c.folder;
    EXPECT_EQ(AppPath(machine, {}, dev, c.separator).GetProgramFolder(), c.expected) << c.host;
  }
  FakeMachine machine;
  machine.computer_name = std::string(300, 'h');
  EXPECT_EQ(AppPath(machine).GetMachineName(), Text(255, u'h'));
}

}  // namespace harvelo
