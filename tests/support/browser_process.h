#ifndef HARVELO_TESTS_SUPPORT_BROWSER_PROCESS_H_
#define HARVELO_TESTS_SUPPORT_BROWSER_PROCESS_H_

// A browser of the test's own: a throw-away profile, remote control on a port the kernel
// picks, which the browser writes into a file; ended, and its profile removed, with the object.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace harvelo::testing {

class BrowserProcess {
 public:
  struct Options {
    // Empty: headless. Else the X display to show its windows on.
    std::string display;
    // The pages of the first window; none opens about:blank.
    std::vector<std::string> urls;
  };

  virtual ~BrowserProcess();
  BrowserProcess(const BrowserProcess&) = delete;
  BrowserProcess& operator=(const BrowserProcess&) = delete;

  // The address of the browser's remote control.
  const std::string& endpoint() const { return endpoint_; }
  // The user's data folder that a launcher was given; empty without a launcher.
  const std::string& data_home() const { return data_home_; }
  pid_t pid() const { return process_->pid(); }
  // Ends the browser at once, as a crash would.
  void Kill() { process_->Kill(); }

 protected:
  BrowserProcess();
  const std::string& profile() const { return profile_->path(); }
  // Starts `argv`, then waits until `endpoint_in` finds the endpoint in the text of
  // `port_file`. Throws std::runtime_error, naming `browser`, after 60 s or when the
  // browser ends first.
  void Start(const std::vector<std::string>& argv,
             const std::map<std::string, std::string>& environment, const std::string& port_file,
             const std::function<std::string(const std::string&)>& endpoint_in,
             const std::string& browser);

  std::string data_home_;

 private:
  std::unique_ptr<TemporaryFolder> profile_;
  std::unique_ptr<ChildProcess> process_;
  std::string endpoint_;
};

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_BROWSER_PROCESS_H_
