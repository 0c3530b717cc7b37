#ifndef HARVELO_PLATFORM_LINUX_QT_WIDGETS_PROGRAM_ICON_H_
#define HARVELO_PLATFORM_LINUX_QT_WIDGETS_PROGRAM_ICON_H_

#include <QIcon>
#include <QString>

namespace harvelo {

// A program's icon, drawn from its SVG drawing at the sizes that window managers and
// taskbars take (16 to 128 pixels), for QApplication::setWindowIcon, which gives it to
// every window. Null when `svg_file` (a path or a ":/" resource) is no SVG drawing. A
// QGuiApplication must exist.
QIcon ProgramIcon(const QString& svg_file);

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_QT_WIDGETS_PROGRAM_ICON_H_
