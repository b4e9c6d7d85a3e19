// The yard in side view: tracks, junction, signs, the 60 car cells and their number rows.
#pragma once

#include <QImage>
#include <QMap>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <vector>

#include "scene/sceneview.h"

namespace kelvara::qt {

// Regions of the parts sheet, in the order of the sheet's table.
enum class Part {
  Curve,
  JunctionRoute1,
  JunctionRoute2,
  JointA,
  JointB,
  JointC,
  SignalStop,
  SignalLine1,
  SignalLine2,
  ShuntStop,
  ShuntProceed,
  Stopper,
  LeverRoute2,
  LeverRoute1,
};

// The 34 x 87 sheet every fixed piece and sign picture is copied from.
const QImage& PartsSheet();
QRect PartRect(Part part);

class YardView : public QWidget {
  Q_OBJECT

 public:
  explicit YardView(QWidget* parent = nullptr);

  // The junction and sign displays for a route: -1 initial, 0 all stop, 1 or 2.
  void SetSign(int state);
  // Puts a scene on the screen; cells whose bitmap did not change are not reloaded.
  void Show(const SceneView& scene, bool carNumGuide, bool lookCarNumber);
  // Pictures are decoded once a train and kept.
  void ForgetPictures() { pictures_.clear(); }

  // The departure run covers the yard: its car pictures at full view height, then one frame at a
  // time, each car copied one pixel left of its place and one pixel wider.
  void ShowRun(bool on, std::vector<QPixmap> pictures = {});
  void RunFrame(const std::vector<int>& left, const std::vector<int>& width);
  bool Running() const { return running_; }

  // Cell under a point of the widget, or -1.
  static int CellAt(QPoint p);
  static QRect CellRect(int index);

  // Display contents, for checking what the signs show.
  Part Display(int display) const { return displays_[static_cast<std::size_t>(display - 1)]; }

 signals:
  void cellClicked(int index);
  void cellDoubleClicked(int index);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  bool event(QEvent* e) override;

 private:
  const QPixmap& Picture(const std::string& file);

  std::array<Part, 5> displays_{Part::JunctionRoute1, Part::SignalStop, Part::ShuntStop, Part::ShuntStop,
                                Part::LeverRoute1};
  SceneView scene_;
  std::array<QPixmap, kCells> cellPictures_;
  bool guides_ = true;
  std::array<bool, kDumpLines> rowsShown_{true, true, true};
  QMap<QString, QPixmap> pictures_;
  bool running_ = false;
  std::vector<QPixmap> runPictures_;
  std::vector<int> runLeft_, runWidth_;
};

}  // namespace kelvara::qt
