#include "platform/linux/qt_widgets/qt_notice_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "fakes/fake_platform.h"
#include "run/no_pics_notice.h"
#include "settings/registry.h"
#include "support/widget_application.h"

namespace harvelo {
namespace {

// Stops the test's end of the program before it reaches Qt's event handling.
struct EndCatcher : NoticeEvents {
  explicit EndCatcher(NoticeEvents& inner) : inner(inner) {}
  void OnLoad() override { inner.OnLoad(); }
  void OnCommand1Click() override {
    Catch([&] { inner.OnCommand1Click(); });
  }
  void OnUnload() override {
    Catch([&] { inner.OnUnload(); });
  }
  void Catch(const std::function<void()>& event) {
    try {
      event();
    } catch (const ProgramEnded&) {
      ended = true;
    }
  }
  NoticeEvents& inner;
  bool ended = false;
};

// However the notice is left (the box ticked or not, OK or the window closed), the program
// ends; only the box ticked and OK store "0".
class QtNoticeWindowTest : public ::testing::TestWithParam<std::tuple<bool, bool>> {
 protected:
  QtNoticeWindowTest() {
    state_.AttachedBrowser = std::make_shared<FakeWebBrowser>();
    window_->Show(catcher_);
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->objectName() == u"frmNoPics" && top->isVisible()) form_ = top;
    }
  }
  ~QtNoticeWindowTest() override { window_.reset(); }  // before what its events reach

  QApplication& application_ = testing::WidgetApplication();  // before any widget
  FakeWindowSystem windows_;
  MemoryRegistry registry_;
  FakeUserInterface ui_;
  RunState state_;
  std::unique_ptr<NoticeWindow> window_ = NewQtNoticeWindow();
  NoPicsNotice notice_{*window_, windows_, registry_, ui_, state_};
  EndCatcher catcher_{notice_};
  QWidget* form_ = nullptr;
};

TEST_P(QtNoticeWindowTest, GivenTheNoticeShownWeShouldLayItOutAsTheFormIsAndStoreOnlyTickAndOK) {
  ASSERT_NE(form_, nullptr);
  EXPECT_EQ(form_->windowTitle(), u"Harvelo - Quorvex");
  EXPECT_EQ(form_->size(), QSize(288, 120));
  EXPECT_EQ(form_->minimumSize(), form_->maximumSize());
  EXPECT_EQ(form_->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                                    Qt::WindowCloseButtonHint),
            Qt::WindowCloseButtonHint);
  auto* command1 = form_->findChild<QPushButton*>("Command1");
  auto* check1 = form_->findChild<QCheckBox*>("Check1");
  auto* label1 = form_->findChild<QLabel*>("Label1");
  ASSERT_TRUE(command1 && check1 && label1);
  EXPECT_EQ(
      QStringList({command1->text(), check1->text(), label1->text()}),
      QStringList({"OK", "Don't show this message again", "No files were found to download"}));
  EXPECT_EQ(QList<QRect>({command1->geometry(), check1->geometry(), label1->geometry()}),
            QList<QRect>({{104, 48, 73, 25}, {8, 96, 233, 17}, {8, 8, 265, 17}}));
  EXPECT_TRUE(label1->alignment() & Qt::AlignHCenter);
  EXPECT_EQ(form_->focusWidget(), command1);
  EXPECT_EQ(command1->nextInFocusChain(), check1);
  EXPECT_NE(window_->hWnd(), 0);
  EXPECT_EQ(windows_.owner_[window_->hWnd()], 0x1234);  // the browser owns it

  const auto [tick, close] = GetParam();
  EXPECT_EQ(window_->Check1Value(), vbUnchecked);
  if (tick) QTest::mouseClick(check1, Qt::LeftButton);
  EXPECT_EQ(window_->Check1Value(), tick ? vbChecked : vbUnchecked);
  close ? static_cast<void>(form_->close()) : QTest::keyClick(command1, Qt::Key_Space);
  EXPECT_TRUE(catcher_.ended);
  EXPECT_EQ(Registry(registry_).ReadSetting(kSettingsKey, u"dMsgNoPicsFound"),
            tick && !close ? u"0" : u"");
  if (close) {
    EXPECT_EQ(ui_.events_, (std::vector<std::string>{"unload main form", "end"}));
  }
}

INSTANTIATE_TEST_SUITE_P(Ways, QtNoticeWindowTest,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

}  // namespace
}  // namespace harvelo
