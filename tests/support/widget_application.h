#ifndef HARVELO_TESTS_SUPPORT_WIDGET_APPLICATION_H_
#define HARVELO_TESTS_SUPPORT_WIDGET_APPLICATION_H_

#include <QApplication>

namespace harvelo::testing {

// The one application object of a widget test program, made on first use. It is never
// destroyed: at exit the input devices that QTest made would be torn down after it.
inline QApplication& WidgetApplication() {
  static int argc = 1;
  static char name[] = "harvelo-widget-tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_WIDGET_APPLICATION_H_
