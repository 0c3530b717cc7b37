#ifndef HARVELO_TESTS_SUPPORT_PAGE_SERVER_H_
#define HARVELO_TESTS_SUPPORT_PAGE_SERVER_H_

// A web server on 127.0.0.1 serving what a test gives it, each connection from a thread
// of its own (so it answers while the test waits in any way, several clients at once).
// Besides plain pages it can behave as the servers a downloader meets: ranges, a demanded
// Referer, redirects, named attachments, connections that break off, slow answers.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace harvelo::testing {

class PageServer {
 public:
  // How one path answers.
  struct Reply {
    std::string body;
    std::string content_type = "application/octet-stream";
    int status = 200;  // 302 with a "Location" header redirects
    std::vector<std::pair<std::string, std::string>> headers;  // "Location"...
    bool ranges = false;  // answers "Range: bytes=N-" with 206 and its Content-Range
    // The first `drops` requests get the headers and only `drop_after` bytes of the body
    // before the connection closes.
    int drops = 0;
    std::size_t drop_after = 0;
  };

  // Listens at `port`, or at a port the kernel picks when it is 0. Throws
  // std::runtime_error.
  explicit PageServer(int port = 0);
  ~PageServer();

  // Serves `body` at `path` ("/page.html") with `content_type`.
  void Add(const std::string& path, const std::string& body,
           const std::string& content_type = "text/html; charset=utf-8");
  void Add(const std::string& path, Reply reply);
  // Serves the files below `root` at the paths that have no reply of their own, with
  // ranges; a path with a ".." segment is not found.
  void ServeFolder(const std::string& root);
  // Refuses (403) the paths that begin with `path_prefix` to a request whose Referer does
  // not begin with `referer_prefix`.
  void RequireReferer(const std::string& path_prefix, const std::string& referer_prefix);
  // Refuses (403) the paths that begin with `path_prefix` to a request whose Cookie header
  // does not hold `cookie` ("name=value").
  void RequireCookie(const std::string& path_prefix, const std::string& cookie);
  // Waits `delay` before each answer.
  void Delay(std::chrono::milliseconds delay);
  // "http://127.0.0.1:<port>" followed by `path`.
  std::string Url(const std::string& path) const;

 private:
  void Serve();
  // The answer to the request `head`, cut short when its reply drops.
  std::string Respond(const std::string& head);
  // The reply to `path`, as given or as found in the folder; 404 when there is none.
  Reply Find(const std::string& path);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::map<std::string, Reply> pages_;
  std::string folder_;
  std::vector<std::pair<std::string, std::string>> referers_;
  std::vector<std::pair<std::string, std::string>> cookies_;
  std::chrono::milliseconds delay_{0};
  int connections_ = 0;  // threads answering; the server ends when none is left
  std::condition_variable connections_ended_;
  std::thread thread_;
};

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_PAGE_SERVER_H_
