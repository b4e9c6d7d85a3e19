#include "qt/frmdatainstall.h"

#include <QAccessible>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QStringList>
#include <QUrl>

#include "data/install.h"
#include "model/game.h"
#include "qt/applynational.h"
#include "services/national.h"

namespace kelvara::qt {

frmDataInstall::frmDataInstall(QWidget* parent, const National& texts, const std::string& dataFolder,
                               DataInstall& install)
    : QDialog(parent), install_(install), folder_(QString::fromStdString(dataFolder)), texts_(texts) {
  setObjectName("frmDataInstall");
  setProperty("Tag", "120");
  setAcceptDrops(true);
  auto* grid = new QGridLayout(this);
  std::string text;
  for (int id = 6400; id <= 6490; id += 10) text += (text.empty() ? "" : "\n\n") + texts.Text(id);
  lblMsg = new QLabel(QString::fromStdString(text), this);
  lblMsg->setObjectName("lblMsg");
  lblMsg->setWordWrap(true);
  lblMsg->setFixedWidth(520);
  lblMsg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // Never smaller than the instructions need at their width, in either language.
  grid->setSizeConstraint(QLayout::SetMinimumSize);
  grid->addWidget(lblMsg, 0, 0, 1, 2);
  auto* label2 = new QLabel(this);
  label2->setObjectName("label2");
  SetTag(label2, "89");
  grid->addWidget(label2, 1, 0);
  lblDataFolder = new QLabel(folder_, this);
  lblDataFolder->setObjectName("lblDataFolder");
  lblDataFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
  grid->addWidget(lblDataFolder, 1, 1);
  lblDone = new QLabel(this);
  lblDone->setObjectName("lblDone");
  lblDone->setWordWrap(true);
  lblDone->setFixedWidth(520);
  lblDone->hide();
  grid->addWidget(lblDone, 2, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  auto* open = new QPushButton(this);
  open->setObjectName("cmdOpenFolder");
  SetTag(open, "121");
  auto* close = new QPushButton(this);
  close->setObjectName("cmdCancel");
  SetTag(close, "32");
  buttons->addWidget(open);
  buttons->addStretch();
  buttons->addWidget(close);
  grid->addLayout(buttons, 3, 0, 1, 2);
  connect(open, &QPushButton::clicked, this, [this] {
    if (openFolder) {
      openFolder(folder_);
    } else {
      QDesktopServices::openUrl(QUrl::fromLocalFile(folder_));
    }
  });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  ApplyNational(*this, texts);
}

void frmDataInstall::dragEnterEvent(QDragEnterEvent* e) {
  // Only a list of files, and only to be copied: the move is ours to make safely.
  if (e->mimeData()->hasUrls()) {
    e->setDropAction(Qt::CopyAction);
    e->accept();
  } else {
    e->ignore();
  }
}

void frmDataInstall::dragMoveEvent(QDragMoveEvent* e) {
  if (e->mimeData()->hasUrls()) {
    e->setDropAction(Qt::CopyAction);
    e->accept();
  } else {
    e->ignore();
  }
}

void frmDataInstall::dropEvent(QDropEvent* e) {
  if (!e->mimeData()->hasUrls()) return;
  e->setDropAction(Qt::CopyAction);
  e->accept();
  QStringList installed;
  for (const QUrl& url : e->mimeData()->urls()) {
    if (url.isLocalFile() && install_.DropFile(url.toLocalFile().toStdString())) installed << url.fileName();
  }
  // A drop that worked says so, and where the new train is chosen.
  if (installed.isEmpty()) return;
  const QString menu = QString::fromStdString(PlainCaption(texts_.GetCaptionText(8)) + " > " + PlainCaption(texts_.GetCaptionText(28)));
  lblDone->setText(QString::fromStdString(texts_.Text(7890)).arg(installed.join(", "), menu));
  lblDone->show();
  lblDone->setAccessibleName(lblDone->text());
  QAccessibleEvent shown(lblDone, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&shown);
}

}  // namespace kelvara::qt
