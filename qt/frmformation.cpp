#include "qt/frmformation.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScrollBar>

#include "base/paths.h"
#include "data/bmp.h"
#include "qt/applynational.h"
#include "qt/pictures.h"

namespace kelvara::qt {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QPixmap Picture(const Unit& u) {
  const QImage image = LoadPicture(u.file);
  if (image.isNull() || u.width <= 0) return {};
  return QPixmap::fromImage(image.scaled(u.width, kUnitHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

}  // namespace

QSize UnitSize(int w, int h) {
  const PictureSize s = ScaleToHeight(w, h, kUnitHeight);
  return {s.width, s.height};
}

QString HoverText(const Unit& u) { return Q(GetBaseName(u.file) + " : " + u.comment); }

// ---- the make-up table -----------------------------------------------------------------------------

frmTrainMakuUpTable::frmTrainMakuUpTable(QWidget* parent) : QDialog(parent) {
  setObjectName("frmTrainMakuUpTable");
  setProperty("Tag", "30");
  txtTxtBox = new QPlainTextEdit(this);
  txtTxtBox->setObjectName("txtTxtBox");
  txtTxtBox->setReadOnly(true);
  txtTxtBox->setLineWrapMode(QPlainTextEdit::NoWrap);
  // The numbers are padded with blanks: a fixed-width font keeps the columns.
  txtTxtBox->setFont(GameFont(QString::fromLatin1(kFixedFont)));
  txtTxtBox->setProperty("KeepFont", true);
  resize(360, 320);
}

void frmTrainMakuUpTable::Fill(const std::string& text) { txtTxtBox->setPlainText(Q(text).replace("\r\n", "\n")); }

void frmTrainMakuUpTable::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  txtTxtBox->setGeometry(rect());
}

// ---- the made-up train -------------------------------------------------------------------------------

frmTrain::frmTrain(QWidget* parent) : QDialog(parent) {
  setObjectName("frmTrain");
  setProperty("Tag", "40");
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);
  setAutoFillBackground(true);
  HScroll1 = new QScrollBar(Qt::Horizontal, this);
  HScroll1->setObjectName("HScroll1");
  HScroll1->setProperty("Tag", "0");
  connect(HScroll1, &QScrollBar::valueChanged, this, &frmTrain::Scroll);
}

int frmTrain::StripWidth() const { return HScroll1->property("Tag").toInt(); }

void frmTrain::Fill(const std::vector<Unit>& units) {
  while (imgCar.size() < units.size()) {
    auto* cell = new QLabel(this);
    cell->setObjectName(QString("imgCar_%1").arg(imgCar.size()));
    cell->setProperty("ControlType", "Image");
    cell->setScaledContents(true);
    imgCar.push_back(cell);
  }
  int x = 0;
  for (std::size_t i = 0; i < imgCar.size(); ++i) {
    QLabel* cell = imgCar[i];
    // Cells a longer train needed earlier show nothing after a shorter one.
    cell->setVisible(i < units.size());
    if (i >= units.size()) continue;
    cell->setPixmap(Picture(units[i]));
    cell->setToolTip(HoverText(units[i]));
    cell->setAccessibleName(units[i].name.empty() ? HoverText(units[i]) : Q(units[i].name));
    cell->setGeometry(x, 0, units[i].width, kUnitHeight);
    cell->setProperty("Tag", x);
    x += units[i].width;
  }
  HScroll1->setProperty("Tag", x);
  HScroll1->setValue(0);
  resizeEvent(nullptr);
}

void frmTrain::resizeEvent(QResizeEvent* e) {
  if (e != nullptr) QDialog::resizeEvent(e);
  const int h = HScroll1->sizeHint().height();
  HScroll1->setGeometry(0, height() - h, width(), h);
  const int max = std::max(StripWidth() - width(), 1);
  HScroll1->setMaximum(max);
  HScroll1->setPageStep(max >= 10 ? max / 10 : 1);
  // One click on an arrow: half the window's height, as far as the strip asks for steps at all.
  HScroll1->setSingleStep(max >= 10 ? static_cast<int>(std::nearbyint(height() / 2.0)) : 1);
}

void frmTrain::Scroll(int value) {
  for (QLabel* cell : imgCar) {
    if (cell->isVisible()) cell->move(cell->property("Tag").toInt() - value, 0);
  }
}

// ---- one car -------------------------------------------------------------------------------------------

frmCar::frmCar(QWidget* parent) : QDialog(parent) {
  setObjectName("frmCar");
  setProperty("Tag", "33");
  imgCar = new QLabel(this);
  imgCar->setObjectName("imgCar");
  imgCar->setProperty("ControlType", "Image");
  imgCar->setScaledContents(true);
}

void frmCar::Fill(const Unit& unit) {
  imgCar->setGeometry(0, 0, unit.width, kUnitHeight);
  imgCar->setPixmap(Picture(unit));
  imgCar->setToolTip(HoverText(unit));
  imgCar->setAccessibleName(unit.name.empty() ? HoverText(unit) : Q(unit.name));
  setFixedSize(std::max(unit.width, 1), kUnitHeight);
}

}  // namespace kelvara::qt
