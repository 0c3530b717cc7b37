// The download program's readers of what it is sent and of what servers name: a job message
// is either a job or a reason; a file name, whatever the address or the server says, is one
// plain name inside the job's folder.

#include <QDir>
#include <QUrl>

#include "character_references.h"
#include "file_naming.h"
#include "fuzz_input.h"
#include "job_message.h"

namespace {

void CheckStaysInFolder(const QString& name) {
  using harvelo::fuzz::Require;
  const QString safe = haulbeam::SafeFileName(name);
  Require(!safe.isEmpty(), "a name is never empty");
  Require(safe.toUtf8().size() <= haulbeam::kLongestName, "a name fits the file system");
  Require(!safe.contains(u'/') && !safe.contains(u'\\'), "a name has no separator");
  Require(!safe.startsWith(u'.'), "a name is never hidden, \".\" or \"..\"");
  const QString folder = QStringLiteral("/jobs/folder");
  Require(QDir::cleanPath(folder + u'/' + safe).startsWith(folder + u'/'),
          "a name stays inside the folder");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using harvelo::fuzz::Require;
  const QString text = QString::fromUtf8(harvelo::fuzz::Bytes(data, size));
  QString problem;
  const auto job = haulbeam::ParseJobMessage(text, problem);
  Require(job.has_value() != !problem.isEmpty(), "a message is a job or has a reason");
  if (job) Require(job->folder.endsWith(u'/'), "a job's folder ends in a separator");
  CheckStaysInFolder(haulbeam::DecodeCharacterReferences(text));
  CheckStaysInFolder(haulbeam::LastPathSegment(QUrl(text)));
  CheckStaysInFolder(text);
  return 0;
}
