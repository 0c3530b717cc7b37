#include "scanner/save_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_folder_browser.h"
#include "fakes/fake_shell_folders.h"
#include "fakes/recording_registry.h"
#include "fakes/virtual_file_system.h"
#include "settings/registry.h"

namespace harvelo {
namespace {

using ::testing::ElementsAre;

TEST(InitialSaveFolderTest, GivenTheStoredFoldersWeShouldOfferTheOneForTheMediaFound) {
  const Text quorvex = u"/home/user/Documents/Quorvex";
  const struct {
    const char* name;
    Text pictures;  // stored folders; empty: none stored
    Text movies;
    std::vector<Text> existing;
    std::int16_t movies_found;
    Text offered;
    std::vector<Text> created;
  } cases[] = {
      {"nothing stored", u"", u"", {}, 0, kDocumentsNamespace + u"/Quorvex", {quorvex}},
      {"outside documents", u"/srv/pics", u"", {u"/srv/pics"}, 0, u"/srv/pics", {}},
      {"inside documents",
       u"/home/user/Documents/cats",
       u"",
       {u"/home/user/Documents/cats"},
       0,
       kDocumentsNamespace + u"/cats",
       {}},
      {"documents in another case",
       u"/home/user/DOCUMENTS/cats",
       u"",
       {u"/home/user/DOCUMENTS/cats"},
       0,
       u"/home/user/DOCUMENTS/cats",
       {}},
      {"stored folder missing",
       u"/gone/pics",
       u"",
       {},
       0,
       kDocumentsNamespace + u"/Quorvex",
       {quorvex}},
      {"one movie",
       u"/srv/pics",
       u"/srv/movies",
       {u"/srv/pics", u"/srv/movies"},
       1,
       u"/srv/movies",
       {}},
      {"no movie",
       u"/srv/pics",
       u"/srv/movies",
       {u"/srv/pics", u"/srv/movies"},
       0,
       u"/srv/pics",
       {}},
  };
  for (const auto& c : cases) {
    RecordingRegistry registry;
    FakeShellFolders shell;
    VirtualFileSystem fs;
    fs.AddFolder(u"/home/user/Documents");
    for (const Text& folder : c.existing) fs.AddFolder(folder);
    Registry settings(registry);
    if (!c.pictures.empty()) settings.WriteSetting(kSettingsKey, u"dPathPics", c.pictures);
    if (!c.movies.empty()) settings.WriteSetting(kSettingsKey, u"dPathMpegs", c.movies);
    EXPECT_EQ(InitialSaveFolder(registry, shell, fs, c.movies_found), c.offered) << c.name;
    EXPECT_EQ(fs.created_, c.created) << c.name;
  }
}

class BrowseForSaveFolderTest : public ::testing::Test {
 protected:
  Text Browse(const Text& initial) {
    return BrowseForSaveFolder(browser_, fs_, shell_, 0x1234, initial, u"Title", u"Two\r\nlines");
  }
  FakeFolderBrowser browser_;
  FakeShellFolders shell_;
  VirtualFileSystem fs_;
};

TEST_F(BrowseForSaveFolderTest, GivenANamespaceNameWeShouldSetEverythingInOrder) {
  browser_.chosen_ = u"/srv/chosen";
  EXPECT_EQ(Browse(kDocumentsNamespace + u"/Quorvex"), u"/srv/chosen");
  EXPECT_THAT(browser_.log_,
              ElementsAre("owner 4660", "option 1 -1", "option 2 1", "title Title", "option 3 0",
                          "option 4 0", "instruction",
                          "selected ::{450D8FBA-AD25-11D0-98A8-0800361B1103}/Quorvex",
                          "root Desktop", "option 5 0", "option 6 -1", "show"));
  EXPECT_EQ(browser_.instruction_, u"Two\r\nlines");
}

TEST_F(BrowseForSaveFolderTest, GivenAPlainPathWeShouldSelectItOnlyWhenItExists) {
  fs_.AddFolder(u"/srv/pics");
  Browse(u"/srv/pics");
  EXPECT_EQ(browser_.initial_, u"/srv/pics");
  Browse(u"/srv/gone");
  EXPECT_EQ(browser_.initial_, u"Desktop");
}

TEST_F(BrowseForSaveFolderTest, GivenTheDesktopChosenWeShouldAnswerTheDesktopFolder) {
  for (const char16_t* desktop : {u"Desktop", u"DESKTOP"}) {
    browser_.chosen_ = desktop;
    EXPECT_EQ(Browse(u"/srv/pics"), u"/home/user/Desktop");
  }
}

TEST_F(BrowseForSaveFolderTest, GivenCancelWeShouldAnswerEmpty) {
  browser_.confirm_ = false;
  browser_.chosen_ = u"/srv/chosen";
  EXPECT_EQ(Browse(u"/srv/pics"), u"");
}

}  // namespace
}  // namespace harvelo
