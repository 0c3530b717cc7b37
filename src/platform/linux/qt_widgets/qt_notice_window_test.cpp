#include "platform/linux/qt_widgets/qt_notice_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "fakes/fake_browser.h"
#include "fakes/fake_user_interface.h"
#include "fakes/fake_window_system.h"
#include "fakes/recording_registry.h"
#include "platform/linux/qt_widgets/qt_test_app.h"
#include "run/no_pics_notice.h"
#include "settings/registry.h"

namespace harvelo {
namespace {

// Stops the test's end of the program before it reaches Qt's event handling.
struct EndCatcher : NoticeEvents {
  explicit EndCatcher(NoticeEvents& inner) : inner(inner) {}
  void OnLoad() override { inner.OnLoad(); }
  void OnCommand1Click() override {
    try {
      inner.OnCommand1Click();
    } catch (const ProgramEnded&) {
      ended = true;
    }
  }
  void OnUnload() override {
    try {
      inner.OnUnload();
    } catch (const ProgramEnded&) {
      ended = true;
    }
  }
  NoticeEvents& inner;
  bool ended = false;
};

class QtNoticeWindowTest : public ::testing::Test {
 protected:
  QtNoticeWindowTest() {
    TestApplication();
    state_.AttachedBrowser = std::make_shared<FakeWebBrowser>();
    window_ = NewQtNoticeWindow();
    notice_ = std::make_unique<NoPicsNotice>(*window_, windows_, registry_, ui_, state_);
    catcher_ = std::make_unique<EndCatcher>(*notice_);
    window_->Show(*catcher_);
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->objectName() == u"frmNoPics" && top->isVisible()) form_ = top;
    }
  }
  ~QtNoticeWindowTest() override { window_.reset(); }

  template <typename T>
  T* Control(const char* name) {
    return form_ ? form_->findChild<T*>(QString::fromLatin1(name)) : nullptr;
  }
  Text Stored() { return Registry(registry_).ReadSetting(kSettingsKey, u"dMsgNoPicsFound"); }

  FakeWindowSystem windows_;
  RecordingRegistry registry_;
  FakeUserInterface ui_;
  RunState state_;
  std::unique_ptr<NoticeWindow> window_;
  std::unique_ptr<NoPicsNotice> notice_;
  std::unique_ptr<EndCatcher> catcher_;
  QWidget* form_ = nullptr;
};

TEST_F(QtNoticeWindowTest, GivenTheNoticeShownWeShouldLayItOutAsTheFormIs) {
  ASSERT_NE(form_, nullptr);
  EXPECT_EQ(form_->windowTitle(), u"Harvelo - Quorvex");
  EXPECT_EQ(form_->size(), QSize(288, 120));
  EXPECT_EQ(form_->minimumSize(), form_->maximumSize());
  const Qt::WindowFlags flags = form_->windowFlags();
  EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  auto* command1 = Control<QPushButton>("Command1");
  auto* check1 = Control<QCheckBox>("Check1");
  auto* label1 = Control<QLabel>("Label1");
  ASSERT_TRUE(command1 && check1 && label1);
  EXPECT_EQ(command1->text(), u"OK");
  EXPECT_EQ(command1->geometry(), QRect(104, 48, 73, 25));
  EXPECT_EQ(check1->text(), u"Don't show this message again");
  EXPECT_EQ(check1->geometry(), QRect(8, 96, 233, 17));
  EXPECT_EQ(check1->checkState(), Qt::Unchecked);
  EXPECT_EQ(label1->text(), u"No files were found to download");
  EXPECT_EQ(label1->geometry(), QRect(8, 8, 265, 17));
  EXPECT_TRUE(label1->alignment() & Qt::AlignHCenter);
  EXPECT_EQ(form_->focusWidget(), command1);
  EXPECT_EQ(command1->nextInFocusChain(), check1);
}

TEST_F(QtNoticeWindowTest, GivenTheNoticeLoadedWeShouldMakeTheBrowserItsOwner) {
  EXPECT_NE(window_->hWnd(), 0);
  EXPECT_EQ(windows_.owner_[window_->hWnd()], 0x1234);
}

// However the notice is left, the program ends; only the box ticked and OK store "0".
class QtNoticeLeavingTest : public QtNoticeWindowTest,
                            public ::testing::WithParamInterface<std::tuple<bool, bool>> {};

TEST_P(QtNoticeLeavingTest, GivenTheBoxTickedOrNotAndOKOrCloseWeShouldStoreOnlyTickAndOK) {
  ASSERT_NE(form_, nullptr);
  const auto [tick, close] = GetParam();
  if (tick) QTest::mouseClick(Control<QCheckBox>("Check1"), Qt::LeftButton);
  EXPECT_EQ(window_->Check1Value(), tick ? vbChecked : vbUnchecked);
  close ? static_cast<void>(form_->close())
        : QTest::keyClick(Control<QPushButton>("Command1"), Qt::Key_Space);
  EXPECT_TRUE(catcher_->ended);
  EXPECT_EQ(Stored(), tick && !close ? u"0" : u"");
  if (close) {
    EXPECT_EQ(ui_.events_, (std::vector<std::string>{"unload main form", "end"}));
  }
}

INSTANTIATE_TEST_SUITE_P(Ways, QtNoticeLeavingTest,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

}  // namespace
}  // namespace harvelo
