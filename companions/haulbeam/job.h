#ifndef HARVELO_COMPANIONS_HAULBEAM_JOB_H_
#define HARVELO_COMPANIONS_HAULBEAM_JOB_H_

// One download that Harvelo asked for.

#include <QString>
#include <QUrl>

namespace haulbeam {

struct Job {
  QUrl url;        // with its character references decoded
  QString folder;  // absolute, ending in "/"
  QString origin;  // the page the address came from, decoded as `url`; may be empty
  QString group;   // the run's group number, "g999"; empty when Harvelo does not group
  QString order;   // the address's place on its page, "07"; empty with the group
};

}  // namespace haulbeam

#endif  // HARVELO_COMPANIONS_HAULBEAM_JOB_H_
