#include "part_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>
#include <cstring>

#include "file_naming.h"
#include "platform/failure.h"

namespace haulbeam {
namespace {

using namespace Qt::Literals::StringLiterals;

// The most "name (n)" tried before giving up on a folder.
constexpr int kMostNumbers = 9999;

// The one place where the file system's errors become the program's.
[[noreturn]] void Fail(const QString& what, const QString& why) {
  throw harvelo::Failure(harvelo::FromUtf8((what + u": "_s + why).toStdString()));
}

[[noreturn]] void FailErrno(const QString& what, int error) {
  Fail(what, QString::fromLocal8Bit(std::strerror(error)));
}

// Renames `from` to `to` unless `to` exists. False when it does; throws on other errors.
// A file system without RENAME_NOREPLACE gets a hard link and an unlink instead, which
// refuse an existing name as well.
bool RenameUnlessTaken(const QByteArray& from, const QByteArray& to) {
  if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno == EEXIST) return false;
  if (errno != EINVAL && errno != ENOSYS) FailErrno(QFile::decodeName(to), errno);
  if (::link(from.constData(), to.constData()) != 0) {
    if (errno == EEXIST) return false;
    FailErrno(QFile::decodeName(to), errno);
  }
  ::unlink(from.constData());
  return true;
}

}  // namespace

PartFile::PartFile(const QString& folder, const QUrl& url) : folder_(folder) {
  if (!QDir().mkpath(folder)) Fail(folder, u"the folder cannot be created"_s);
  file_.setFileName(folder + PartFileName(url));
  if (!file_.open(QIODevice::WriteOnly | QIODevice::Append)) {
    Fail(file_.fileName(), file_.errorString());
  }
}

PartFile::~PartFile() {
  if (file_.isOpen() && file_.size() == 0) file_.remove();
}

void PartFile::Append(const QByteArray& bytes) {
  if (file_.write(bytes) != bytes.size()) Fail(file_.fileName(), file_.errorString());
}

void PartFile::Clear() {
  if (!file_.resize(0)) Fail(file_.fileName(), file_.errorString());
}

QString PartFile::Finish(const QString& name) {
  if (!file_.flush()) Fail(file_.fileName(), file_.errorString());
  if (::fsync(file_.handle()) != 0) FailErrno(file_.fileName(), errno);
  file_.close();
  const QByteArray from = QFile::encodeName(file_.fileName());
  for (int n = 1; n <= kMostNumbers; ++n) {
    const QString path = folder_ + (n == 1 ? name : NumberedName(name, n));
    if (RenameUnlessTaken(from, QFile::encodeName(path))) return path;
  }
  Fail(folder_ + name, u"no free name"_s);
}

}  // namespace haulbeam
