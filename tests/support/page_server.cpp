#include "support/page_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace harvelo::testing {

struct PageServer::Request {
  std::string path;
  std::map<std::string, std::string> headers;  // names in lower case
};

namespace {

const char* Phrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 206:
      return "Partial Content";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 416:
      return "Range Not Satisfiable";
    default:
      return "Status";
  }
}

bool SendAll(int connection, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t wrote = send(connection, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (wrote <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
  }
  return true;
}

// The first byte that "bytes=N-" or "bytes=N-M" asks for.
bool RangeStart(const std::string& range, std::size_t& first) {
  if (range.rfind("bytes=", 0) != 0 || range.find(',') != std::string::npos) return false;
  const std::string start = range.substr(6, range.find('-') - 6);
  if (start.empty() || !std::all_of(start.begin(), start.end(), ::isdigit)) return false;
  first = std::stoull(start);
  return true;
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
  Reply reply;
  reply.body = body;
  reply.content_type = content_type;
  Add(path, std::move(reply));
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
      Answer(connection);
      close(connection);
      std::lock_guard ended(mutex_);
      if (--connections_ == 0) connections_ended_.notify_all();
    }).detach();
  }
}

void PageServer::Answer(int connection) {
  std::string text;
  char buffer[4096];
  while (text.find("\r\n\r\n") == std::string::npos && text.size() < 65536) {
    pollfd ready{connection, POLLIN, 0};
    if (poll(&ready, 1, 2000) <= 0) return;
    const ssize_t got = read(connection, buffer, sizeof buffer);
    if (got <= 0) return;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  Request request;
  std::istringstream lines(text);
  std::string line;
  std::getline(lines, line);
  const auto first_space = line.find(' ');
  const auto second_space = line.find(' ', first_space + 1);
  request.path = line.substr(first_space + 1, second_space - first_space - 1);
  request.path = request.path.substr(0, request.path.find('?'));
  while (std::getline(lines, line) && line != "\r") {
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string name = line.substr(0, colon);
    std::transform(name.begin(), name.end(), name.begin(), ::tolower);
    const auto value = line.find_first_not_of(' ', colon + 1);
    request.headers[name] = line.substr(value, line.find_last_not_of("\r ") + 1 - value);
  }
  std::chrono::milliseconds delay;
  {
    std::lock_guard lock(mutex_);
    delay = delay_;
  }
  std::this_thread::sleep_for(delay);
  const auto [answer, cut] = Respond(request);
  SendAll(connection, std::string_view(answer).substr(0, cut));
}

std::pair<std::string, std::size_t> PageServer::Respond(const Request& request) {
  const auto header = [&](const std::string& name) {
    const auto found = request.headers.find(name);
    return found == request.headers.end() ? std::string() : found->second;
  };
  Reply reply;
  bool found = false;
  bool allowed = true;
  bool drop = false;
  {
    std::lock_guard lock(mutex_);
    found = Find(request.path, reply);
    if (found && reply.drops > 0) {
      drop = true;
      --pages_[request.path].drops;
    }
    for (const auto& [path_prefix, referer_prefix] : referers_) {
      if (request.path.rfind(path_prefix, 0) == 0 &&
          header("referer").rfind(referer_prefix, 0) != 0) {
        allowed = false;
      }
    }
    for (const auto& [path_prefix, cookie] : cookies_) {
      if (request.path.rfind(path_prefix, 0) == 0 &&
          header("cookie").find(cookie) == std::string::npos) {
        allowed = false;
      }
    }
  }
  if (!found || !allowed) {
    reply = Reply{};
    reply.status = found ? 403 : 404;
    reply.body = Phrase(reply.status);
    reply.content_type = "text/plain";
  }
  std::size_t first = 0;
  if (reply.ranges && reply.status == 200) {
    const std::size_t size = reply.body.size();
    reply.headers.emplace_back("Accept-Ranges", "bytes");
    if (RangeStart(header("range"), first) && first >= size) {
      reply.status = 416;
      reply.headers.emplace_back("Content-Range", "bytes */" + std::to_string(size));
      reply.body.clear();
    } else if (RangeStart(header("range"), first)) {
      reply.status = 206;
      reply.headers.emplace_back("Content-Range", "bytes " + std::to_string(first) + "-" +
                                                      std::to_string(size - 1) + "/" +
                                                      std::to_string(size));
      reply.body.erase(0, first);
    }
  }
  std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + Phrase(reply.status) +
                     "\r\nContent-Type: " + reply.content_type +
                     "\r\nContent-Length: " + std::to_string(reply.body.size()) + "\r\n";
  for (const auto& [name, value] : reply.headers) head += name + ": " + value + "\r\n";
  head += "Connection: close\r\n\r\n";
  const std::size_t cut = drop ? head.size() + reply.drop_after : std::string::npos;
  return {head + reply.body, cut};
}

namespace {

// The type a browser needs to show a served file as a page, a style sheet or a picture.
std::string ContentTypeOf(const std::string& path) {
  static const std::pair<const char*, const char*> kTypes[] = {
      {".html", "text/html; charset=utf-8"},
      {".css", "text/css"},
      {".jpg", "image/jpeg"},
      {".gif", "image/gif"},
      {".mpg", "video/mpeg"}};
  for (const auto& [extension, type] : kTypes) {
    if (path.ends_with(extension)) return type;
  }
  return "application/octet-stream";
}

}  // namespace

bool PageServer::Find(const std::string& path, Reply& reply) {
  const auto page = pages_.find(path);
  if (page != pages_.end()) {
    reply = page->second;
    return true;
  }
  if (folder_.empty() || ("/" + path + "/").find("/../") != std::string::npos ||
      !std::filesystem::is_regular_file(folder_ + path)) {
    return false;
  }
  std::ifstream file(folder_ + path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  reply.body = bytes.str();
  reply.ranges = true;
  reply.content_type = ContentTypeOf(path);
  return true;
}

}  // namespace harvelo::testing
