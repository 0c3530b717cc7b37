#ifndef HARVELO_PLATFORM_LINUX_QT_WIDGETS_QT_TEST_APP_H_
#define HARVELO_PLATFORM_LINUX_QT_WIDGETS_QT_TEST_APP_H_

#include <QApplication>

namespace harvelo {

// The one application object that widget tests need, made on first use. It is never
// destroyed: at exit the test input devices would be torn down after it.
inline QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "harvelo-widget-tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_QT_WIDGETS_QT_TEST_APP_H_
