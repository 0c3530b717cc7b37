#ifndef HARVELO_TESTS_SUPPORT_QT_APPLICATION_H_
#define HARVELO_TESTS_SUPPORT_QT_APPLICATION_H_

// The one Qt application object of a test program, made on first use: QCoreApplication
// for the network, QApplication for widgets. Every later call answers the same object.

namespace harvelo::testing {

template <typename Application>
Application& TestApplication() {
  static int argc = 1;
  static char name[] = "harvelo_tests";
  static char* argv[] = {name, nullptr};
  static Application application(argc, argv);
  return application;
}

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_QT_APPLICATION_H_
