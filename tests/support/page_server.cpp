#include "support/page_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace harvelo::testing {

PageServer::PageServer() {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listener_, 16) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

PageServer::~PageServer() {
  stopping_ = true;
  thread_.join();
  close(listener_);
}

void PageServer::Add(const std::string& path, const std::string& body,
                     const std::string& content_type) {
  std::lock_guard lock(mutex_);
  pages_[path] = {content_type, body};
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
    Answer(connection);
    close(connection);
  }
}

void PageServer::Answer(int connection) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
    pollfd ready{connection, POLLIN, 0};
    if (poll(&ready, 1, 2000) <= 0) return;
    const ssize_t got = read(connection, buffer, sizeof buffer);
    if (got <= 0) return;
    request.append(buffer, static_cast<std::size_t>(got));
  }
  const auto first_space = request.find(' ');
  const auto second_space = request.find(' ', first_space + 1);
  std::string path = request.substr(first_space + 1, second_space - first_space - 1);
  path = path.substr(0, path.find('?'));
  std::string head;
  std::string body;
  {
    std::lock_guard lock(mutex_);
    auto page = pages_.find(path);
    if (page == pages_.end()) {
      head = "HTTP/1.0 404 Not Found\r\nContent-Type: text/plain\r\n";
      body = "not found";
    } else {
      head = "HTTP/1.0 200 OK\r\nContent-Type: " + page->second.first + "\r\n";
      body = page->second.second;
    }
  }
  const std::string answer = head + "Content-Length: " + std::to_string(body.size()) +
                             "\r\nConnection: close\r\n\r\n" + body;
  std::size_t sent = 0;
  while (sent < answer.size()) {
    const ssize_t wrote =
        send(connection, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
    if (wrote <= 0) return;
    sent += static_cast<std::size_t>(wrote);
  }
}

}  // namespace harvelo::testing
