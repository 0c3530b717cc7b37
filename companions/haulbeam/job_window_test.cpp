#include "job_window.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "finished_line.h"
#include "support/qt_application.h"

namespace haulbeam {
namespace {

using namespace Qt::Literals::StringLiterals;

// Passes the queue's news on to the model, as the program does.
struct ModelObserver : QueueObserver {
  void JobAdded(int row) override { model->RowAdded(row); }
  void JobChanged(int row) override { model->RowChanged(row); }
  void JobEnded(int row) override { model->RowChanged(row); }
  JobTableModel* model = nullptr;
};

TEST(JobWindowTest, GivenAQueuedJobWeShouldShowItsRowInTheWindowAsTheStyleAsks) {
  harvelo::testing::TestApplication<QApplication>();
  QNetworkAccessManager network;
  ModelObserver observer;
  DownloadQueue queue{network, {.downloads_at_once = 0}, observer};  // jobs stay queued
  JobTableModel model{queue};
  observer.model = &model;
  queue.Add({QUrl(u"http://h/a%20b.jpg"_s), u"/d/"_s, {}, u"g999"_s, u"07"_s});
  ASSERT_EQ(model.rowCount(), 1);
  const auto cell = [&](int column) { return model.index(0, column).data().toString(); };
  EXPECT_EQ(cell(JobTableModel::kName), u"a b.jpg"_s);
  EXPECT_EQ(cell(JobTableModel::kGroup), u"g999 / 07"_s);
  EXPECT_EQ(cell(JobTableModel::kProgress), QString());
  EXPECT_EQ(cell(JobTableModel::kState), u"queued"_s);

  const struct {
    QByteArray style;
    bool minimised;
    bool without_focus;
  } kCases[] = {{"4", false, true}, {"2", true, false}, {"", false, false}, {"1", false, false}};
  for (const auto& c : kCases) {
    JobWindow window(model, [] { return true; });
    ShowAsAsked(window, c.style);
    EXPECT_EQ(window.windowTitle(), u"Haulbeam"_s);
    EXPECT_TRUE(window.isVisible()) << c.style.constData();
    EXPECT_EQ(window.isMinimized(), c.minimised) << c.style.constData();
    EXPECT_EQ(window.testAttribute(Qt::WA_ShowWithoutActivating), c.without_focus);
  }
}

TEST(FinishedLineTest, GivenFieldsWithTabsAndBreaksWeShouldKeepOneLineOfFiveFields) {
  JobStatus status;
  status.job = {QUrl(u"http://h/a.jpg"_s), u"/d/"_s, {}, {}, {}};
  status.state = JobStatus::State::kFailed;
  status.result = u"why\tnot\\\r\n"_s;
  EXPECT_EQ(FinishedLine(status), u"failed\t\t\twhy\\tnot\\\\\\r\\n\thttp://h/a.jpg\n"_s);
}

}  // namespace
}  // namespace haulbeam
