#include "qt/yardview.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "qt/pictures.h"
#include "qt/yardaccess.h"

namespace kelvara::qt {

namespace {

constexpr int kSlot = 24;  // a cell: three characters of the window font
const QColor kRail(128, 0, 0);
const QColor kSheetRail(131, 0, 0);
const QColor kDisplayBack(255, 255, 0);
const QColor kGuide(0, 128, 0);
const QColor kNumbers(255, 255, 0);
const QColor kHintMark(255, 170, 0);
const QColor kCursor(0, 255, 255);

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

const std::vector<YardKey>& YardKeys() {
  static const std::vector<YardKey> keys = [] {
    using K = QKeySequence;
    std::vector<YardKey> k{
        {{K(Qt::Key_Left)}, YardKeyAction::Left, 7700},     {{K(Qt::Key_Right)}, YardKeyAction::Right, 7700},
        {{K(Qt::Key_Up)}, YardKeyAction::Up, 7710},         {{K(Qt::Key_Down)}, YardKeyAction::Down, 7710},
        {{K(Qt::Key_Home)}, YardKeyAction::LineStart, 7720}, {{K(Qt::Key_End)}, YardKeyAction::LineEnd, 7720},
        // The main Enter only: a screen reader keeps the keypad's Enter (Orca's Where Am I).
        {{K(Qt::Key_Return)}, YardKeyAction::Pull, 7730},
        {{K(Qt::Key_B), K(Qt::Key_Backspace)}, YardKeyAction::Back, 7740},
    };
    YardKey digits{{}, YardKeyAction::Digit, 7750};
    for (int d = 0; d <= 9; ++d) digits.keys.push_back(K(Qt::Key_0 + d));
    k.push_back(digits);
    return k;
  }();
  return keys;
}

YardView::YardView(QWidget* parent) : QWidget(parent) {
  setObjectName("picView");
  // Reached with Tab only: a click on a car keeps doing what it always did, focus included.
  setFocusPolicy(Qt::TabFocus);
  accessSettle_.setSingleShot(true);
  accessSettle_.setInterval(250);
  connect(&accessSettle_, &QTimer::timeout, this, &YardView::FlushAccess);
  QCoreApplication::instance()->installEventFilter(this);
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

QRect YardView::DisplayRect(int display) {
  return display >= 1 && display <= 5 ? kDisplays[display - 1] : QRect();
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
  NotifySigns(*this);
}

const QImage& YardView::Cell(const std::string& file) {
  const QString key = QString::fromStdString(file);
  auto it = cells_.find(key);
  if (it == cells_.end()) {
    // Squeezed into the square cell, the aspect not kept, smoothly: the pictures are large.
    it = cells_.insert(key, LoadShrunkPicture(file, kSlot, kSlot));
    if (it->isNull() && onUndrawable) onUndrawable(file);
  }
  return *it;
}

void YardView::ForgetPictures() {
  cells_.clear();
  cellPictures_ = {};
  scene_ = SceneView{};
  Changed();
}

std::string YardView::SlotText(int cell) const {
  if (cell < 0 || cell >= kCells) return " .";
  const std::string& row = scene_.rows[static_cast<std::size_t>(cell / kVisible)];
  const auto at = static_cast<std::size_t>(3 * (cell % kVisible));
  return at + 2 <= row.size() ? row.substr(at, 2) : " .";
}

int YardView::LocoUnits() const {
  int units = 0;
  for (int cell = 0; cell < kCells; ++cell) units += SlotText(cell).starts_with('L') ? 1 : 0;
  return units;
}

void YardView::SetCursor(int cell) {
  if (cell < 0 || cell >= kCells || cell == cursor_) return;
  cursor_ = cell;
  update();
  NotifyCursor(*this);
  emit cursorMoved(cell);
}

void YardView::Announce(const QString& text) {
  FlushAccess();  // what the yard is now, before what is said of it
  announcement_ = text;
  ++announcements_;
  NotifyAnnouncement(*this);
  emit announced(text);
}

void YardView::ForgetAnnouncement() {
  announcement_.clear();
  NotifyAnnouncement(*this);
}

void YardView::AccessChanged(const std::array<std::string, kDumpLines>& rowsBefore) {
  // Told once the yard has settled, not at every frame of a move: a screen reader queries each
  // change it hears of, and one that hears hundreds a second drops what matters (the announcement
  // of what the move did) as a deluge.
  if (!accessPending_) accessRows_ = rowsBefore;
  accessPending_ = true;
  accessSettle_.start();
}

void YardView::FlushAccess() {
  accessSettle_.stop();
  if (!accessPending_) return;
  accessPending_ = false;
  std::vector<int> cells;
  for (int cell = 0; cell < kCells; ++cell) {
    const auto line = static_cast<std::size_t>(cell / kVisible), at = static_cast<std::size_t>(3 * (cell % kVisible));
    if (accessRows_[line].size() < at + 2 || accessRows_[line].compare(at, 2, SlotText(cell)) != 0) cells.push_back(cell);
  }
  if (!cells.empty()) NotifySlots(*this, cells);
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
  const auto rowsBefore = scene_.rows;
  scene_ = scene;
  if (rowsBefore != scene_.rows) AccessChanged(rowsBefore);
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
  // The keyboard cursor, while the keyboard is here: a frame two design pixels wide around the
  // cell, drawn over the picture so that moving it redraws nothing else.
  if (hasFocus() && cursorShown_ && cursor_ >= 0) {
    const QRectF cell = QRectF(CellRect(cursor_)).adjusted(-1, -1, 1, 1);
    const QRectF frame(cell.x() * s, cell.y() * s, cell.width() * s, cell.height() * s);
    const double w = 2 * s;
    p.fillRect(QRectF(frame.left(), frame.top(), frame.width(), w), kCursor);
    p.fillRect(QRectF(frame.left(), frame.bottom() - w, frame.width(), w), kCursor);
    p.fillRect(QRectF(frame.left(), frame.top(), w, frame.height()), kCursor);
    p.fillRect(QRectF(frame.right() - w, frame.top(), w, frame.height()), kCursor);
  }
}

void YardView::keyPressEvent(QKeyEvent* e) {
  // Plain keys only (the keypad's as well): with Alt, Ctrl or Shift they belong to the window.
  const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
  const YardKey* found = nullptr;
  if (mods == Qt::NoModifier) {
    for (const YardKey& key : YardKeys()) {
      for (const QKeySequence& k : key.keys) {
        if (k[0].key() == static_cast<Qt::Key>(e->key())) found = &key;
      }
    }
  }
  if (found == nullptr || running_) {
    QWidget::keyPressEvent(e);
    return;
  }
  e->accept();
  if (!cursorShown_) {
    // The yard had the keyboard from the window's activation: the first key shows where it is.
    ShowCursor();
    if (found->action != YardKeyAction::Pull && found->action != YardKeyAction::Back && found->action != YardKeyAction::Digit) return;
  }
  const int cell = std::max(cursor_, 0), line = cell / kVisible, k = cell % kVisible;
  auto go = [this](int l, int slot) { SetCursor(std::clamp(l, 0, kDumpLines - 1) * kVisible + std::clamp(slot, 0, kVisible - 1)); };
  switch (found->action) {
    case YardKeyAction::Left: go(line, k - 1); break;
    case YardKeyAction::Right: go(line, k + 1); break;
    case YardKeyAction::Up: go(line - 1, k); break;
    case YardKeyAction::Down: go(line + 1, k); break;
    case YardKeyAction::LineStart: go(line, 0); break;
    case YardKeyAction::LineEnd: go(line, kVisible - 1); break;
    case YardKeyAction::Pull:
      if (cursor_ >= 0) emit pullRequested(cursor_);
      break;
    case YardKeyAction::Back: emit backRequested(); break;
    case YardKeyAction::Digit: emit digitTyped(QChar('0' + (e->key() - Qt::Key_0))); break;
  }
}

void YardView::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  // Given to the yard with the window's activation, the keyboard shows nothing until a key is
  // pressed here: the mouse player sees the yard as ever.
  // Qt says "Tab" as well when it hands on the focus of a button switched off during a move:
  // only a Tab the player pressed counts.
  const Qt::FocusReason why = e->reason();
  const bool tabbed = (why == Qt::TabFocusReason || why == Qt::BacktabFocusReason) && tabPressed_;
  tabPressed_ = false;
  if (cursorShown_ || tabbed || why == Qt::OtherFocusReason || why == Qt::ShortcutFocusReason) ShowCursor();
}

bool YardView::eventFilter(QObject* watched, QEvent* e) {
  switch (e->type()) {
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(e)->key();
      if (key == Qt::Key_Tab || key == Qt::Key_Backtab) tabPressed_ = true;
      break;
    }
    case QEvent::MouseButtonPress:
      tabPressed_ = false;
      break;
    case QEvent::FocusIn:
      if (watched != this) tabPressed_ = false;
      break;
    default:
      break;
  }
  return false;
}

void YardView::ShowCursor() {
  cursorShown_ = true;
  if (cursor_ < 0) {
    // First on the locomotive: where every move starts.
    int first = 0;
    for (int cell = kCells - 1; cell >= 0; --cell) {
      if (SlotText(cell).starts_with('L')) first = cell;
    }
    SetCursor(first);
  } else {
    NotifyCursor(*this);
    emit cursorMoved(cursor_);
  }
  update();
}

void YardView::focusOutEvent(QFocusEvent* e) {
  QWidget::focusOutEvent(e);
  update();
}

void YardView::mousePressEvent(QMouseEvent* e) {
  const int cell = CellUnder(e->position().toPoint());
  if (cell >= 0 && e->button() == Qt::LeftButton && !running_) {
    // The cursor follows the mouse, quietly: the click's own guide is the number box.
    if (cell != cursor_) {
      cursor_ = cell;
      update();
    }
    emit cellClicked(cell);
  }
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
