#include "platform/linux/scanner/qt_notice_window.h"

#include <xcb/xcb.h>

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <memory>

namespace harvelo {

namespace {

using namespace Qt::Literals::StringLiterals;

// Sizes are the form's twips at 15 to a pixel. A fixed dialog frame with a close box only;
// as a transient of the browser window it has no taskbar entry, goes with its owner, and
// the window manager centres it on that owner.
class NoticeWidget : public QWidget {
 public:
  NoticeWidget()
      : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                             Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(u"frmNoPics"_s);
    setWindowTitle(u"Harvelo - Quorvex"_s);
    setFixedSize(288, 120);
    command1_ = new QPushButton(u"OK"_s, this);
    command1_->setObjectName(u"Command1"_s);
    command1_->setGeometry(104, 48, 73, 25);
    command1_->setDefault(true);
    check1_ = new QCheckBox(u"Don't show this message again"_s, this);
    check1_->setObjectName(u"Check1"_s);
    check1_->setGeometry(8, 96, 233, 17);
    label1_ = new QLabel(u"No files were found to download"_s, this);
    label1_->setObjectName(u"Label1"_s);
    label1_->setGeometry(8, 8, 265, 17);
    label1_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setTabOrder(command1_, check1_);
    QObject::connect(command1_, &QPushButton::clicked, [this] {
      pressed_ = true;
      if (events_) events_->OnCommand1Click();
    });
  }

  void Open(NoticeEvents& events) {
    events_ = &events;
    winId();  // the window exists, and has its handle, before it first appears
    events.OnLoad();
    KeepOwner();
    show();
    command1_->setFocus();
  }

  int Check1Value() const {
    switch (check1_->checkState()) {
      case Qt::Checked: return vbChecked;
      case Qt::PartiallyChecked: return vbGrayed;
      default: return vbUnchecked;
    }
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->accept();
    if (!pressed_ && events_) events_->OnUnload();
  }

 private:
  // Qt writes WM_TRANSIENT_FOR afresh whenever it shows a window, from the window's
  // transient parent: the owner that the load handler gave the window through the window
  // system is handed to Qt, so that the window keeps it.
  void KeepOwner() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) return;  // without X11 there is no owner to keep
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, static_cast<xcb_window_t>(winId()),
                         XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 0, 1);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    if (reply == nullptr) return;
    if (xcb_get_property_value_length(reply) == 4) {
      const auto owner = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
      owner_.reset(QWindow::fromWinId(owner));
      windowHandle()->setTransientParent(owner_.get());
    }
    std::free(reply);
  }

  std::unique_ptr<QWindow> owner_;
  QPushButton* command1_;
  QCheckBox* check1_;
  QLabel* label1_;
  NoticeEvents* events_ = nullptr;
  bool pressed_ = false;
};

class QtNoticeWindow : public NoticeWindow {
 public:
  void Show(NoticeEvents& events) override { widget_.Open(events); }
  WindowHandle hWnd() override { return static_cast<WindowHandle>(widget_.winId()); }
  int Check1Value() override { return widget_.Check1Value(); }

 private:
  NoticeWidget widget_;
};

}  // namespace

std::unique_ptr<NoticeWindow> NewQtNoticeWindow() { return std::make_unique<QtNoticeWindow>(); }

}  // namespace harvelo
