#include "platform/linux/qt_widgets/qt_user_interface.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>

#include "platform/failure.h"
#include "support/widget_application.h"

namespace harvelo {
namespace {

using ::testing::HasSubstr;

// Reads the modal box that is about to open into `seen` (its title, text, icon and buttons, a
// line each), then presses its OK button.
void AnswerNextBox(QString& seen) {
  QTimer::singleShot(50, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen = box->windowTitle() + "|" + box->text() + "|" + QString::number(box->icon());
    for (QAbstractButton* button : box->buttons()) seen += "|" + button->text();
    box->button(QMessageBox::Ok)->click();
  });
}

// The shown main form, or nullptr.
QWidget* MainForm() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && window->windowTitle() == "Harvelo") return window;
  }
  return nullptr;
}

class QtUserInterfaceTest : public ::testing::Test {
 protected:
  QtUserInterfaceTest() {
    testing::WidgetApplication();
    GTEST_FLAG_SET(death_test_style, "threadsafe");
  }
  std::unique_ptr<UserInterface> ui_ = NewQtUserInterface();
};

TEST_F(QtUserInterfaceTest, GivenAnErrorOrAnUnhandledFailureWeShouldShowACriticalBoxWithOnlyOk) {
  QString seen;
  AnswerNextBox(seen);
  ui_->MessageBox(u"Error: Could not attach to IE.\r\nPlease close all.\r\n", u"Harvelo");
  EXPECT_EQ(seen, "Harvelo|Error: Could not attach to IE.\r\nPlease close all.\r\n|3|OK");

  AnswerNextBox(seen);
  ::testing::internal::CaptureStderr();
  ReportUnhandledFailure(u"Object variable not set", u"Harvelo");
  EXPECT_THAT(::testing::internal::GetCapturedStderr(),
              ::testing::StartsWith("Run-time error: Object variable not set\n"));
  EXPECT_EQ(seen, "Harvelo|Run-time error: Object variable not set|3|OK");
}

TEST_F(QtUserInterfaceTest, GivenWaitingEventsWeShouldServeThemWhenYielding) {
  bool served = false;
  QTimer::singleShot(0, [&served] { served = true; });
  ui_->DoEvents();
  EXPECT_TRUE(served);
}

TEST_F(QtUserInterfaceTest, GivenTheMainFormWeShouldShowItsLineAndRunTheHandlerOnCloseNotUnload) {
  for (const bool closed : {true, false}) {
    int closes = 0;
    ui_->ShowMainForm(u"Harvelo", u"Nothing was found.", [&closes] { ++closes; });
    ASSERT_NE(MainForm(), nullptr);
    ASSERT_NE(MainForm()->findChild<QLabel*>(), nullptr);
    EXPECT_EQ(MainForm()->findChild<QLabel*>()->text(), "Nothing was found.");
    closed ? static_cast<void>(MainForm()->close()) : ui_->UnloadMainForm();
    EXPECT_EQ(closes, closed ? 1 : 0);
    EXPECT_EQ(MainForm(), nullptr);
  }
}

TEST_F(QtUserInterfaceTest, GivenTheCloseHandlerFailingWeShouldReportItAndExitWithOne) {
  EXPECT_EXIT(
      {
        ui_->ShowMainForm(u"Harvelo", u"Nothing was found.",
                          [] { throw Failure(u"The channel is gone"); });
        QString seen;
        AnswerNextBox(seen);
        MainForm()->close();
      },
      ::testing::ExitedWithCode(1), HasSubstr("Run-time error: The channel is gone\n"));
}

void SayWhenExitHandlersRun() { std::fputs("exit handler ran\n", stderr); }

TEST_F(QtUserInterfaceTest, GivenTheEndWeShouldLeaveAtOnceWithoutExitHandlers) {
  EXPECT_EXIT(
      {
        std::atexit(SayWhenExitHandlersRun);
        ui_->End();
      },
      ::testing::ExitedWithCode(0), ::testing::Not(HasSubstr("exit handler ran")));
}

}  // namespace
}  // namespace harvelo
