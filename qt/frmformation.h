// The formation outside the yard: the make-up table, the made-up train and one car's picture.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QScrollBar;

namespace kelvara::qt {

// One unit of a formation: its bitmap, comment and picture size in the strip.
struct Unit {
  std::string file;
  std::string comment;
  int width = 0;  // at the display height of 60
  std::string name;  // for a screen reader: what the unit is and where it stands ("car 3 of 12: ...")
};

// The display height of a unit's picture, and a bitmap of w x h shown at it.
inline constexpr int kUnitHeight = 60;
QSize UnitSize(int w, int h);
// "<base name> : <comment>".
QString HoverText(const Unit& u);

class frmTrainMakuUpTable : public QDialog {
  Q_OBJECT

 public:
  explicit frmTrainMakuUpTable(QWidget* parent);
  // The numbered list, locomotive units from 0.
  void Fill(const std::string& text);
  QPlainTextEdit* txtTxtBox = nullptr;

 protected:
  void resizeEvent(QResizeEvent* e) override;
};

// The whole train as one strip of pictures, scrolled sideways.
class frmTrain : public QDialog {
  Q_OBJECT

 public:
  explicit frmTrain(QWidget* parent);
  void Fill(const std::vector<Unit>& units);
  // The strip's width in pixels (HScroll1's Tag).
  int StripWidth() const;
  QScrollBar* HScroll1 = nullptr;
  std::vector<QLabel*> imgCar;

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  void Scroll(int value);
};

class frmCar : public QDialog {
  Q_OBJECT

 public:
  explicit frmCar(QWidget* parent);
  void Fill(const Unit& unit);
  QLabel* imgCar = nullptr;
};

}  // namespace kelvara::qt
