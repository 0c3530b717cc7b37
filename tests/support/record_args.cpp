// A stand-in for a companion program: writes what it was started with to the file beside
// itself named after it with ".record": whether it leads a session of its own, the number
// of arguments, the window style, then each argument, each field ending in a NUL byte.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  const std::string path = std::string{argv[0]} + ".record";
  std::ofstream record(path, std::ios::binary);
  const char* style = std::getenv("HARVELO_WINDOW_STYLE");
  record << (::getsid(0) == ::getpid() ? "own session" : "shared session") << '\0';
  record << argc - 1 << '\0' << (style ? style : "(none)") << '\0';
  for (int i = 1; i < argc; ++i) record << argv[i] << '\0';
  return record ? 0 : 1;
}
