#include "platform/linux/qt_widgets/qt_user_interface.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

#include "platform/failure.h"
#include "support/qt_application.h"

namespace harvelo {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
};

// Reads the modal box that is about to open, then presses its OK button.
void AnswerNextBox(SeenBox& seen) {
  QTimer::singleShot(50, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
    box->button(QMessageBox::Ok)->click();
  });
}

class QtUserInterfaceTest : public ::testing::Test {
 protected:
  QtUserInterfaceTest() { testing::TestApplication<QApplication>(); }
  std::unique_ptr<UserInterface> ui_ = NewQtUserInterface();
};

TEST_F(QtUserInterfaceTest, GivenAnErrorWeShouldShowACriticalBoxWithOnlyOkAndTheTextAsGiven) {
  SeenBox seen;
  AnswerNextBox(seen);

  ui_->MessageBox(u"Error: Could not attach to IE.\r\nPlease close all.\r\n", u"Harvelo");

  EXPECT_EQ(seen.title, "Harvelo");
  EXPECT_EQ(seen.text, "Error: Could not attach to IE.\r\nPlease close all.\r\n");
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.buttons, QStringList{"OK"});
}

TEST_F(QtUserInterfaceTest, GivenWaitingEventsWeShouldServeThemWhenYielding) {
  bool served = false;
  QTimer::singleShot(0, [&served] { served = true; });

  ui_->DoEvents();

  EXPECT_TRUE(served);
}

TEST_F(QtUserInterfaceTest, GivenTheMainFormWeShouldShowItsLineAndRunTheCloseHandlerOnClose) {
  int closes = 0;
  ui_->ShowMainForm(u"Harvelo", u"Nothing was found.", [&closes] { ++closes; });
  QWidget* form = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && window->windowTitle() == "Harvelo") form = window;
  }
  ASSERT_NE(form, nullptr);
  auto* line = form->findChild<QLabel*>();
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->text(), "Nothing was found.");

  form->close();

  EXPECT_EQ(closes, 1);
}

TEST_F(QtUserInterfaceTest, GivenTheMainFormUnloadedWeShouldNotRunTheCloseHandler) {
  int closes = 0;
  ui_->ShowMainForm(u"Harvelo", u"Nothing was found.", [&closes] { ++closes; });

  ui_->UnloadMainForm();

  EXPECT_EQ(closes, 0);
  for (QWidget* window : QApplication::topLevelWidgets()) {
    EXPECT_FALSE(window->isVisible() && window->windowTitle() == "Harvelo");
  }
}

TEST_F(QtUserInterfaceTest, GivenTheCloseHandlerFailingWeShouldReportItAndExitWithOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ui_->ShowMainForm(u"Harvelo", u"Nothing was found.",
                          [] { throw Failure(u"The channel is gone"); });
        SeenBox seen;
        AnswerNextBox(seen);
        for (QWidget* window : QApplication::topLevelWidgets()) {
          if (window->isVisible() && window->windowTitle() == "Harvelo") window->close();
        }
      },
      ::testing::ExitedWithCode(1), HasSubstr("Run-time error: The channel is gone\n"));
}

void SayWhenExitHandlersRun() { std::fputs("exit handler ran\n", stderr); }

TEST_F(QtUserInterfaceTest, GivenTheEndWeShouldLeaveAtOnceWithoutExitHandlers) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::atexit(SayWhenExitHandlersRun);
        ui_->End();
      },
      ::testing::ExitedWithCode(0), Not(HasSubstr("exit handler ran")));
}

TEST_F(QtUserInterfaceTest, GivenAnUnhandledFailureWeShouldNameItInABoxAndOnStandardError) {
  SeenBox seen;
  AnswerNextBox(seen);

  ::testing::internal::CaptureStderr();
  ReportUnhandledFailure(u"Object variable not set", u"Harvelo");
  const std::string written = ::testing::internal::GetCapturedStderr();

  EXPECT_THAT(written, ::testing::StartsWith("Run-time error: Object variable not set\n"));
  EXPECT_EQ(seen.text, "Run-time error: Object variable not set");
  EXPECT_EQ(seen.title, "Harvelo");
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
}

}  // namespace
}  // namespace harvelo
