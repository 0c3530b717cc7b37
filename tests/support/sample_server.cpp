// harvelo-sample-server: serves a folder on 127.0.0.1 for demonstrations and measurements,
// as a test's PageServer does. Not installed.

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "support/page_server.h"

namespace {

const char kHelp[] =
    "Usage: harvelo-sample-server --root DIR [--port N] [--delay-ms D]\n"
    "                             [--require-referer PATH_PREFIX=REFERER_PREFIX]...\n"
    "\n"
    "Serves the files below DIR on 127.0.0.1 at port N (0, the default: one the system\n"
    "picks), honouring ranges, until it is interrupted. The first line on standard output\n"
    "is the server's address, http://127.0.0.1:PORT/. --delay-ms waits D milliseconds\n"
    "before each answer. --require-referer refuses (403) the paths that begin with\n"
    "PATH_PREFIX to a request whose Referer does not begin with REFERER_PREFIX.\n";

int UsageError(const std::string& message) {
  std::cerr << "harvelo-sample-server: " << message << "\n" << kHelp;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string root;
  int port = 0;
  int delay_ms = 0;
  std::vector<std::pair<std::string, std::string>> referers;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--help") {
      std::cout << kHelp;
      return 0;
    }
    if (i + 1 >= argc) return UsageError("unknown argument or missing value: " + name);
    const std::string value = argv[++i];
    if (name == "--root") {
      root = value;
    } else if (name == "--port") {
      port = std::atoi(value.c_str());
    } else if (name == "--delay-ms") {
      delay_ms = std::atoi(value.c_str());
    } else if (name == "--require-referer" && value.find('=') != std::string::npos) {
      referers.emplace_back(value.substr(0, value.find('=')), value.substr(value.find('=') + 1));
    } else {
      return UsageError("unknown argument or bad value: " + name + " " + value);
    }
  }
  if (root.empty()) return UsageError("--root is missing");

  // Waited for below, so that the server ends through its destructor.
  sigset_t ending;
  sigemptyset(&ending);
  sigaddset(&ending, SIGINT);
  sigaddset(&ending, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &ending, nullptr);

  harvelo::testing::PageServer server(port);
  server.ServeFolder(root);
  server.Delay(std::chrono::milliseconds(delay_ms));
  for (const auto& [path_prefix, referer_prefix] : referers) {
    server.RequireReferer(path_prefix, referer_prefix);
  }
  std::cout << server.Url("/") << std::endl;
  int signal = 0;
  sigwait(&ending, &signal);
  return 0;
}
