#include "platform/linux/qt/program_icon.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "support/qt_application.h"

namespace harvelo {
namespace {

class ProgramIconTest : public ::testing::TestWithParam<const char*> {
 protected:
  ProgramIconTest() { testing::TestApplication<QApplication>(); }
};

TEST_P(ProgramIconTest, GivenAProgramsDrawingWeShouldPaintItAtEverySizeOpaqueInTheMiddle) {
  const QIcon icon = ProgramIcon(QStringLiteral(HARVELO_ICONS) + '/' + GetParam() + ".svg");

  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{16, 16}, {22, 22}, {24, 24}, {32, 32},
                                                 {48, 48}, {64, 64}, {128, 128}}));
  for (const QSize& size : icon.availableSizes()) {
    const QImage image = icon.pixmap(size).toImage();
    EXPECT_EQ(qAlpha(image.pixel(size.width() / 2, size.height() / 2)), 255) << size.width();
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramIconTest,
                         ::testing::Values("harvelo", "haulbeam", "tellora"));

TEST(ProgramIconFileTest, GivenAFileThatIsNoDrawingWeShouldGiveNoIcon) {
  testing::TestApplication<QApplication>();
  EXPECT_TRUE(ProgramIcon(QString::fromUtf8(__FILE__)).isNull());
}

}  // namespace
}  // namespace harvelo
