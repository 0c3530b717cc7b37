#include "platform/linux/qt_widgets/qt_user_interface.h"

#include <unistd.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>

#include "platform/linux/qt_core/qt_text.h"

namespace harvelo {
namespace {

void ShowCriticalBox(const Text& prompt, const Text& title) {
  QMessageBox box(QMessageBox::Critical, ToQString(title), ToQString(prompt), QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);  // the text as given, line breaks and all
  // The user can select the text and copy it into a report.
  box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  box.exec();
}

// The main form: no controls, one line of text, only there so that the user can end the
// program by closing it; a small window, as large as its line. A failure of its close
// handler is one that nothing handles: it is reported and the program exits, as it cannot
// travel through Qt's event loop.
class MainForm : public QWidget {
 public:
  MainForm(const Text& caption, const Text& line, std::function<void()> on_close)
      : caption_(caption), on_close_(std::move(on_close)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(ToQString(caption));
    auto* label = new QLabel(ToQString(line), this);
    label->setTextFormat(Qt::PlainText);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addWidget(label);
  }
  void Unload() {
    on_close_ = nullptr;
    close();
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    try {
      if (on_close_) on_close_();
    } catch (const std::exception& failure) {
      ReportUnhandledFailure(FromUtf8(failure.what()), caption_);
      std::fflush(nullptr);
      _exit(1);
    }
    event->accept();
  }

 private:
  Text caption_;
  std::function<void()> on_close_;
};

class QtUserInterface : public UserInterface {
 public:
  void MessageBox(const Text& prompt, const Text& title) override {
    ShowCriticalBox(prompt, title);
  }

  void DoEvents() override { QCoreApplication::processEvents(); }

  void ShowMainForm(const Text& caption, const Text& line,
                    std::function<void()> on_close) override {
    form_ = new MainForm(caption, line, std::move(on_close));
    form_->show();
  }

  void UnloadMainForm() override {
    if (form_) form_->Unload();
  }

  [[noreturn]] void End() override {
    std::fflush(nullptr);
    _exit(0);  // no destructor, no exit handler, nothing saved
  }

 private:
  QPointer<MainForm> form_;
};

}  // namespace

std::unique_ptr<UserInterface> NewQtUserInterface() { return std::make_unique<QtUserInterface>(); }

void ReportUnhandledFailure(const Text& description, const Text& title) {
  const Text report = u"Run-time error: " + description;
  std::fprintf(stderr, "%s\n", ToUtf8(report).c_str());
  ShowCriticalBox(report, title);
}

}  // namespace harvelo
