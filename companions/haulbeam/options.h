#ifndef HARVELO_COMPANIONS_HAULBEAM_OPTIONS_H_
#define HARVELO_COMPANIONS_HAULBEAM_OPTIONS_H_

// Haulbeam's command line. Harvelo starts it with none; people and scripts may add some.

#include <QStringList>
#include <chrono>
#include <optional>

#include "download_queue.h"

namespace haulbeam {

extern const char kHelp[];

struct Options {
  bool help = false;
  bool window = true;
  std::chrono::milliseconds end_after{std::chrono::seconds(10)};
  QueueSettings queue;
};

// The options in `arguments` (without the program's name), or nothing with `problem`
// saying what is wrong.
std::optional<Options> ParseOptions(const QStringList& arguments, QString& problem);

}  // namespace haulbeam

#endif  // HARVELO_COMPANIONS_HAULBEAM_OPTIONS_H_
