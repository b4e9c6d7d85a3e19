#include "qt/yardview.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "qt/pictures.h"

namespace kelvara::qt {

namespace {

constexpr int kSlot = 24;  // a cell: three characters of the window font
const QColor kRail(128, 0, 0);
const QColor kSheetRail(131, 0, 0);
const QColor kDisplayBack(255, 255, 0);
const QColor kGuide(0, 128, 0);
const QColor kNumbers(255, 255, 0);
const QColor kHintMark(255, 170, 0);

struct Segment {
  int x1, y1, x2, y2;
};
constexpr Segment kTrack[] = {{0, 72, 576, 72},    {92, 192, 595, 192}, {90, 264, 595, 264}, {576, 104, 576, 72},
                              {32, 104, 576, 104}, {13, 119, 13, 189},  {17, 119, 17, 189},  {14, 194, 39, 219},
                              {19, 193, 42, 216},  {52, 217, 85, 195},  {53, 221, 91, 195},  {44, 224, 80, 260},
                              {50, 224, 86, 260}};

// Left edge of each line's first cell, the y of its guide and number rows, and its rail.
constexpr int kLineX[] = {56, 104, 104};
constexpr int kGuideY[] = {8, 128, 272};
constexpr int kRowY[] = {24, 144, 216};
constexpr int kRailY[] = {72, 192, 264};

// The five sign displays: position and size.
constexpr QRect kDisplays[] = {QRect(39, 216, 15, 8), QRect(560, 52, 11, 20), QRect(92, 172, 11, 20),
                               QRect(92, 244, 11, 20), QRect(25, 248, 33, 13)};

// One signal head: grey body, two lamps side by side (stop) or diagonal (proceed).
void SignalHead(QPainter& p, int x, int y, bool diagonal) {
  const QColor lit(254, 254, 127), dark(127, 127, 127);
  p.fillRect(x + 1, y, 9, 9, QColor(200, 200, 200));
  p.fillRect(x + 2, y + 1, 7, 7, QColor(40, 40, 40));
  if (diagonal) {
    p.fillRect(x + 2, y + 1, 3, 3, lit);
    p.fillRect(x + 6, y + 5, 3, 3, lit);
    p.fillRect(x + 6, y + 1, 3, 3, dark);
    p.fillRect(x + 2, y + 5, 3, 3, dark);
  } else {
    p.fillRect(x + 2, y + 3, 3, 3, lit);
    p.fillRect(x + 6, y + 3, 3, 3, lit);
  }
}

void Lever(QPainter& p, int y, bool right) {
  p.setBrush(QColor(60, 60, 60));
  p.setPen(QColor(30, 30, 30));
  p.drawChord(QRect(8, y + 5, 17, 14), 0, 180 * 16);
  p.setPen(QPen(QColor(200, 200, 200), 2));
  p.drawLine(16, y + 11, right ? 28 : 4, y + 2);
  p.fillRect(right ? 27 : 2, y + 1, 3, 3, QColor(220, 40, 40));
}

QImage MakeSheet() {
  QImage sheet(34, 87, QImage::Format_RGB32);
  sheet.fill(Qt::black);
  QPainter p(&sheet);
  p.setPen(kSheetRail);
  // Curve: from the connecting track at the top right down to the left descent at the bottom left.
  p.drawArc(QRect(-1, 0, 36, 30), 90 * 16, 90 * 16);
  p.drawArc(QRect(3, 4, 28, 24), 90 * 16, 90 * 16);
  // Junction, points towards line 1 (up-right) and towards line 2 (down-right).
  p.drawLine(19, 7, 26, 7);
  p.drawLine(26, 7, 33, 0);
  p.drawLine(26, 7, 30, 7);
  p.drawLine(19, 15, 26, 15);
  p.drawLine(26, 15, 33, 15);
  p.drawLine(26, 15, 30, 12);
  // Joints.
  p.drawLine(0, 0 + 16, 4, 4 + 16);
  p.drawLine(4, 16, 6, 20);
  p.drawLine(7, 19, 18, 19);
  p.drawLine(7, 18, 11, 16);
  p.drawLine(18, 16, 30, 16);
  p.drawLine(20, 17, 22, 19);
  // Route signal heads with their route indicators.
  for (int i = 0; i < 3; ++i) {
    const int x = 11 * i;
    SignalHead(p, x, 21, i > 0);
    p.fillRect(x + 2, 31, 7, 8, QColor(40, 40, 40));
    const QColor on(255, 255, 128);
    if (i == 1) {
      p.fillRect(x + 2, 31, 7, 1, on);  // top bar
      p.fillRect(x + 8, 31, 1, 8, on);  // right stroke
    } else if (i == 2) {
      p.fillRect(x + 5, 31, 1, 8, on);  // middle stroke
    }
    p.fillRect(x + 5, 39, 1, 2, QColor(120, 120, 120));
  }
  // Shunting signs on their posts.
  SignalHead(p, 0, 41, false);
  SignalHead(p, 11, 41, true);
  p.fillRect(5, 50, 1, 11, QColor(150, 150, 150));
  p.fillRect(16, 50, 1, 11, QColor(150, 150, 150));
  // Car stopper.
  p.fillRect(24, 42, 6, 8, QColor(127, 0, 0));
  p.fillRect(22, 49, 10, 1, QColor(127, 0, 0));
  // Turnout lever thrown left (route 2) and right (route 1).
  Lever(p, 61, false);
  Lever(p, 74, true);
  return sheet;
}

}  // namespace

const QImage& PartsSheet() {
  static const QImage sheet = MakeSheet();
  return sheet;
}

QRect PartRect(Part part) {
  switch (part) {
    case Part::Curve: return {0, 0, 18, 15};
    case Part::JunctionRoute1: return {19, 0, 15, 8};
    case Part::JunctionRoute2: return {19, 8, 15, 8};
    case Part::JointA: return {0, 16, 7, 5};
    case Part::JointB: return {7, 16, 12, 4};
    case Part::JointC: return {18, 16, 13, 4};
    case Part::SignalStop: return {0, 21, 11, 20};
    case Part::SignalLine1: return {11, 21, 11, 20};
    case Part::SignalLine2: return {22, 21, 11, 20};
    case Part::ShuntStop: return {0, 41, 11, 20};
    case Part::ShuntProceed: return {11, 41, 11, 20};
    case Part::Stopper: return {22, 41, 10, 10};
    case Part::LeverRoute2: return {0, 61, 33, 13};
    case Part::LeverRoute1: return {0, 74, 33, 13};
  }
  return {};
}

YardView::YardView(QWidget* parent) : QWidget(parent) {
  setObjectName("picView");
  setAttribute(Qt::WA_OpaquePaintEvent);
  setProperty("ControlType", "PictureBox");
  setProperty("KeepFont", true);
  numberFont_ = QFont("Monospace");
  numberFont_.setStyleHint(QFont::TypeWriter);
  numberFont_.setPixelSize(12);
  SetZoom(1);
}

void YardView::SetZoom(int zoom) {
  zoom_ = std::clamp(zoom, 1, 3);
  const double s = Scale();
  setFixedSize(static_cast<int>(std::ceil(kDesignWidth * s - 1e-6)), static_cast<int>(std::ceil(kDesignHeight * s - 1e-6)));
  update();
}

double YardView::Scale() const {
  const double ratio = devicePixelRatioF();
  return zoom_ / (ratio > 0 ? ratio : 1.0);
}

void YardView::SetNumberFont(const QFont& font) {
  numberFont_ = font;
  numberFont_.setPixelSize(13);
  numbers_.clear();
  Changed();
}

void YardView::SetGuides(bool on) {
  if (guides_ == on) return;
  guides_ = on;
  Changed();
}

void YardView::Changed() {
  design_ = QImage();
  update();
}

const QImage& YardView::Number(const std::string& text, const QColor& colour) const {
  const QString key = QString::fromStdString(text) + colour.name();
  auto it = numbers_.find(key);
  if (it == numbers_.end()) {
    QImage image(kSlot, 17, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setFont(numberFont_);
    p.setPen(colour);
    p.drawText(image.rect(), Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(text));
    it = numbers_.insert(key, image);
  }
  return *it;
}

QRect YardView::CellRect(int index) {
  const int line = index / kVisible, k = index % kVisible;
  return {kLineX[line] + kSlot * k, kRailY[line] - kSlot, kSlot, kSlot};
}

int YardView::CellAt(QPoint p) {
  for (int i = 0; i < kCells; ++i) {
    if (CellRect(i).contains(p)) return i;
  }
  return -1;
}

int YardView::CellUnder(QPoint widgetPoint) const {
  const QPointF design = QPointF(widgetPoint) / Scale();
  return CellAt(QPoint(static_cast<int>(std::floor(design.x())), static_cast<int>(std::floor(design.y()))));
}

void YardView::SetSign(int state) {
  auto& d = displays_;
  switch (state) {
    case -1:
      d[0] = Part::JunctionRoute1;
      d[4] = Part::LeverRoute1;
      break;
    case 0:
      d[1] = Part::SignalStop;
      d[2] = Part::ShuntStop;
      d[3] = Part::ShuntStop;
      break;
    case 1:
      d = {Part::JunctionRoute1, Part::SignalLine1, Part::ShuntProceed, Part::ShuntStop, Part::LeverRoute1};
      break;
    case 2:
      d = {Part::JunctionRoute2, Part::SignalLine2, Part::ShuntStop, Part::ShuntProceed, Part::LeverRoute2};
      break;
    default:
      return;
  }
  Changed();
}

const QImage& YardView::Cell(const std::string& file) {
  const QString key = QString::fromStdString(file);
  auto it = cells_.find(key);
  if (it == cells_.end()) {
    // Squeezed into the square cell, the aspect not kept, smoothly: the pictures are large.
    it = cells_.insert(key, LoadShrunkPicture(file, kSlot, kSlot));
  }
  return *it;
}

void YardView::ForgetPictures() {
  cells_.clear();
  cellPictures_ = {};
  scene_ = SceneView{};
  Changed();
}

bool YardView::Show(const SceneView& scene, bool carNumGuide, bool lookCarNumber) {
  bool changed = guides_ != carNumGuide;
  guides_ = carNumGuide;
  for (int i = 0; i < kCells; ++i) {
    const auto at = static_cast<std::size_t>(i);
    if (scene.cells[at].file == scene_.cells[at].file && !(cellPictures_[at].isNull() && !scene.cells[at].file.empty())) {
      continue;
    }
    cellPictures_[at] = scene.cells[at].file.empty() ? QImage() : Cell(scene.cells[at].file);
    changed = true;
  }
  for (int line = 0; line < kDumpLines; ++line) {
    const auto at = static_cast<std::size_t>(line);
    // A row is shown again only when its text changes while the setting is on.
    if (scene.rows[at] != scene_.rows[at]) {
      rowsShown_[at] = lookCarNumber;
      changed = true;
    }
  }
  changed = changed || scene.marked != scene_.marked;
  scene_ = scene;
  if (changed) Changed();
  return changed;
}

void YardView::ShowRun(bool on, std::vector<QPixmap> pictures) {
  running_ = on;
  // The run covers the whole yard, buttons included.
  if (on) {
    raise();
  } else {
    lower();
  }
  runPictures_ = std::move(pictures);
  runLeft_.clear();
  runWidth_.clear();
  update();
}

void YardView::RunFrame(const std::vector<int>& left, const std::vector<int>& width) {
  runLeft_ = left;
  runWidth_ = width;
  repaint();
}

QImage YardView::DesignPicture() const {
  QImage image(kDesignWidth, kDesignHeight, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter p(&image);
  p.setPen(kRail);
  for (const Segment& s : kTrack) p.drawLine(s.x1, s.y1, s.x2, s.y2);
  const QImage& sheet = PartsSheet();
  p.drawImage(QPoint(14, 104), sheet, PartRect(Part::Curve));
  p.drawImage(QPoint(13, 189), sheet, PartRect(Part::JointA));
  p.drawImage(QPoint(84, 193), sheet, PartRect(Part::JointB));
  p.drawImage(QPoint(80, 260), sheet, PartRect(Part::JointC));
  p.drawImage(QPoint(585, 182), sheet, PartRect(Part::Stopper));
  p.drawImage(QPoint(585, 254), sheet, PartRect(Part::Stopper));
  for (std::size_t d = 0; d < 5; ++d) {
    p.fillRect(kDisplays[d], kDisplayBack);
    p.drawImage(kDisplays[d].topLeft(), sheet, PartRect(displays_[d]));
  }
  for (int i = 0; i < kCells; ++i) {
    const QImage& pic = cellPictures_[static_cast<std::size_t>(i)];
    if (!pic.isNull()) p.drawImage(CellRect(i).topLeft(), pic);
  }
  // A hint's units: a yellow bar under each, clear of the pictures and the number rows.
  for (int i = 0; i < kCells; ++i) {
    if (!scene_.marked[static_cast<std::size_t>(i)]) continue;
    const QRect cell = CellRect(i);
    p.fillRect(QRect(cell.left() + 2, cell.bottom() + 3, cell.width() - 4, 3), kHintMark);
  }
  for (int line = 0; line < kDumpLines; ++line) {
    auto drawRow = [&](const std::string& text, int y, const QColor& colour) {
      for (int k = 0; k < kVisible && static_cast<std::size_t>(3 * k + 2) <= text.size(); ++k) {
        p.drawImage(QPoint(kLineX[line] + kSlot * k, y), Number(text.substr(3 * static_cast<std::size_t>(k), 2), colour));
      }
    };
    if (guides_) drawRow(NumberGuide(line), kGuideY[line], kGuide);
    if (rowsShown_[static_cast<std::size_t>(line)]) drawRow(scene_.rows[static_cast<std::size_t>(line)], kRowY[line], kNumbers);
  }
  return image;
}

void YardView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::black);
  const double s = Scale();
  if (running_) {
    // Pictures come at the zoom already, in device pixels; places are in design pixels.
    for (std::size_t i = 0; i < runLeft_.size() && i < runPictures_.size(); ++i) {
      if (runLeft_[i] >= kDesignWidth) continue;
      const QPixmap& picture = runPictures_[i];
      const int w = runWidth_[i] + 1;
      p.drawPixmap(QRectF((runLeft_[i] - 1) * s, 0, w * s, kDesignHeight * s), picture,
                   QRectF(0, 0, w * zoom_, kDesignHeight * zoom_));
    }
    return;
  }
  // Whole-number zoom in device pixels, nearest neighbour: the pixel art stays sharp.
  if (design_.isNull()) design_ = DesignPicture();
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  p.drawImage(QRectF(0, 0, kDesignWidth * s, kDesignHeight * s), design_);
}

void YardView::mousePressEvent(QMouseEvent* e) {
  const int cell = CellUnder(e->position().toPoint());
  if (cell >= 0 && e->button() == Qt::LeftButton && !running_) emit cellClicked(cell);
}

void YardView::mouseDoubleClickEvent(QMouseEvent* e) {
  const int cell = CellUnder(e->position().toPoint());
  if (cell >= 0 && !running_) emit cellDoubleClicked(cell);
}

bool YardView::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(e);
    const int cell = running_ ? -1 : CellUnder(help->pos());
    if (cell >= 0 && !scene_.cells[static_cast<std::size_t>(cell)].tip.empty()) {
      QToolTip::showText(help->globalPos(), QString::fromStdString(scene_.cells[static_cast<std::size_t>(cell)].tip), this);
    } else {
      QToolTip::hideText();
      e->ignore();
    }
    return true;
  }
  return QWidget::event(e);
}

}  // namespace kelvara::qt
