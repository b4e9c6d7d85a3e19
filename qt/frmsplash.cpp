#include "qt/frmsplash.h"

#include <QGuiApplication>
#include <QScreen>

#include <QGridLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace kelvara::qt {

frmSplash::frmSplash(const QIcon& icon, const SplashTexts& texts, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::WindowStaysOnTopHint) {
  setObjectName("frmSplash");
  setAttribute(Qt::WA_DeleteOnClose);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(24, 26, 34));
  pal.setColor(QPalette::WindowText, QColor(236, 236, 236));
  setPalette(pal);
  setAutoFillBackground(true);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(24, 20, 24, 20);
  grid->setHorizontalSpacing(20);
  auto label = [&](const char* name, const QString& text, int pointSize, int row, Qt::Alignment align) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    QFont f = l->font();
    if (pointSize > 0) f.setPointSize(pointSize);
    l->setFont(f);
    l->setAlignment(align);
    grid->addWidget(l, row, 1);
    return l;
  };
  auto* logo = new QLabel(this);
  logo->setObjectName("imgLogo");
  logo->setPixmap(icon.pixmap(96, 96));
  grid->addWidget(logo, 0, 0, 4, 1, Qt::AlignTop);
  label("lblCompany", texts.company, 0, 0, Qt::AlignLeft);
  // Bold by its font: a style sheet would drop the window's light text colour for the style's own.
  QLabel* name = label("lblProductName", texts.productName, 26, 1, Qt::AlignLeft);
  QFont bold = name->font();
  bold.setBold(true);
  name->setFont(bold);
  label("lblVersion", texts.version, 0, 2, Qt::AlignLeft);
  label("lblPlatform", texts.platform, 0, 3, Qt::AlignLeft);
  auto* brand = new QLabel(texts.brand, this);
  brand->setObjectName("lblBrand");
  grid->addWidget(brand, 4, 0, Qt::AlignBottom);
  label("lblCopyright", texts.copyright, 0, 4, Qt::AlignRight | Qt::AlignBottom);
  setWindowIcon(icon);
  adjustSize();
  // In the middle of the screen from the start: a box shown over it before the window manager
  // has placed it would otherwise centre itself on the screen's corner.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void frmSplash::keyPressEvent(QKeyEvent*) {
  close();
  emit closedByPlayer();
}

void frmSplash::mousePressEvent(QMouseEvent*) {
  close();
  emit closedByPlayer();
}

}  // namespace kelvara::qt
