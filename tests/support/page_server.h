#ifndef HARVELO_TESTS_SUPPORT_PAGE_SERVER_H_
#define HARVELO_TESTS_SUPPORT_PAGE_SERVER_H_

// A web server on 127.0.0.1 serving what a test gives it, each connection on a thread of its
// own, so that it answers however the test waits. Besides pages it behaves as the servers a
// downloader meets: ranges, demanded headers, redirects, connections that break off, delays.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace harvelo::testing {

class PageServer {
 public:
  struct Reply {
    std::string body;
    std::string content_type = "application/octet-stream";
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;  // "Location"...
    bool ranges = false;  // answers "Range: bytes=N-" with 206 and its Content-Range
    int drops = 0;        // the first `drops` answers end after `drop_after` bytes of the body
    std::size_t drop_after = 0;
  };

  // Listens at `port`, or at one the kernel picks when it is 0. Throws std::runtime_error.
  explicit PageServer(int port = 0);
  ~PageServer();

  void Add(const std::string& path, const std::string& body,
           const std::string& content_type = "text/html; charset=utf-8");
  void Add(const std::string& path, Reply reply);
  // Serves the files below `root`, with ranges, at the paths without a reply of their own.
  void ServeFolder(const std::string& root);
  // Refuses (403) the paths that begin with `path_prefix` to a request whose header `name`
  // ("Referer", "Cookie") does not hold `part`.
  void Require(const std::string& path_prefix, const std::string& name, const std::string& part);
  // Waits `delay` before each answer.
  void Delay(std::chrono::milliseconds delay);
  // "http://127.0.0.1:<port>" followed by `path`.
  std::string Url(const std::string& path) const;
  // Whether a request for `path` has come; a page's script may tell of its progress so.
  bool Asked(const std::string& path);

 private:
  // The answer to the request `head`, cut short when its reply drops.
  std::string Respond(const std::string& head);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::map<std::string, Reply> pages_;
  std::set<std::string> asked_;
  std::string folder_;
  std::vector<std::tuple<std::string, std::string, std::string>> required_;
  std::chrono::milliseconds delay_{0};
  int connections_ = 0;  // threads answering; the server ends when none is left
  std::condition_variable connections_ended_;
  std::thread thread_;
};

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_PAGE_SERVER_H_
