#include "transfer.h"

#include <QNetworkCookieJar>
#include <QNetworkRequest>
#include <QTimer>

#include "content_disposition.h"
#include "file_naming.h"
#include "platform/failure.h"

namespace haulbeam {
namespace {

using namespace Qt::Literals::StringLiterals;

// A transfer that receives nothing for this long is broken off (and tried again).
constexpr int kStallLimitMs = 30000;
// What the network may read ahead of the disk: without a limit a fast server fills memory
// with the whole file.
constexpr qint64 kReadAhead = 1 << 20;

bool IsWebAddress(const QUrl& url) {
  return url.scheme() == u"http"_s || url.scheme() == u"https"_s;
}

// Errors that the same request would meet again.
bool Lasting(QNetworkReply::NetworkError error) {
  switch (error) {
    case QNetworkReply::ProtocolUnknownError:
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::SslHandshakeFailedError:
    case QNetworkReply::InsecureRedirectError:
    case QNetworkReply::TooManyRedirectsError:
      return true;
    default:
      return false;
  }
}

// An HTTP status that a later request may not meet: server trouble, a timeout, too many
// requests.
bool Passing(int status) { return status >= 500 || status == 408 || status == 429; }

// The first byte and the whole size of "bytes 100-199/200"; size -1 for "*".
bool ReadContentRange(const QByteArray& value, qint64& first, qint64& total) {
  if (!value.startsWith("bytes ")) return false;
  const qsizetype dash = value.indexOf('-');
  const qsizetype slash = value.indexOf('/');
  if (dash < 0 || slash < dash) return false;
  bool ok = false;
  first = value.mid(6, dash - 6).trimmed().toLongLong(&ok);
  const QByteArray size = value.mid(slash + 1).trimmed();
  total = size == "*" ? -1 : size.toLongLong();
  return ok;
}

// The jar sends the browser's cookies for `address` from now on, in place of its own; it
// keeps their domains and paths, so a redirect to another site does not carry them.
void TakeBrowserCookies(QNetworkCookieJar& jar, const QUrl& address,
                        const QList<QNetworkCookie>& cookies) {
  for (const QNetworkCookie& cookie : jar.cookiesForUrl(address)) jar.deleteCookie(cookie);
  for (const QNetworkCookie& cookie : cookies) jar.insertCookie(cookie);
}

}  // namespace

Transfer::Transfer(QNetworkAccessManager& network, BrowserCookies* cookies, const Job& job,
                   qint64 largest_file, Progress progress, Done done)
    : network_(network),
      job_(job),
      largest_file_(largest_file),
      progress_(std::move(progress)),
      done_(std::move(done)) {
  QTimer::singleShot(0, &context_, [this, cookies] {
    if (!IsWebAddress(job_.url)) return End(Outcome::Kind::kFailed, u"not a web address"_s);
    try {
      part_ = std::make_unique<PartFile>(job_.folder, job_.url);
    } catch (const harvelo::Failure& failure) {
      return End(Outcome::Kind::kFailed, QString::fromStdString(failure.what()));
    }
    if (!cookies) return Request();
    cookies->Ask(job_.url, &context_, [this](const BrowserIdentity& browser) {
      if (!browser.user_agent.isEmpty()) {
        user_agent_ = browser.user_agent;
        TakeBrowserCookies(*network_.cookieJar(), job_.url, browser.cookies);
      }
      Request();
    });
  });
}

Transfer::~Transfer() { Drop(); }

void Transfer::Request() {
  QNetworkRequest request(job_.url);
  // Bytes as the server stores them, so that a range means the same bytes every time.
  request.setRawHeader("Accept-Encoding", "identity");
  request.setRawHeader("User-Agent", user_agent_.isEmpty() ? "Haulbeam" : user_agent_);
  const QUrl origin(job_.origin);
  if (IsWebAddress(origin)) request.setRawHeader("Referer", origin.toEncoded());
  if (part_->size() > 0) {
    request.setRawHeader("Range", "bytes=" + QByteArray::number(part_->size()) + '-');
  }
  request.setTransferTimeout(kStallLimitMs);
  decided_ = false;
  reply_ = network_.get(request);
  reply_->setReadBufferSize(kReadAhead);
  QObject::connect(reply_, &QNetworkReply::readyRead, &context_, [this] { Take(); });
  QObject::connect(reply_, &QNetworkReply::finished, &context_, [this] { Finished(); });
}

void Transfer::Drop() {
  if (!reply_) return;
  QObject::disconnect(reply_, nullptr, &context_, nullptr);
  reply_->abort();
  reply_->deleteLater();
  reply_ = nullptr;
}

bool Transfer::Decide() {
  decided_ = true;
  const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  const qint64 had = part_->size();
  qint64 first = 0;
  keep_body_ = status == 206 &&
               ReadContentRange(reply_->rawHeader("Content-Range"), first, total_) && first == had;
  if (!keep_body_ && had > 0 && (status == 206 || status == 416) && !restarted_) {
    // The part file does not fit what the server has now: once more, from the start.
    restarted_ = true;
    Drop();
    part_->Clear();
    Request();
    return false;
  }
  if (status >= 200 && status < 300 && status != 206) {
    keep_body_ = true;
    part_->Clear();
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    total_ = length.isValid() ? length.toLongLong() : -1;
  }
  return true;
}

bool Transfer::Take() {
  try {
    if (!decided_ && !Decide()) return false;
    // A refused answer's body is dropped; a reply broken off by the stall limit is closed.
    const QByteArray bytes = reply_->isOpen() ? reply_->readAll() : QByteArray();
    if (keep_body_ && (TooLarge(total_) || TooLarge(part_->size() + bytes.size()))) return false;
    if (keep_body_ && !bytes.isEmpty()) {
      part_->Append(bytes);
      progress_(part_->size(), total_);
    }
    return true;
  } catch (const harvelo::Failure& failure) {
    End(Outcome::Kind::kFailed, QString::fromStdString(failure.what()));
    return false;
  }
}

bool Transfer::TooLarge(qint64 size) {
  if (size <= largest_file_) return false;
  part_->Clear();
  End(Outcome::Kind::kFailed,
      u"larger than %1 MB, the largest file Haulbeam saves"_s.arg(largest_file_ >> 20));
  return true;
}

void Transfer::Finished() {
  if (!Take()) return;
  const QNetworkReply::NetworkError error = reply_->error();
  const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (keep_body_ && error == QNetworkReply::NoError) {
    if (total_ >= 0 && part_->size() != total_) {
      return End(Outcome::Kind::kRetry,
                 u"the connection ended after %1 of %2 bytes"_s.arg(part_->size()).arg(total_));
    }
    try {
      return End(Outcome::Kind::kSaved, part_->Finish(FinalName()));
    } catch (const harvelo::Failure& failure) {
      return End(Outcome::Kind::kFailed, QString::fromStdString(failure.what()));
    }
  }
  if (status >= 400) {
    const QString phrase = reply_->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    return End(Passing(status) ? Outcome::Kind::kRetry : Outcome::Kind::kFailed,
               (u"HTTP %1 "_s.arg(status) + phrase).trimmed());
  }
  if (error == QNetworkReply::NoError) {
    return End(Outcome::Kind::kFailed, u"the server answered HTTP %1"_s.arg(status));
  }
  // Only the stall limit cancels a request that is still watched.
  const QString reason = error == QNetworkReply::OperationCanceledError
                             ? u"nothing arrived for %1 seconds"_s.arg(kStallLimitMs / 1000)
                             : reply_->errorString();
  End(Lasting(error) ? Outcome::Kind::kFailed : Outcome::Kind::kRetry, reason);
}

QString Transfer::FinalName() const {
  QString name = FileNameFromContentDisposition(reply_->rawHeader("Content-Disposition"));
  if (name.isEmpty()) name = LastPathSegment(reply_->url());
  if (name.isEmpty()) name = LastPathSegment(job_.url);
  return SafeFileName(name);
}

void Transfer::End(Outcome::Kind kind, const QString& text) {
  Drop();
  const Done done = std::move(done_);
  done(Outcome{kind, text});  // may destroy this transfer: nothing of it is used after
}

}  // namespace haulbeam
