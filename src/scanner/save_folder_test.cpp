#include "scanner/save_folder.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "scanner/folders.h"
#include "settings/registry.h"

namespace harvelo {

TEST(SaveFolderTest, GivenTheStoredFoldersWeShouldOfferTheOneForTheMediaFound) {
  const Text docs = u"/home/user/Documents", quorvex = kDocumentsNamespace + u"/Quorvex";
  const struct {
    Text pictures, movies;  // stored folders, all of which exist but /gone
    std::int16_t movies_found;
    Text offered;
  } cases[] = {{u"", u"", 0, quorvex},
               {u"/srv/pics", u"", 0, u"/srv/pics"},
               {docs + u"/cats", u"", 0, kDocumentsNamespace + u"/cats"},
               {u"/home/user/DOCUMENTS/cats", u"", 0, u"/home/user/DOCUMENTS/cats"},
               {u"/gone", u"/srv/movies", 0, quorvex},
               {u"/srv/pics", u"/srv/movies", 1, u"/srv/movies"}};
  for (const auto& c : cases) {
    FakePlatform f;
    for (const Text& folder : {c.pictures, c.movies}) {
      if (!folder.empty() && folder != u"/gone") f.fs.AddFolder(folder);
    }
    f.Store(u"dPathPics", c.pictures);
    f.Store(u"dPathMpegs", c.movies);
    EXPECT_EQ(InitialSaveFolder(f.registry, f.shell, f.fs, c.movies_found), c.offered);
    EXPECT_EQ(f.fs.created_.size(), c.offered == quorvex ? 1u : 0u) << ToUtf8(c.pictures);
  }
}

TEST(SaveFolderTest, GivenTheUsersAnswerWeShouldStartAtTheFolderAndAnswerTheOneChosen) {
  const struct {
    Text initial;
    std::optional<Text> chosen;  // unset: the one selected at the start
    bool confirm;
    std::string selected;
    Text answer;
  } cases[] = {
      {kDocumentsNamespace + u"/Q", u"/srv/x", true, "::{450D8FBA-AD25-11D0-98A8-0800361B1103}/Q",
       u"/srv/x"},
      {u"/srv/pics", std::nullopt, true, "/srv/pics", u"/srv/pics"},
      {u"/srv/gone", std::nullopt, true, "Desktop", u"/home/user/Desktop"},
      {u"/srv/pics", u"DESKTOP", true, "/srv/pics", u"/home/user/Desktop"},
      {u"/srv/pics", u"/srv/x", false, "/srv/pics", u""},
  };
  for (const auto& c : cases) {
    FakePlatform f;
    f.fs.AddFolder(u"/srv/pics");
    f.folder_browser.chosen_ = c.chosen;
    f.folder_browser.confirm_ = c.confirm;
    EXPECT_EQ(BrowseForSaveFolder(f.folder_browser, f.fs, f.shell, 1, c.initial, u"T", u"I"),
              c.answer);
    EXPECT_EQ(f.folder_browser.log_.at(7), "selected " + c.selected);
  }
}

TEST(FoldersTest, GivenMissingLevelsWeShouldCreateThemFromTheTopOrFailAtTheRoot) {
  const struct {
    Text path;
    bool made;
    std::vector<Text> created;
  } cases[] = {{u"/home/user/a/b", true, {u"/home/user/a", u"/home/user/a/b"}},
               {u"/home/user", true, {}},
               {u"/mnt/cdrom/x/y", false, {}}};
  for (const auto& c : cases) {
    VirtualFileSystem fs;
    fs.AddFolder(u"/home/user");
    fs.AddFolder(u"/mnt/cdrom");
    fs.read_only_.insert(u"/mnt/cdrom");
    EXPECT_EQ(CreateFolderPath(fs, c.path), c.made) << ToUtf8(c.path);
    EXPECT_EQ(fs.created_, c.created) << ToUtf8(c.path);
  }
  // The shell's answer is cut as its buffer cuts it.
  FakeShellFolders shell;
  shell.folders_[CSIDL_PERSONAL] = Text(u"/home/user/Documents\0junk", 25);
  shell.folders_[CSIDL_DESKTOPDIRECTORY] = u"/" + Text(600, u'd');
  EXPECT_EQ(GetSpecialFolderPath(shell, CSIDL_PERSONAL), u"/home/user/Documents");
  EXPECT_EQ(GetSpecialFolderPath(shell, CSIDL_DESKTOPDIRECTORY).size(), 512u);
  EXPECT_EQ(GetSpecialFolderPath(shell, 99), u"");
}

}  // namespace harvelo
