// harvelo-sample-server: serves a folder on 127.0.0.1 for demonstrations, as a test's
// PageServer does. Not installed.
//
//   harvelo-sample-server --root DIR [--port N] [--require-referer PATH_PREFIX=REFERER_PREFIX]...
//
// Prints the server's address, http://127.0.0.1:PORT/, then serves until it is interrupted.

#include <signal.h>

#include <iostream>
#include <string>

#include "support/page_server.h"

int main(int argc, char** argv) {
  // Waited for below, so that the server ends through its destructor.
  sigset_t ending;
  sigemptyset(&ending);
  sigaddset(&ending, SIGINT);
  sigaddset(&ending, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &ending, nullptr);

  std::string root, port = "0";
  std::vector<std::string> referers;
  bool usage_error = argc % 2 == 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    if (name == "--root") {
      root = argv[i + 1];
    } else if (name == "--port") {
      port = argv[i + 1];
    } else if (name == "--require-referer") {
      referers.push_back(argv[i + 1]);
    } else {
      usage_error = true;
    }
  }
  if (usage_error || root.empty()) {
    std::cerr << "Usage: harvelo-sample-server --root DIR [--port N] "
                 "[--require-referer PATH_PREFIX=REFERER_PREFIX]...\n";
    return 2;
  }
  harvelo::testing::PageServer server(std::stoi(port));
  server.ServeFolder(root);
  for (const std::string& rule : referers) {
    server.RequireReferer(rule.substr(0, rule.find('=')), rule.substr(rule.find('=') + 1));
  }
  std::cout << server.Url("/") << std::endl;
  int signal = 0;
  sigwait(&ending, &signal);
  return 0;
}
