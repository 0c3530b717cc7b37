#ifndef HARVELO_TESTS_SUPPORT_PAGE_SERVER_H_
#define HARVELO_TESTS_SUPPORT_PAGE_SERVER_H_

// A web server on 127.0.0.1, at a port the kernel picks, serving the pages a test gives
// it from a thread of its own (so it answers while the test waits in any way).

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace harvelo::testing {

class PageServer {
 public:
  PageServer();
  ~PageServer();

  // Serves `body` at `path` ("/page.html") with `content_type`.
  void Add(const std::string& path, const std::string& body,
           const std::string& content_type = "text/html; charset=utf-8");
  // "http://127.0.0.1:<port>" followed by `path`.
  std::string Url(const std::string& path) const;

 private:
  void Serve();
  void Answer(int connection);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::map<std::string, std::pair<std::string, std::string>> pages_;
  std::thread thread_;
};

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_PAGE_SERVER_H_
