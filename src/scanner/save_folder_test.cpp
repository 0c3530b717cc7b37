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
using ::testing::IsEmpty;

class InitialSaveFolderTest : public ::testing::Test {
 protected:
  InitialSaveFolderTest() { fs_.AddFolder(u"/home/user/Documents"); }
  void Store(const Text& name, const Text& folder) {
    Registry(registry_).WriteSetting(kSettingsKey, name, folder);
  }
  Text Initial(std::int16_t movies) { return InitialSaveFolder(registry_, shell_, fs_, movies); }

  RecordingRegistry registry_;
  FakeShellFolders shell_;
  VirtualFileSystem fs_;
};

TEST_F(InitialSaveFolderTest, GivenNothingStoredWeShouldCreateTheDefaultAndOfferItByNamespace) {
  EXPECT_EQ(Initial(0), kDocumentsNamespace + u"/Quorvex");
  EXPECT_THAT(fs_.created_, ElementsAre(u"/home/user/Documents/Quorvex"));
}

TEST_F(InitialSaveFolderTest, GivenAStoredFolderOutsideDocumentsWeShouldOfferItPlain) {
  fs_.AddFolder(u"/srv/pics");
  Store(u"dPathPics", u"/srv/pics");
  EXPECT_EQ(Initial(0), u"/srv/pics");
  EXPECT_THAT(fs_.created_, IsEmpty());
}

TEST_F(InitialSaveFolderTest, GivenAStoredFolderInsideDocumentsWeShouldRewriteItsStart) {
  fs_.AddFolder(u"/home/user/Documents/cats");
  Store(u"dPathPics", u"/home/user/Documents/cats");
  EXPECT_EQ(Initial(0), kDocumentsNamespace + u"/cats");
}

TEST_F(InitialSaveFolderTest, GivenTheDocumentsPathInAnotherCaseWeShouldNotRewrite) {
  fs_.AddFolder(u"/home/user/DOCUMENTS/cats");
  Store(u"dPathPics", u"/home/user/DOCUMENTS/cats");
  EXPECT_EQ(Initial(0), u"/home/user/DOCUMENTS/cats");
}

TEST_F(InitialSaveFolderTest, GivenAMissingStoredFolderWeShouldFallBackWithoutCreatingIt) {
  Store(u"dPathPics", u"/gone/pics");
  EXPECT_EQ(Initial(0), kDocumentsNamespace + u"/Quorvex");
  EXPECT_THAT(fs_.created_, ElementsAre(u"/home/user/Documents/Quorvex"));
}

TEST_F(InitialSaveFolderTest, GivenOneMovieWeShouldReadTheMovieFolder) {
  fs_.AddFolder(u"/srv/pics");
  fs_.AddFolder(u"/srv/movies");
  Store(u"dPathPics", u"/srv/pics");
  Store(u"dPathMpegs", u"/srv/movies");
  EXPECT_EQ(Initial(1), u"/srv/movies");
  EXPECT_EQ(Initial(0), u"/srv/pics");
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
