#include "platform/linux/qt_widgets/qt_folder_browser.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>
#include <array>

#include "platform/failure.h"
#include "platform/linux/qt_core/qt_text.h"

namespace harvelo {

namespace {

using namespace Qt::Literals::StringLiterals;

constexpr int kPathRole = Qt::UserRole;
constexpr int kListedRole = Qt::UserRole + 1;

class QtFolderDialog : public FolderBrowseDialog {
 public:
  explicit QtFolderDialog(ShellFolders& shell) : shell_(shell) {}

  void SetOwnerWindow(WindowHandle owner) override { owner_ = owner; }
  void SetOption(FolderBrowseOption option, std::int32_t value) override {
    if (option >= kFoldersOnly && option <= kCentred) options_[option - 1] = value != 0;
  }
  void SetTitle(const Text& title) override { title_ = ToQString(title); }
  void SetInstructionText(const Text& text) override {
    instruction_ = ToQString(text).replace(u"\r\n"_s, u"\n"_s);
  }
  void SetSelectedFolderPath(const Text& path) override { selected_ = ToQString(path); }
  void SetRootFolderPath(const Text& path) override { root_ = ToQString(path); }

  bool Show() override {
    if (!qApp) throw Failure(u"The folder dialog needs the application's window system");
    Build();
    const bool confirmed = dialog_->exec() == QDialog::Accepted;
    QTreeWidgetItem* item = tree_->currentItem();
    chosen_ = item ? Reading(item) : QString();
    if (On(kEditBox) && confirmed && !edit_->text().isEmpty()) chosen_ = edit_->text();
    return confirmed;
  }

  Text SelectedFolderPath() override { return ToText(chosen_); }

 private:
  bool On(FolderBrowseOption option) const { return options_[option - 1]; }

  QString Desktop() const {
    return Folder(CSIDL_DESKTOPDIRECTORY, QDir::homePath() + u"/Desktop"_s);
  }
  QString Documents() const { return Folder(CSIDL_PERSONAL, QDir::homePath()); }
  QString Folder(std::int32_t number, const QString& fallback) const {
    const std::optional<Text> path = shell_.SpecialFolderPath(number);
    return path ? ToQString(*path) : fallback;
  }

  // How a tree item reads: the Desktop itself reads as "Desktop".
  QString Reading(QTreeWidgetItem* item) const {
    return item == desktop_ ? u"Desktop"_s : item->data(0, kPathRole).toString();
  }

  QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, const QString& name, const QString& path) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
    item->setText(0, name);
    item->setData(0, kPathRole, path);
    item->setChildIndicatorPolicy(QFileInfo(path).isDir() ? QTreeWidgetItem::ShowIndicator
                                                          : QTreeWidgetItem::DontShowIndicator);
    return item;
  }

  // Lists a folder's entries under its item the first time it is opened.
  void List(QTreeWidgetItem* item) {
    if (item->data(0, kListedRole).toBool()) return;
    item->setData(0, kListedRole, true);
    const QString path = item->data(0, kPathRole).toString();
    QDir::Filters filters = QDir::Dirs | QDir::NoDotAndDotDot;
    if (On(kShowFiles)) filters |= QDir::Files;
    for (const QFileInfo& entry :
         QDir(path).entryInfoList(filters, QDir::Name | QDir::DirsFirst | QDir::IgnoreCase)) {
      AddItem(item, entry.fileName(), entry.absoluteFilePath());
    }
    if (item->childCount() == 0) item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
  }

  // Opens the tree down to `path` under the top item that holds it most closely.
  QTreeWidgetItem* Reveal(const QString& path) {
    if (path.compare(u"Desktop"_s, Qt::CaseInsensitive) == 0) return desktop_;
    const QString clean = QDir::cleanPath(path);
    QTreeWidgetItem* best = nullptr;
    QString best_path;
    for (int i = 0; i < desktop_->childCount(); ++i) {
      QTreeWidgetItem* top = desktop_->child(i);
      const QString top_path = top->data(0, kPathRole).toString();
      const bool holds =
          clean == top_path || top_path == u"/"_s || clean.startsWith(top_path + u'/');
      if (holds && top_path.size() > best_path.size()) best = top, best_path = top_path;
    }
    if (!best) return nullptr;
    QTreeWidgetItem* item = best;
    const QString rest = clean.mid(best_path == u"/"_s ? 1 : best_path.size() + 1);
    for (const QString& part : rest.split(u'/', Qt::SkipEmptyParts)) {
      List(item);
      item->setExpanded(true);
      QTreeWidgetItem* next = nullptr;
      for (int i = 0; i < item->childCount() && !next; ++i) {
        if (item->child(i)->text(0) == part) next = item->child(i);
      }
      if (!next) return item;
      item = next;
    }
    return item;
  }

  void MakeNewFolder() {
    QTreeWidgetItem* parent = tree_->currentItem();
    if (!parent) return;
    const QDir folder(parent->data(0, kPathRole).toString());
    QString name = u"New Folder"_s;
    for (int n = 2; folder.exists(name); ++n) name = u"New Folder (%1)"_s.arg(n);
    if (!folder.mkdir(name)) {
      status_->setText(u"The folder could not be made here."_s);
      status_->show();
      return;
    }
    List(parent);
    parent->setExpanded(true);
    QTreeWidgetItem* item = AddItem(parent, name, folder.absoluteFilePath(name));
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    tree_->setCurrentItem(item);
    tree_->editItem(item);
  }

  // A new folder's name edited in place renames it on disk.
  void Renamed(QTreeWidgetItem* item) {
    if (!(item->flags() & Qt::ItemIsEditable)) return;
    const QString old_path = item->data(0, kPathRole).toString();
    const QFileInfo old_info(old_path);
    if (item->text(0) == old_info.fileName()) return;
    const QString new_path = old_info.dir().absoluteFilePath(item->text(0));
    if (!item->text(0).contains(u'/') && QDir().rename(old_path, new_path)) {
      item->setData(0, kPathRole, new_path);
    } else {
      const QSignalBlocker quiet(tree_);
      item->setText(0, old_info.fileName());
    }
    Selected();
  }

  void Selected() {
    QTreeWidgetItem* item = tree_->currentItem();
    const QString path = item ? item->data(0, kPathRole).toString() : QString();
    ok_->setEnabled(item && (!On(kFoldersOnly) || QFileInfo(path).isDir()));
    if (On(kStatusLine)) status_->setText(path);
    if (On(kEditBox)) edit_->setText(item ? Reading(item) : QString());
  }

  void Build() {
    dialog_ = std::make_unique<QDialog>();
    dialog_->setWindowTitle(title_);
    dialog_->setObjectName(u"FolderDialog"_s);
    auto* layout = new QVBoxLayout(dialog_.get());
    auto* instruction = new QLabel(instruction_);
    instruction->setObjectName(u"Instruction"_s);
    instruction->setTextFormat(Qt::PlainText);
    layout->addWidget(instruction);
    status_ = new QLabel;
    status_->setObjectName(u"Status"_s);
    status_->setVisible(On(kStatusLine));
    layout->addWidget(status_);
    tree_ = new QTreeWidget;
    tree_->setObjectName(u"Folders"_s);
    tree_->setHeaderHidden(true);
    tree_->setMinimumSize(320, 260);
    layout->addWidget(tree_);
    edit_ = new QLineEdit;
    edit_->setObjectName(u"Path"_s);
    edit_->setVisible(On(kEditBox));
    layout->addWidget(edit_);
    auto* buttons = new QHBoxLayout;
    auto* make = new QPushButton(u"Make New Folder"_s);
    make->setObjectName(u"MakeNewFolder"_s);
    make->setVisible(On(kNewFolderButton));
    make->setAutoDefault(false);
    buttons->addWidget(make);
    buttons->addStretch();
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = box->button(QDialogButtonBox::Ok);
    buttons->addWidget(box);
    layout->addLayout(buttons);

    // The top of the tree is the Desktop: its own folders, then the documents folder,
    // the home folder and the whole computer.
    const QString desktop = Desktop();
    desktop_ = AddItem(nullptr, u"Desktop"_s, desktop);
    desktop_->setData(0, kListedRole, true);
    // It always holds the places below, even where the desktop folder does not exist.
    desktop_->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    AddItem(desktop_, u"Documents"_s, Documents());
    AddItem(desktop_, u"Home"_s, QDir::homePath());
    AddItem(desktop_, u"Computer"_s, u"/"_s);
    for (const QFileInfo& entry : QDir(desktop).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                              QDir::Name | QDir::IgnoreCase)) {
      AddItem(desktop_, entry.fileName(), entry.absoluteFilePath());
    }
    desktop_->setExpanded(true);

    QObject::connect(tree_, &QTreeWidget::itemExpanded,
                     [this](QTreeWidgetItem* item) { List(item); });
    QObject::connect(tree_, &QTreeWidget::currentItemChanged, [this] { Selected(); });
    QObject::connect(tree_, &QTreeWidget::itemChanged,
                     [this](QTreeWidgetItem* item) { Renamed(item); });
    QObject::connect(make, &QPushButton::clicked, [this] { MakeNewFolder(); });
    QObject::connect(box, &QDialogButtonBox::accepted, dialog_.get(), &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog_.get(), &QDialog::reject);

    // The documents folder's namespace name stands for the documents folder.
    QString start = selected_;
    const QString documents_name = ToQString(kDocumentsNamespace);
    if (start.startsWith(documents_name)) start = Documents() + start.mid(documents_name.size());
    QTreeWidgetItem* initial = Reveal(start.isEmpty() ? root_ : start);
    tree_->setCurrentItem(initial ? initial : desktop_);
    Selected();
    tree_->setFocus();

    Own();
  }

  // The browser window owns the dialog: it stays above it and goes with it.
  void Own() {
    if (owner_ == 0 || QGuiApplication::platformName() != u"xcb"_s) return;
    dialog_->winId();
    owner_window_.reset(QWindow::fromWinId(static_cast<WId>(static_cast<std::uint32_t>(owner_))));
    if (!owner_window_) return;
    QWindow* owner = owner_window_.get();
    dialog_->windowHandle()->setTransientParent(owner);
    // Where the owner's place is not known, the window manager places the dialog, as it
    // places every transient window: centred on its owner.
    if (On(kCentred) && !owner->geometry().isEmpty()) {
      dialog_->adjustSize();
      QRect frame = dialog_->frameGeometry();
      frame.moveCenter(owner->geometry().center());
      dialog_->move(frame.topLeft());
    }
  }

  ShellFolders& shell_;
  WindowHandle owner_ = 0;
  std::array<bool, 6> options_{};
  QString title_;
  QString instruction_;
  QString selected_;
  QString root_;
  QString chosen_;
  // The owner outlives the dialog that refers to it.
  std::unique_ptr<QWindow> owner_window_;
  std::unique_ptr<QDialog> dialog_;
  QTreeWidget* tree_ = nullptr;
  QTreeWidgetItem* desktop_ = nullptr;
  QLabel* status_ = nullptr;
  QLineEdit* edit_ = nullptr;
  QPushButton* ok_ = nullptr;
};

class QtFolderBrowser : public FolderBrowseComponent {
 public:
  explicit QtFolderBrowser(ShellFolders& shell) : shell_(shell) {}
  std::unique_ptr<FolderBrowseDialog> Create() override {
    return std::make_unique<QtFolderDialog>(shell_);
  }

 private:
  ShellFolders& shell_;
};

}  // namespace

std::unique_ptr<FolderBrowseComponent> NewQtFolderBrowser(ShellFolders& shell) {
  return std::make_unique<QtFolderBrowser>(shell);
}

}  // namespace harvelo
