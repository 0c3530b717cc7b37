#ifndef HARVELO_COMPANIONS_HAULBEAM_FINISHED_LINE_H_
#define HARVELO_COMPANIONS_HAULBEAM_FINISHED_LINE_H_

// What Haulbeam prints on standard output for each job that has ended, for scripts:
//   saved<TAB>group<TAB>order<TAB>/path/of/the/file<TAB>address
//   failed<TAB>group<TAB>order<TAB>reason<TAB>address
// A field never holds a tab or a line break: "\" is written "\\", a tab "\t", a line feed
// "\n" and a carriage return "\r".

#include <QString>

#include "download_queue.h"

namespace haulbeam {

// The line for `status`, which has ended, with its line feed.
QString FinishedLine(const JobStatus& status);

}  // namespace haulbeam

#endif  // HARVELO_COMPANIONS_HAULBEAM_FINISHED_LINE_H_
