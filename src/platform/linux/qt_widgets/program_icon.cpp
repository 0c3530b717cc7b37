#include "platform/linux/qt_widgets/program_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace harvelo {

QIcon ProgramIcon(const QString& svg_file) {
  QSvgRenderer drawing(svg_file);
  QIcon icon;
  if (!drawing.isValid()) return icon;
  // Drawn here rather than by Qt's SVG icon plugin, so that the program links the SVG
  // library it needs and a missing plugin cannot leave its windows without an icon.
  for (const int side : {16, 22, 24, 32, 48, 64, 128}) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    drawing.render(&painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace harvelo
