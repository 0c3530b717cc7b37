#include "placeholder_ports.h"

#include <string>

#include "platform/failure.h"

namespace harvelo {
namespace {

[[noreturn]] void Missing(const char16_t* part) {
  throw Failure(Text(part) + u" is not available in this build");
}

struct MissingShellFolders : ShellFolders {
  std::optional<Text> SpecialFolderPath(std::int32_t) override { Missing(u"The shell folders"); }
};

struct MissingFileSystem : FileSystemObject {
  bool FolderExists(const Text&) override { Missing(u"The file system"); }
  void CreateFolder(const Text&) override { Missing(u"The file system"); }
  Text GetParentFolderName(const Text&) override { Missing(u"The file system"); }
  void AppendToFile(const Text&, const Text&) override { Missing(u"The file system"); }
};

struct MissingUrls : UrlService {
  bool InternetCombineUrlA(const std::string&, const std::string&, char*, std::uint32_t*,
                           std::uint32_t) override {
    Missing(u"The URL service");
  }
};

struct MissingFolderBrowser : FolderBrowseComponent {
  std::unique_ptr<FolderBrowseDialog> Create() override { Missing(u"The folder dialog"); }
};

struct MissingChannels : MessageChannelFactory {
  std::unique_ptr<MessageChannel> Create() override { Missing(u"The message channel"); }
};

struct MissingProcesses : ProcessStarter {
  std::int64_t Shell(const Text&, int) override { Missing(u"The process starter"); }
};

struct MissingNotice : NoticeWindow {
  void Show(NoticeEvents&) override { Missing(u"The no-files notice"); }
  WindowHandle hWnd() override { Missing(u"The no-files notice"); }
  int Check1Value() override { Missing(u"The no-files notice"); }
};

}  // namespace

PlaceholderPorts NewPlaceholderPorts() {
  return {std::make_unique<MissingShellFolders>(), std::make_unique<MissingFileSystem>(),
          std::make_unique<MissingUrls>(),         std::make_unique<MissingFolderBrowser>(),
          std::make_unique<MissingChannels>(),     std::make_unique<MissingProcesses>(),
          std::make_unique<MissingNotice>()};
}

}  // namespace harvelo
