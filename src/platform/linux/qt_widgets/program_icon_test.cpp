#include "platform/linux/qt_widgets/program_icon.h"

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

TEST_P(ProgramIconTest, GivenAProgramsDrawingWeShouldPaintItAtEverySize) {
  const QIcon icon = ProgramIcon(QStringLiteral(HARVELO_ICONS "/%1.svg").arg(GetParam()));

  const QList<QSize> sizes{{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}};
  ASSERT_EQ(icon.availableSizes(), sizes);
  for (const QSize& size : sizes) {  // the middle of every drawing is covered
    EXPECT_EQ(qAlpha(icon.pixmap(size).toImage().pixel(size.width() / 2, size.height() / 2)), 255)
        << size.width();
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramIconTest,
                         ::testing::Values("harvelo", "haulbeam", "tellora"));

TEST(ProgramIconFileTest, GivenAFileThatIsNoDrawingWeShouldGiveNoIcon) {
  testing::TestApplication<QApplication>();
  EXPECT_TRUE(ProgramIcon(QStringLiteral(__FILE__)).isNull());
}

}  // namespace
}  // namespace harvelo
