#ifndef HARVELO_COMPANIONS_HAULBEAM_JOB_WINDOW_H_
#define HARVELO_COMPANIONS_HAULBEAM_JOB_WINDOW_H_

// Haulbeam's window: the table of jobs, with a progress bar in each row.

#include <QByteArray>
#include <QTableView>
#include <QWidget>
#include <functional>

#include "job_table_model.h"

namespace haulbeam {

class JobWindow : public QWidget {
 public:
  // `model` must remain live while the window is. `may_close` is asked when the user closes
  // the window; false keeps it open.
  JobWindow(JobTableModel& model, std::function<bool()> may_close);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QTableView table_;
  std::function<bool()> may_close_;
};

// Shows `window` as the window style in `style` asks (HARVELO_WINDOW_STYLE): "4" in its
// normal size and place without taking the focus, "2" minimised, anything else normally.
void ShowAsAsked(QWidget& window, const QByteArray& style);

}  // namespace haulbeam

#endif  // HARVELO_COMPANIONS_HAULBEAM_JOB_WINDOW_H_
