// harvelo-sample-server: serves a folder on 127.0.0.1 for demonstrations, as a test's
// PageServer does. Not installed. Prints its address, then serves until interrupted.

#include <signal.h>

#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "support/page_server.h"

int main(int argc, char** argv) {
  // Waited for below, so that the server ends through its destructor.
  sigset_t ending;
  sigemptyset(&ending);
  sigaddset(&ending, SIGINT);
  sigaddset(&ending, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &ending, nullptr);

  std::map<std::string, std::vector<std::string>> options;
  for (int i = 1; i + 1 < argc; i += 2) options[argv[i]].push_back(argv[i + 1]);
  bool usage_error = argc % 2 == 0;
  for (const auto& [name, values] : options) {
    usage_error |= name != "--root" && name != "--port" && name != "--require-referer";
  }
  if (usage_error || options["--root"].size() != 1) {
    std::cerr << "Usage: harvelo-sample-server --root DIR [--port N] "
                 "[--require-referer PATH_PREFIX=REFERER_PREFIX]...\n";
    return 2;
  }
  harvelo::testing::PageServer server(options.contains("--port") ? std::stoi(options["--port"][0])
                                                                 : 0);
  server.ServeFolder(options["--root"][0]);
  for (const std::string& rule : options["--require-referer"]) {
    server.Require(rule.substr(0, rule.find('=')), "Referer", rule.substr(rule.find('=') + 1));
  }
  std::cout << server.Url("/") << std::endl;
  int signal = 0;
  sigwait(&ending, &signal);
  return 0;
}
