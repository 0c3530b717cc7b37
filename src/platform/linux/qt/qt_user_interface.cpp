#include "platform/linux/qt/qt_user_interface.h"

#include <unistd.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <cstdio>

namespace harvelo {
namespace {

QString ToQString(const Text& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

void ShowCriticalBox(const Text& prompt, const Text& title) {
  QMessageBox box(QMessageBox::Critical, ToQString(title), ToQString(prompt), QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);  // the text as given, line breaks and all
  // The user can select the text and copy it into a report.
  box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  box.exec();
}

// The main form: no controls, only there so that the user can end the program by
// closing it.
class MainForm : public QWidget {
 public:
  explicit MainForm(std::function<void()> on_close) : on_close_(std::move(on_close)) {
    setAttribute(Qt::WA_DeleteOnClose);
    resize(240, 120);
  }
  void Unload() {
    on_close_ = nullptr;
    close();
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    if (on_close_) on_close_();
    event->accept();
  }

 private:
  std::function<void()> on_close_;
};

class QtUserInterface : public UserInterface {
 public:
  void MessageBox(const Text& prompt, const Text& title) override {
    ShowCriticalBox(prompt, title);
  }

  void DoEvents() override { QCoreApplication::processEvents(); }

  void ShowMainForm(const Text& caption, std::function<void()> on_close) override {
    form_ = new MainForm(std::move(on_close));
    form_->setWindowTitle(ToQString(caption));
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
