#include "support/page_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace harvelo::testing {
namespace {

std::string Phrase(int status) {
  const std::map<int, std::string> kPhrases = {{200, "OK"},        {206, "Partial Content"},
                                               {302, "Found"},     {403, "Forbidden"},
                                               {404, "Not Found"}, {416, "Range Not Satisfiable"}};
  return kPhrases.contains(status) ? kPhrases.at(status) : "Status";
}

// The answer to a request refused with `status`.
PageServer::Reply Refusal(int status) {
  return {Phrase(status), "text/plain", status, {}, false, 0, 0};
}

// The type a browser needs to show a served file as a page, a style sheet or a picture.
std::string ContentTypeOf(const std::string& path) {
  const std::map<std::string, std::string> kTypes = {{".html", "text/html; charset=utf-8"},
                                                     {".css", "text/css"},
                                                     {".jpg", "image/jpeg"},
                                                     {".mpg", "video/mpeg"}};
  const auto type = kTypes.find(std::filesystem::path(path).extension());
  return type == kTypes.end() ? "application/octet-stream" : type->second;
}

// The value of the request header `name` (in lower case) in `head`.
std::string Header(const std::string& head, const std::string& name) {
  std::smatch match;
  std::regex_search(head, match, std::regex("\r\n" + name + ": *([^\r]*)", std::regex::icase));
  return match[1];
}

}  // namespace

PageServer::PageServer(int port) {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int reuse = 1;
  setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  socklen_t length = sizeof address;
  if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listener_, 64) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

PageServer::~PageServer() {
  stopping_ = true;
  thread_.join();
  std::unique_lock lock(mutex_);
  connections_ended_.wait(lock, [this] { return connections_ == 0; });
  close(listener_);
}

void PageServer::Add(const std::string& path, const std::string& body,
                     const std::string& content_type) {
  Add(path, Reply{body, content_type, 200, {}, false, 0, 0});
}

void PageServer::Add(const std::string& path, Reply reply) {
  std::lock_guard lock(mutex_);
  pages_[path] = std::move(reply);
}

void PageServer::ServeFolder(const std::string& root) {
  std::lock_guard lock(mutex_);
  folder_ = root;
}

void PageServer::RequireReferer(const std::string& path_prefix, const std::string& referer_prefix) {
  std::lock_guard lock(mutex_);
  referers_.emplace_back(path_prefix, referer_prefix);
}

void PageServer::RequireCookie(const std::string& path_prefix, const std::string& cookie) {
  std::lock_guard lock(mutex_);
  cookies_.emplace_back(path_prefix, cookie);
}

void PageServer::Delay(std::chrono::milliseconds delay) {
  std::lock_guard lock(mutex_);
  delay_ = delay;
}

std::string PageServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void PageServer::Serve() {
  while (!stopping_) {
    pollfd ready{listener_, POLLIN, 0};
    if (poll(&ready, 1, 100) <= 0) continue;
    const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    std::lock_guard lock(mutex_);
    ++connections_;
    std::thread([this, connection] {
      std::string head;
      char buffer[4096];
      ssize_t got = 0;
      pollfd readable{connection, POLLIN, 0};
      while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536 &&
             poll(&readable, 1, 2000) > 0 && (got = read(connection, buffer, sizeof buffer)) > 0) {
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
}

std::string PageServer::Respond(const std::string& head) {
  const std::size_t start = head.find(' ') + 1;
  const std::string path = head.substr(start, head.find_first_of(" ?", start) - start);
  Reply reply;
  std::chrono::milliseconds delay;
  bool drop = false;
  {
    std::lock_guard lock(mutex_);
    reply = Find(path);
    if (reply.drops > 0) drop = pages_[path].drops-- > 0;
    for (const auto& [path_prefix, referer_prefix] : referers_) {
      if (path.starts_with(path_prefix) && !Header(head, "referer").starts_with(referer_prefix)) {
        reply = Refusal(403);
      }
    }
    delay = delay_;
    for (const auto& [path_prefix, cookie] : cookies_) {
      if (path.starts_with(path_prefix) &&
          Header(head, "cookie").find(cookie) == std::string::npos) {
        reply = Refusal(403);
      }
    }
  }
  std::this_thread::sleep_for(delay);
  std::smatch range;
  const std::string asked = Header(head, "range");
  if (reply.ranges && reply.status == 200 &&
      std::regex_match(asked, range, std::regex("bytes=([0-9]+)-[0-9]*"))) {
    const std::size_t size = reply.body.size(), first = std::stoull(range[1]);
    reply.status = first < size ? 206 : 416;
    reply.headers.emplace_back("Content-Range", first < size ? "bytes " + std::to_string(first) +
                                                                   "-" + std::to_string(size - 1) +
                                                                   "/" + std::to_string(size)
                                                             : "bytes */" + std::to_string(size));
    reply.body.erase(0, std::min(first, size));
  }
  if (reply.ranges) reply.headers.emplace_back("Accept-Ranges", "bytes");
  std::string answer = "HTTP/1.1 " + std::to_string(reply.status) + " " + Phrase(reply.status) +
                       "\r\nContent-Type: " + reply.content_type +
                       "\r\nContent-Length: " + std::to_string(reply.body.size()) + "\r\n";
  for (const auto& [name, value] : reply.headers) answer += name + ": " + value + "\r\n";
  answer += "Connection: close\r\n\r\n";
  if (drop) return answer + reply.body.substr(0, reply.drop_after);
  return answer + reply.body;
}

PageServer::Reply PageServer::Find(const std::string& path) {
  if (const auto page = pages_.find(path); page != pages_.end()) return page->second;
  if (folder_.empty() || ("/" + path + "/").find("/../") != std::string::npos ||
      !std::filesystem::is_regular_file(folder_ + path)) {
    return Refusal(404);
  }
  std::ostringstream bytes;
  bytes << std::ifstream(folder_ + path, std::ios::binary).rdbuf();
  return Reply{bytes.str(), ContentTypeOf(path), 200, {}, true, 0, 0};
}

}  // namespace harvelo::testing
