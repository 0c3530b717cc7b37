#ifndef HARVELO_TESTS_SUPPORT_TLS_FRONT_H_
#define HARVELO_TESTS_SUPPORT_TLS_FRONT_H_

// HTTPS in front of a PageServer: https://127.0.0.1:<port> answers what the server behind
// it answers, with the test certificate of tls/ (signed by the test authority for
// 127.0.0.1). It relays on a thread of its own, so it answers however the test waits.

#include <QThread>
#include <memory>
#include <string>

#include "support/page_server.h"

namespace harvelo::testing {

class TlsFront {
 public:
  // Listens at a port the kernel picks. `server` must remain live while the front is. A
  // QCoreApplication must exist. Throws std::runtime_error when it cannot listen.
  explicit TlsFront(const PageServer& server);
  ~TlsFront();
  TlsFront(const TlsFront&) = delete;
  TlsFront& operator=(const TlsFront&) = delete;

  // "https://127.0.0.1:<port>" followed by `path`.
  std::string Url(const std::string& path) const;

  // The PEM file of the authority that signed the certificate.
  static std::string AuthorityFile();
  // The Chromium switch that accepts this certificate, and only it.
  static std::string ChromiumSwitch();

 private:
  std::unique_ptr<QThread> thread_;
  int port_ = 0;
};

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_TLS_FRONT_H_
