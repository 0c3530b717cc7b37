#ifndef HARVELO_TESTS_FAKES_FAKE_MACHINE_H_
#define HARVELO_TESTS_FAKES_FAKE_MACHINE_H_

#include <string>

#include "platform/machine.h"

namespace harvelo {

// A machine whose executable folder and host name the test sets.
struct FakeMachine : Machine {
  Text executable_folder = u"/opt/harvelo";
  std::string computer_name = "desk";

  Text ExecutableFolder() override { return executable_folder; }
  std::string ComputerName() override { return computer_name; }
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_MACHINE_H_
