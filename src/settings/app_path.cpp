#include "settings/app_path.h"

#include <string>

namespace harvelo {

Text AppPath::GetMachineName() {
  std::string name = machine_.ComputerName();
  name = name.substr(0, 255);
  name = name.substr(0, name.find('\0'));
  return FromUtf8(name);
}

Text AppPath::GetProgramFolder() {
  const Text folder = machine_.ExecutableFolder();
  const Text folder_lower = LowerAscii(folder);
  const Text machine_lower = LowerAscii(GetMachineName());
  Text result = folder;
  for (const BuildMachine* build : {&first_, &second_}) {
    if (build->computer_name.empty()) continue;
    if (machine_lower == LowerAscii(build->computer_name) &&
        StartsWith(folder_lower, LowerAscii(build->development_folder)) &&
        !Contains(folder_lower, u"build")) {
      result = folder + separator_ + u".." + separator_ + u"Build";
      break;
    }
  }
  if (!EndsWith(result, Text(1, separator_))) result += separator_;
  return result;
}

}  // namespace harvelo
