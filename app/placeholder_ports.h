#ifndef HARVELO_APP_PLACEHOLDER_PORTS_H_
#define HARVELO_APP_PLACEHOLDER_PORTS_H_

// Stand-ins for the services whose real parts are not wired in yet: every call raises a
// Failure that names the missing part. Nothing the program does today calls them.

#include <memory>

#include "platform/file_system.h"
#include "platform/folder_browser.h"
#include "platform/message_channel.h"
#include "platform/notice_window.h"
#include "platform/process_starter.h"
#include "platform/shell_folders.h"
#include "platform/url_service.h"

namespace harvelo {

struct PlaceholderPorts {
  std::unique_ptr<ShellFolders> shell_folders;
  std::unique_ptr<FileSystemObject> file_system;
  std::unique_ptr<UrlService> urls;
  std::unique_ptr<FolderBrowseComponent> folder_browser;
  std::unique_ptr<MessageChannelFactory> channels;
  std::unique_ptr<ProcessStarter> processes;
  std::unique_ptr<NoticeWindow> notice;
};

PlaceholderPorts NewPlaceholderPorts();

}  // namespace harvelo

#endif  // HARVELO_APP_PLACEHOLDER_PORTS_H_
