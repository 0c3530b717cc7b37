#include "platform/linux/qt_widgets/program_icon.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "support/widget_application.h"

namespace harvelo {
namespace {

TEST(ProgramIconTest, GivenAProgramsDrawingWeShouldPaintItAtEverySizeAndNoIconForOtherFiles) {
  testing::WidgetApplication();
  const QList<QSize> sizes{{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}};
  for (const char* program : {"harvelo", "haulbeam", "tellora"}) {
    const QIcon icon = ProgramIcon(QStringLiteral(HARVELO_ICONS "/%1.svg").arg(program));
    ASSERT_EQ(icon.availableSizes(), sizes) << program;
    for (const QSize& size : sizes) {  // the middle of every drawing is covered
      EXPECT_EQ(qAlpha(icon.pixmap(size).toImage().pixel(size.width() / 2, size.height() / 2)), 255)
          << program << " " << size.width();
    }
  }
  EXPECT_TRUE(ProgramIcon(QStringLiteral(__FILE__)).isNull());
}

}  // namespace
}  // namespace harvelo
