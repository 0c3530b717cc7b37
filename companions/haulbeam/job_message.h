#ifndef HARVELO_COMPANIONS_HAULBEAM_JOB_MESSAGE_H_
#define HARVELO_COMPANIONS_HAULBEAM_JOB_MESSAGE_H_

// The job message that Harvelo sends under message number 401:
// "<DataURL>U</DataURL><DataPath>P</DataPath><DataOrgin>O</DataOrgin>
//  <DataGroup>G</DataGroup><DataOrder>K</DataOrder>" on one line, G and K possibly empty.

#include <QString>
#include <optional>

#include "job.h"

namespace haulbeam {

inline constexpr int kJobMessageNumber = 401;

// The job in `message`, or nothing with `problem` saying why. Harvelo inserts the values
// without escaping, so each value runs to the first closing tag of its own name after its
// opening tag, and the tags must follow one another in the order above with nothing
// between them. The address must not be empty and the folder must be absolute; a folder
// without the closing "/" gets one.
std::optional<Job> ParseJobMessage(const QString& message, QString& problem);

}  // namespace haulbeam

#endif  // HARVELO_COMPANIONS_HAULBEAM_JOB_MESSAGE_H_
