#include "platform/linux/qt_widgets/qt_notice_window.h"

#include <xcb/xcb.h>

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <QWindow>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace harvelo {

namespace {

using namespace Qt::Literals::StringLiterals;

// The Motif window manager hints, as window managers read them: flags, functions,
// decorations, input mode, status.
constexpr std::uint32_t kMotifFunctions = 1, kMotifDecorations = 2;
constexpr std::uint32_t kMotifMove = 4, kMotifClose = 32;
constexpr std::uint32_t kMotifBorder = 2, kMotifTitle = 8, kMotifMenu = 16;

// The connection to the X server, or null without X11.
xcb_connection_t* XConnection() {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, std::string_view name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data());
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
  const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

// Sizes are the form's twips at 15 to a pixel. A fixed dialog frame with a close box only;
// as a transient of the browser window it goes with its owner, and the window manager
// centres it on that owner.
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
    AskForFixedFrame();
    show();
    command1_->setFocus();
  }

  int Check1Value() const {
    switch (check1_->checkState()) {
      case Qt::Checked:
        return vbChecked;
      case Qt::PartiallyChecked:
        return vbGrayed;
      default:
        return vbUnchecked;
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
    xcb_connection_t* connection = XConnection();
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

  // Qt asks the window manager for a resizable frame whatever the size limits; the notice
  // asks for a fixed border with a title and a close box, to be moved and closed only,
  // and for no taskbar entry. Window managers read both when the window is mapped, and Qt
  // keeps the state that it finds on the window, so both are written before it shows.
  void AskForFixedFrame() {
    xcb_connection_t* connection = XConnection();
    if (connection == nullptr) return;
    const auto window = static_cast<xcb_window_t>(winId());
    const xcb_atom_t motif = Atom(connection, "_MOTIF_WM_HINTS");
    const std::uint32_t hints[5] = {kMotifFunctions | kMotifDecorations, kMotifMove | kMotifClose,
                                    kMotifBorder | kMotifTitle | kMotifMenu, 0, 0};
    if (motif != XCB_ATOM_NONE) {
      xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, motif, motif, 32, 5, hints);
    }
    const xcb_atom_t state = Atom(connection, "_NET_WM_STATE");
    const xcb_atom_t skip_taskbar = Atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    if (state != XCB_ATOM_NONE && skip_taskbar != XCB_ATOM_NONE) {
      xcb_change_property(connection, XCB_PROP_MODE_APPEND, window, state, XCB_ATOM_ATOM, 32, 1,
                          &skip_taskbar);
    }
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
