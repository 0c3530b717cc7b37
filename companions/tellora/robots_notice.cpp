#include "robots_notice.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace harvelo::tellora {

using namespace Qt::Literals::StringLiterals;

RobotsNotice::RobotsNotice(const NoticeArgument& argument)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint) {
  setObjectName(u"frmRobotExclude"_s);
  setWindowTitle(u"Harvelo - Quorvex"_s);
  auto* layout = new QVBoxLayout(this);
  auto* what = new QLabel(
      u"This page asks not to be followed, so Harvelo collected nothing from it."_s, this);
  what->setObjectName(u"what"_s);
  layout->addWidget(what);

  auto* address = new QLabel(QString::fromUtf8(argument.url), this);
  address->setObjectName(u"address"_s);
  address->setTextFormat(Qt::PlainText);
  address->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  address->setWordWrap(true);
  address->setMaximumWidth(560);
  layout->addWidget(address);

  auto* why = new QLabel(
      u"Harvelo takes a page with a robots \"nofollow\" tag when \"vObeyRobot\" is \"0\" in its "
      u"settings; a page with Harvelo's own exclusion tag, never."_s,
      this);
  why->setWordWrap(true);
  why->setMaximumWidth(560);
  layout->addWidget(why);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace harvelo::tellora
