// The settings file's reader on any bytes: it never fails, and what it read writes out as a
// file that reads back whole (no line skipped) and writes out the same again.

#include "fuzz_input.h"
#include "platform/linux/hive/hive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace harvelo;
  using namespace harvelo::fuzz;
  const std::string written = Hive::Parse(Bytes(data, size)).Serialize();
  std::size_t unreadable = 0;
  const Hive reread = Hive::Parse(written, &unreadable);
  Require(unreadable == 0, "a written file reads without a skipped line");
  Require(reread.Serialize() == written, "a written file reads back as it was written");
  return 0;
}
