// The yard in side view: tracks, junction, signs, the 60 car cells and their number rows; and,
// over it, the departure run.
#pragma once

#include <QFont>
#include <QImage>
#include <QKeySequence>
#include <QMap>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <array>
#include <vector>

#include "scene/sceneview.h"

namespace kelvara {
class ITexts;
}

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

// The yard's size at design scale: the window's client area above the status bar.
inline constexpr int kDesignWidth = 600;
inline constexpr int kDesignHeight = 386;

// What a key pressed on the yard does. The table below is both what the yard answers and what
// Help > Keyboard shortcuts lists.
enum class YardKeyAction { Left, Right, Up, Down, LineStart, LineEnd, Pull, Back, Digit };
struct YardKey {
  QList<QKeySequence> keys;  // each a key without modifiers
  YardKeyAction action;
  int text;  // what it does, in the text table
};
const std::vector<YardKey>& YardKeys();

class YardView : public QWidget {
  Q_OBJECT

 public:
  explicit YardView(QWidget* parent = nullptr);

  // Every pixel of the design picture becomes a zoom x zoom block of the screen's own pixels,
  // whatever scale the desktop runs at: pixel art stays sharp at 125 % as at 200 %. Called again
  // when the window moves to a screen of another scale.
  void SetZoom(int zoom);
  int Zoom() const { return zoom_; }
  // Window units per design pixel: the zoom over the screen's device pixel ratio.
  double Scale() const;

  // The junction and sign displays for a route: -1 initial, 0 all stop, 1 or 2.
  void SetSign(int state);
  // Puts a scene on the screen; cells whose bitmap did not change are not touched. True when
  // anything the player sees changed.
  bool Show(const SceneView& scene, bool carNumGuide, bool lookCarNumber);
  // Pictures are decoded once a file until the train changes.
  void ForgetPictures();
  // The font of the number rows and guides.
  void SetNumberFont(const QFont& font);
  // Shows or hides the number guides.
  void SetGuides(bool on);

  // The departure run covers the yard: its car pictures at full view height (already at the
  // zoom, in device pixels), then one frame at a time in design pixels, each car copied one pixel
  // left of its place and one pixel wider.
  void ShowRun(bool on, std::vector<QPixmap> pictures = {});
  void RunFrame(const std::vector<int>& left, const std::vector<int>& width);
  bool Running() const { return running_; }

  // Cell under a point of the design picture, or -1.
  static int CellAt(QPoint designPoint);
  static QRect CellRect(int index);
  // Where sign display 1..5 stands on the design picture (1 the junction, 2 the route signal, 3 and
  // 4 the shunting signs of lines 1 and 2, 5 the lever).
  static QRect DisplayRect(int display);

  // The keyboard cursor: a cell, or -1 before the yard first had the focus. It is drawn while
  // the yard has the focus.
  int Cursor() const { return cursor_; }
  void SetCursor(int cell);
  // What the yard last said to the player of a screen reader (its accessible description).
  void Announce(const QString& text);
  // What was said last goes from the yard's description without a word (a new quiz is coming).
  void ForgetAnnouncement();
  // Tells assistive technology now which slots changed since it was last told.
  void FlushAccess();
  // Said in passing, about the window more than the yard (the departure run): spoken, while the
  // yard's description keeps what became of the game.
  void Mention(const QString& text) { emit announced(text); }
  const QString& Announcement() const { return announcement_; }
  int Announcements() const { return announcements_; }  // how many were made
  // The texts the yard names its parts in, for assistive technology and the guide.
  void SetTexts(const ITexts* texts) { texts_ = texts; }
  const ITexts* Texts() const { return texts_; }
  // What stands in a cell as the number rows have it: " ." empty, "L2", " 3".
  std::string SlotText(int cell) const;
  // The locomotive units on the yard.
  int LocoUnits() const;
  const SceneView& Scene() const { return scene_; }

  // Display contents, for checking what the signs show.
  Part Display(int display) const { return displays_[static_cast<std::size_t>(display - 1)]; }
  // The yard at design scale, as the screen shows it before the zoom.
  QImage DesignPicture() const;

 signals:
  void cellClicked(int index);
  void cellDoubleClicked(int index);
  // From the keyboard: the cursor went to a cell; Enter on a cell; B or Backspace; a digit.
  void cursorMoved(int index);
  void pullRequested(int index);
  void backRequested();
  void digitTyped(QChar digit);
  // An announcement was made (its text), for a screen reader to speak.
  void announced(const QString& text);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  // Sees the player's Tab keys, wherever they are pressed.
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  // Puts the cursor where it was, or on the locomotive, draws it and says it.
  void ShowCursor();
  // Tells assistive technology which slots changed since the rows were these.
  void AccessChanged(const std::array<std::string, kDumpLines>& rowsBefore);
  const QImage& Cell(const std::string& file);
  // A number of the rows as a picture, drawn once a text and colour.
  const QImage& Number(const std::string& text, const QColor& colour) const;
  void Changed();
  int CellUnder(QPoint widgetPoint) const;

  int zoom_ = 1;
  std::array<Part, 5> displays_{Part::JunctionRoute1, Part::SignalStop, Part::ShuntStop, Part::ShuntStop,
                                Part::LeverRoute1};
  SceneView scene_;
  std::array<QImage, kCells> cellPictures_;
  bool guides_ = true;
  std::array<bool, kDumpLines> rowsShown_{true, true, true};
  QMap<QString, QImage> cells_;  // each file's picture squeezed into its cell, made once
  // The slots changed since assistive technology was last told, and when it is to be told.
  bool accessPending_ = false;
  std::array<std::string, kDumpLines> accessRows_;
  QTimer accessSettle_;

 public:
  // Told once a file whose picture cannot be drawn (no bitmap a reader takes, a header of
  // impossible sizes): the cell stays empty, and the player should know why.
  std::function<void(const std::string& file)> onUndrawable;

 private:
  QFont numberFont_;
  mutable QMap<QString, QImage> numbers_;
  mutable QImage design_;  // the picture as last drawn; null when something changed since
  bool running_ = false;
  std::vector<QPixmap> runPictures_;
  std::vector<int> runLeft_, runWidth_;
  int cursor_ = -1;
  bool cursorShown_ = false;
  bool tabPressed_ = false;  // a Tab key went down and the focus has not moved since  // the keyboard came here by Tab or a key was pressed here
  QString announcement_;
  int announcements_ = 0;
  const ITexts* texts_ = nullptr;
};

}  // namespace kelvara::qt
