#ifndef HARVELO_PLATFORM_PLATFORM_H_
#define HARVELO_PLATFORM_PLATFORM_H_

// Every platform service the program uses, handed to the main form in one piece. The
// services must remain live while the main form is.

#include "platform/browser.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/folder_browser.h"
#include "platform/machine.h"
#include "platform/message_channel.h"
#include "platform/notice_window.h"
#include "platform/process_starter.h"
#include "platform/registry_api.h"
#include "platform/shell_folders.h"
#include "platform/url_service.h"
#include "platform/user_interface.h"
#include "platform/window_system.h"

namespace harvelo {

struct Platform {
  BrowserAutomation& browser;
  WindowSystem& windows;
  RegistryApi& registry;
  ShellFolders& shell_folders;
  FileSystemObject& file_system;
  UrlService& urls;
  FolderBrowseComponent& folder_browser;
  MessageChannelFactory& channels;
  ProcessStarter& processes;
  UserInterface& ui;
  NoticeWindow& notice;
  Machine& machine;
  Clock& clock;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_PLATFORM_H_
