#ifndef HARVELO_PLATFORM_LINUX_QT_CORE_QT_TEXT_H_
#define HARVELO_PLATFORM_LINUX_QT_CORE_QT_TEXT_H_

// The program's text to Qt's and back. Both are sequences of 16-bit units, so they convert
// unit for unit, unpaired surrogates and all.

#include <QString>

#include "text/text.h"

namespace harvelo {

inline QString ToQString(TextView text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline Text ToText(const QString& text) { return text.toStdU16String(); }

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_QT_CORE_QT_TEXT_H_
