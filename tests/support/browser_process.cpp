#include "support/browser_process.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace harvelo::testing {

BrowserProcess::BrowserProcess() : profile_(std::make_unique<TemporaryFolder>()) {}

BrowserProcess::~BrowserProcess() {
  process_.reset();
  profile_.reset();
}

void BrowserProcess::Start(const std::vector<std::string>& argv,
                           const std::map<std::string, std::string>& environment,
                           const std::string& port_file,
                           const std::function<std::string(const std::string&)>& endpoint_in,
                           const std::string& browser) {
  process_ = std::make_unique<ChildProcess>(argv, environment);
  for (int tries = 0; tries < 600; ++tries) {
    std::ifstream file(port_file);
    std::stringstream text;
    text << file.rdbuf();
    endpoint_ = endpoint_in(text.str());
    if (!endpoint_.empty()) return;
    if (process_->Wait(std::chrono::milliseconds(0))) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  throw std::runtime_error(browser + " gave no port for its remote control");
}

}  // namespace harvelo::testing
