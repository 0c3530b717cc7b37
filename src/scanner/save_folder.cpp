#include "scanner/save_folder.h"

#include "scanner/folders.h"
#include "settings/registry.h"

namespace harvelo {

namespace {

// Every occurrence of `from` in `text` replaced by `to`, from left to right.
Text ReplaceAll(const Text& text, const Text& from, const Text& to) {
  Text out;
  std::size_t start = 0;
  for (std::size_t at = text.find(from); at != Text::npos; at = text.find(from, start)) {
    out.append(text, start, at - start).append(to);
    start = at + from.size();
  }
  return out.append(text, start);
}

}  // namespace

Text InitialSaveFolder(RegistryApi& registry, ShellFolders& shell, FileSystemObject& fs,
                       std::int16_t movies) {
  Text folder = Registry(registry).ReadSetting(
      kSettingsKey, movies >= 1 ? setting::dPathMpegs : setting::dPathPics);
  // Only the default is ever created; whether that worked is not looked at.
  if (!fs.FolderExists(folder)) folder = DefaultFolder(shell, fs);
  const Text documents = GetSpecialFolderPath(shell, CSIDL_PERSONAL);
  if (!documents.empty() && StartsWith(folder, documents)) {
    folder = ReplaceAll(folder, documents, kDocumentsNamespace);
  }
  return folder;
}

Text BrowseForSaveFolder(FolderBrowseComponent& component, FileSystemObject& fs,
                         ShellFolders& shell, WindowHandle owner, const Text& initial,
                         const Text& title, const Text& instruction) {
  const std::unique_ptr<FolderBrowseDialog> dialog = component.Create();
  dialog->SetOwnerWindow(owner);
  dialog->SetOption(kFoldersOnly, -1);
  dialog->SetOption(kNewFolderButton, 1);
  dialog->SetTitle(title);
  dialog->SetOption(kEditBox, 0);
  dialog->SetOption(kShowFiles, 0);
  dialog->SetInstructionText(instruction);
  if (StartsWith(initial, u"::")) {
    dialog->SetSelectedFolderPath(initial);
  } else {
    dialog->SetSelectedFolderPath(fs.FolderExists(initial) ? initial : Text(u"Desktop"));
  }
  dialog->SetRootFolderPath(u"Desktop");
  dialog->SetOption(kStatusLine, 0);
  dialog->SetOption(kCentred, -1);
  if (!dialog->Show()) return Text();
  const Text chosen = dialog->SelectedFolderPath();
  if (LowerAscii(chosen) == u"desktop") return GetSpecialFolderPath(shell, CSIDL_DESKTOPDIRECTORY);
  return chosen;
}

}  // namespace harvelo
