// The built program, as Harvelo starts it.

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

namespace {

struct Outcome {
  int exit_code;
  QString err;
};

Outcome RunTellora(const QStringList& arguments) {
  QProcess tellora;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("DISPLAY"));  // errors go to the standard error only
  environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  tellora.setProcessEnvironment(environment);
  tellora.start(QStringLiteral(HARVELO_TELLORA), arguments);
  if (!tellora.waitForFinished(30000)) return {-1, QStringLiteral("did not end")};
  return {tellora.exitCode(), QString::fromUtf8(tellora.readAllStandardError())};
}

TEST(TelloraTest, GivenAWrongStartWeShouldSayWhyAndEndWithTwo) {
  const struct {
    QStringList arguments;
    const char* says;
  } cases[] = {
      {{}, "expected one argument from Harvelo"},
      {{QStringLiteral("a"), QStringLiteral("b")}, "expected one argument from Harvelo"},
      {{QStringLiteral("<wHWND>1</wHWND>")}, "unreadable argument: no </wHWND> before <FormName>"},
      {{QStringLiteral("<wHWND>1</wHWND><FormName>frmOther</FormName><URL>u</URL>"
                       "<ProgType>DL</ProgType><LoadingURL>u</LoadingURL>")},
       "no notice named \"frmOther\""},
  };
  for (const auto& c : cases) {
    const Outcome outcome = RunTellora(c.arguments);
    EXPECT_EQ(outcome.exit_code, 2) << c.says;
    EXPECT_TRUE(outcome.err.contains(QString::fromUtf8(c.says))) << outcome.err.toStdString();
  }
}

}  // namespace
