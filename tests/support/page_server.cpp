#include "support/page_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <stdexcept>

#include "support/child_process.h"

namespace harvelo::testing {
namespace {

std::string Phrase(int status) {
  const std::map<int, std::string> kPhrases = {{200, "OK"},        {206, "Partial Content"},
                                               {302, "Found"},     {403, "Forbidden"},
                                               {404, "Not Found"}, {416, "Range Not Satisfiable"}};
  return kPhrases.contains(status) ? kPhrases.at(status) : "Status";
}

PageServer::Reply Refusal(int status) { return {Phrase(status), "text/plain", status}; }

// The type a browser needs to show a served file as a page, a style sheet or a picture.
std::string ContentTypeOf(const std::filesystem::path& path) {
  const std::map<std::string, std::string> kTypes = {{".html", "text/html; charset=utf-8"},
                                                     {".css", "text/css"},
                                                     {".jpg", "image/jpeg"},
                                                     {".mpg", "video/mpeg"}};
  const auto type = kTypes.find(path.extension());
  return type == kTypes.end() ? "application/octet-stream" : type->second;
}

// The value of the request header `name` in `head`.
std::string Header(const std::string& head, const std::string& name) {
  std::smatch match;
  std::regex_search(head, match, std::regex("\r\n" + name + ": *([^\r]*)", std::regex::icase));
  return match[1];
}

}  // namespace

PageServer::PageServer(int port) : listener_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
  const int reuse = 1;
  setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
  sockaddr_in address{.sin_family = AF_INET,
                      .sin_port = htons(static_cast<std::uint16_t>(port)),
                      .sin_addr = {htonl(INADDR_LOOPBACK)},
                      .sin_zero = {}};
  socklen_t length = sizeof address;
  if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listener_, 64) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] {
    for (pollfd ready{listener_, POLLIN, 0}; !stopping_;) {
      const int connection =
          poll(&ready, 1, 100) > 0 ? accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC) : -1;
      if (connection < 0) continue;
      std::lock_guard lock(mutex_);
      ++connections_;
      std::thread([this, connection] {
        std::string head;
        char buffer[4096];
        pollfd readable{connection, POLLIN, 0};
        for (ssize_t got; head.find("\r\n\r\n") == std::string::npos && head.size() < 65536 &&
                          poll(&readable, 1, 2000) > 0 &&
                          (got = read(connection, buffer, sizeof buffer)) > 0;) {
          head.append(buffer, static_cast<std::size_t>(got));
        }
        if (head.ends_with("\r\n\r\n")) {
          const std::string answer = Respond(head);
          send(connection, answer.data(), answer.size(), MSG_NOSIGNAL);
        }
        close(connection);
        std::lock_guard ended(mutex_);
        if (--connections_ == 0) connections_ended_.notify_all();
      }).detach();
    }
  });
}

PageServer::~PageServer() {
  stopping_ = true;
  thread_.join();
  std::unique_lock lock(mutex_);
  connections_ended_.wait(lock, [this] { return connections_ == 0; });
  close(listener_);
}

bool PageServer::Asked(const std::string& path) {
  std::lock_guard lock(mutex_);
  return asked_.contains(path);
}

void PageServer::Add(const std::string& path, const std::string& body,
                     const std::string& content_type) {
  Add(path, Reply{body, content_type});
}

void PageServer::Add(const std::string& path, Reply reply) {
  std::lock_guard lock(mutex_);
  pages_[path] = std::move(reply);
}

void PageServer::ServeFolder(const std::string& root) {
  std::lock_guard lock(mutex_);
  folder_ = root;
}

void PageServer::Require(const std::string& path_prefix, const std::string& name,
                         const std::string& part) {
  std::lock_guard lock(mutex_);
  required_.emplace_back(path_prefix, name, part);
}

void PageServer::Delay(std::chrono::milliseconds delay) {
  std::lock_guard lock(mutex_);
  delay_ = delay;
}

std::string PageServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string PageServer::Respond(const std::string& head) {
  const std::size_t start = head.find(' ') + 1;
  const std::string path = head.substr(start, head.find_first_of(" ?", start) - start);
  Reply reply = Refusal(404);
  std::chrono::milliseconds delay;
  bool drop = false;
  {
    std::lock_guard lock(mutex_);
    asked_.insert(path);
    if (const auto page = pages_.find(path); page != pages_.end()) {
      reply = page->second;
      drop = page->second.drops-- > 0;
    } else if (!folder_.empty() && ("/" + path + "/").find("/../") == std::string::npos &&
               std::filesystem::is_regular_file(folder_ + path)) {
      reply = {FileBytes(folder_ + path), ContentTypeOf(path), 200, {}, true};
    }
    for (const auto& [path_prefix, name, part] : required_) {
      if (path.starts_with(path_prefix) && Header(head, name).find(part) == std::string::npos) {
        reply = Refusal(403);
      }
    }
    delay = delay_;
  }
  std::this_thread::sleep_for(delay);
  std::smatch range;
  const std::string asked = Header(head, "range");
  if (reply.ranges && reply.status == 200 &&
      std::regex_match(asked, range, std::regex("bytes=([0-9]+)-[0-9]*"))) {
    const std::size_t size = reply.body.size(), first = std::stoull(range[1]);
    const std::string total = "/" + std::to_string(size);
    reply.status = first < size ? 206 : 416;
    reply.headers.emplace_back("Content-Range", first < size
                                                    ? "bytes " + std::to_string(first) + "-" +
                                                          std::to_string(size - 1) + total
                                                    : "bytes */" + total.substr(1));
    reply.body.erase(0, std::min(first, size));
  }
  if (reply.ranges) reply.headers.emplace_back("Accept-Ranges", "bytes");
  std::string answer = "HTTP/1.1 " + std::to_string(reply.status) + " " + Phrase(reply.status) +
                       "\r\nContent-Type: " + reply.content_type +
                       "\r\nContent-Length: " + std::to_string(reply.body.size()) + "\r\n";
  for (const auto& [name, value] : reply.headers) answer += name + ": " + value + "\r\n";
  return answer + "Connection: close\r\n\r\n" +
         (drop ? reply.body.substr(0, reply.drop_after) : reply.body);
}

}  // namespace harvelo::testing
