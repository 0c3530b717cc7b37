#include "browser_launch.h"

#include <unistd.h>

#include <sstream>

namespace harvelo::launcher {
namespace {

bool IsProgram(const std::string& file) { return ::access(file.c_str(), X_OK) == 0; }

std::optional<std::string> InPath(const std::string& name, const std::string& path) {
  if (name.find('/') != std::string::npos) {
    return IsProgram(name) ? std::optional(name) : std::nullopt;
  }
  std::istringstream folders(path);
  for (std::string folder; std::getline(folders, folder, ':');) {
    if (folder.empty()) continue;  // an empty entry would mean the current folder
    const std::string file = folder + "/" + name;
    if (IsProgram(file)) return file;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> FindBrowser(const std::string& chosen, const std::string& path,
                                       const std::vector<std::string>& known) {
  if (!chosen.empty()) return InPath(chosen, path);
  for (const std::string& name : known) {
    if (std::optional<std::string> found = InPath(name, path)) return found;
  }
  return std::nullopt;
}

bool IsFirefox(const std::string& program) {
  return program.substr(program.rfind('/') + 1).starts_with("firefox");
}

std::string ProfileFolder(const std::string& data_home) { return data_home + "/harvelo/browser"; }

std::string FirefoxProfileFolder(const std::string& data_home) {
  return data_home + "/harvelo/firefox";
}

std::vector<std::string> BrowserArguments(const std::string& profile,
                                          const std::vector<std::string>& addresses, bool as_root) {
  std::vector<std::string> arguments = {"--user-data-dir=" + profile, "--remote-debugging-port=0",
                                        "--no-first-run", "--no-default-browser-check"};
  if (as_root) arguments.push_back("--no-sandbox");
  if (!addresses.empty()) {
    arguments.push_back("--");
    arguments.insert(arguments.end(), addresses.begin(), addresses.end());
  }
  return arguments;
}

std::vector<std::string> FirefoxArguments(const std::string& profile,
                                          const std::vector<std::string>& addresses) {
  std::vector<std::string> arguments = {"--profile", profile, "--remote-debugging-port=0"};
  for (const std::string& address : addresses) {
    arguments.insert(arguments.end(), {"--url", address});
  }
  return arguments;
}

}  // namespace harvelo::launcher
