#ifndef HARVELO_COMPANIONS_HAULBEAM_PART_FILE_H_
#define HARVELO_COMPANIONS_HAULBEAM_PART_FILE_H_

// The file a download writes into until it is complete (see PartFileName); then it takes
// its final name. A download that breaks off leaves it behind, to be resumed.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QUrl>

namespace haulbeam {

class PartFile {
 public:
  // Opens the part file of `url` in `folder`, creating the folder (with its parents) and
  // the file when missing and keeping what the file already holds. Throws harvelo::Failure.
  PartFile(const QString& folder, const QUrl& url);
  // Closes the file, and removes it when it holds nothing: no use to a later job.
  ~PartFile();

  qint64 size() const { return file_.size(); }
  // Adds `bytes` at the end. Throws harvelo::Failure (a full disk, for example).
  void Append(const QByteArray& bytes);
  // Empties the file, for a server that sends the whole file again.
  void Clear();
  // Writes the file to the disk and gives it the name `name` in its folder, or the first
  // free of "name (2)", "name (3)", ...: the file system decides, so a file that appears
  // meanwhile is never replaced. Returns the file's new path. Throws harvelo::Failure.
  QString Finish(const QString& name);

 private:
  QString folder_;
  QFile file_;
};

}  // namespace haulbeam

#endif  // HARVELO_COMPANIONS_HAULBEAM_PART_FILE_H_
