#include "job_window.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace haulbeam {
namespace {

// Draws the progress column as a bar, with the model's text on it.
class ProgressDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionProgressBar bar;
    bar.rect = option.rect.adjusted(2, 2, -2, -2);
    bar.state = option.state | QStyle::State_Horizontal;
    bar.minimum = 0;
    bar.maximum = 100;
    bar.progress = std::max(0, index.data(JobTableModel::kPercentRole).toInt());
    bar.text = index.data(Qt::DisplayRole).toString();
    bar.textVisible = true;
    const QStyle* style = option.widget ? option.widget->style() : nullptr;
    if (style) style->drawControl(QStyle::CE_ProgressBar, &bar, painter, option.widget);
  }
};

}  // namespace

JobWindow::JobWindow(JobTableModel& model, std::function<bool()> may_close)
    : may_close_(std::move(may_close)) {
  setWindowTitle(QStringLiteral("Haulbeam"));
  table_.setModel(&model);
  table_.setItemDelegateForColumn(JobTableModel::kProgress, new ProgressDelegate(&table_));
  table_.setSelectionBehavior(QAbstractItemView::SelectRows);
  table_.setWordWrap(false);
  table_.verticalHeader()->hide();
  table_.horizontalHeader()->setStretchLastSection(true);  // the state, with its reason
  table_.setColumnWidth(JobTableModel::kName, 240);
  table_.setColumnWidth(JobTableModel::kProgress, 140);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(&table_);
  resize(840, 320);
}

void JobWindow::closeEvent(QCloseEvent* event) {
  if (may_close_()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void ShowAsAsked(QWidget& window, const QByteArray& style) {
  if (style == "2") return window.showMinimized();
  window.setAttribute(Qt::WA_ShowWithoutActivating, style == "4");
  window.show();
}

}  // namespace haulbeam
