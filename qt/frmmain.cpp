#include "qt/frmmain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <cmath>
#include <filesystem>
#include <set>
#include <utility>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include "base/folders.h"
#include "base/paths.h"
#include "base/product.h"
#include "base/program.h"
#include "data/mylib.h"
#include "model/durations.h"
#include "data/bmp.h"
#include "data/install.h"
#include "qt/applynational.h"
#include "qt/announcer.h"
#include "qt/yardaccess.h"
#include "qt/frmabout.h"
#include "qt/frmanserview.h"
#include "qt/frmcomplete.h"
#include "qt/frmdatainstall.h"
#include "qt/frmshortcuts.h"
#include "qt/frmstatistics.h"
#include "qt/frmformation.h"
#include "qt/frmoneinput.h"
#include "qt/frmoptions.h"
#include "qt/frmsplash.h"
#include "qt/frmtrainselect.h"
#include "qt/pictures.h"
#include "qt/qtplatform.h"
#include "qt/programicon.h"
#include "qt/windowplace.h"
#include "qt/yardview.h"
#include "scene/sceneview.h"
#include "services/gini.h"
#include "services/possition.h"
#include "model/setup.h"
#include "records/session.h"
#include "sound/fluidmci.h"
#include "sound/midimci.h"

namespace kelvara::qt {

namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }
std::string S(const QString& s) { return s.toStdString(); }

// The date and time as the system writes them: its short date and its long time, without a zone.
std::string NowText() {
  const QLocale locale = QLocale::system();
  const QDateTime now = QDateTime::currentDateTime();
  QString time = locale.timeFormat(QLocale::LongFormat);
  time.remove(QLatin1Char('t')).replace(QStringLiteral("  "), QStringLiteral(" "));
  return S(locale.toString(now.date(), QLocale::ShortFormat) + " " + locale.toString(now.time(), time.trimmed()));
}

}  // namespace

frmMain::frmMain(StartOptions options) : options_(std::move(options)) {
  setObjectName("frmMain");
  if (options_.messageBox) boxes_ = &options_.messageBox(qtBoxes_);
  setWindowIcon(ProgramIcon());
  BuildMenus();
  BuildControls();
  // Nothing answers until start-up has finished.
  for (const auto& [name, object] : controls_.All()) controls_.SetEnabled(name, false);
}

frmMain::~frmMain() {
  qApp->removeEventFilter(this);
  KeepGameInProgress();
  // The game goes before the player and the log it writes to.
  if (game_) game_->MIDI = nullptr;
  game_.reset();
  midi_.reset();
  mci_.reset();
}

void frmMain::Log(std::string_view text) const {
  if (log_) log_->Out(text);
}

// ---- start-up and shutdown -----------------------------------------------------------------------

void frmMain::Form_Load() {
  startingUp_ = true;
  qApp->installEventFilter(this);

  const Folders& folders = UserFolders();
  // The records open beside the start-up's other work, on a thread of their own.
  recordsOpening_ = std::async(std::launch::async,
                               [path = folders.userData + "/records.sqlite"] { return kelvara::OpenRecords(path, true); });
  MakeFolder(folders.log);
  log_ = std::make_unique<MyLogClass>(BuildPath(folders.log, ExeName() + ".log"));
  const std::string heldElsewhere = log_->Claim();
  gameLog_ = std::make_unique<FileGameLog>(*log_);

  MyLibClass lib(clock_);
  flags_ = GetArg(lib, options_.commandLine);
  texts_.InitNational(SystemPrimaryLanguage(), options_.commandLine, [this](const std::string& w) {
    msgBoxes_.Show(w, MsgButtons::Ok, MsgIcon::None, {});
  });
  const bool qtTexts = UseQtTranslations(texts_.nLangOffset() == 0);
  auto log = [this](const std::string& text) {
    if (!flags_.NoStartLog) Log(text);
  };
  log(std::string(kProductName) + " " + MyLibClass::GetVersionString() + " 起動開始 " + NowText() +
      (heldElsewhere.empty() ? std::string() : " (" + heldElsewhere + " is another instance's)"));
  if (!qtTexts) log("Qt's Japanese translation is not installed: its own buttons and dialogs stay in English");

  std::string unreadable;
  log(ReadSettings(settings_, &unreadable));
  if (!unreadable.empty()) msgBoxes_.Show(Msg(6030) + "\r\n" + unreadable, MsgButtons::Ok, MsgIcon::Exclamation, {});

  if (!flags_.NoSplash) {
    SplashTexts t;
    t.company = Q(GetCompanyName(texts_));
    t.brand = "Orvane";
    t.copyright = Q(kLegalNotice);
    t.platform = "for Linux desktops (X11 and Wayland)";
    t.productName = kProductName;
    t.version = Q(MyLibClass::GetVersionString());
    splash_ = new frmSplash(windowIcon(), t);
    // Closed by the player before the main window is up, the start-up's pauses end: they show
    // nothing but an empty screen then.
    connect(splash_, &frmSplash::closedByPlayer, this, [this] {
      if (startingUp_ && !isVisible()) clock_.CutShort(true);
    });
    splash_->show();
    log("Path Sprash");
  }

  log("SetInto MIDIMCIClass");
  if (!options_.noSound) {
    FluidMciOptions sound;
    if (!options_.audioDriver.empty()) sound.audioDrivers = {options_.audioDriver};
    if (options_.audioDriver == "file") sound.audioFile = "/dev/null";
    mci_ = std::make_unique<FluidMci>(sound);
    midi_ = std::make_unique<MIDIMCIClass>(*mci_, msgBoxes_, clock_,
                                           texts_, folders.temp, folders.log);
  }
  log("Path MIDIMCIClass");
  log("Set MIDI");
  game_ = MakeGame(Ports{msgBoxes_, controls_, status_, scene_, sound_, clock_, *gameLog_, texts_}, settings_, log_.get(),
                   options_.seed);
  game_->SetStartingUp(true);
  game_->Worker = &worker_;
  game_->MsgGuide.ObjGuide = nullptr;  // the status bar takes the guide once the window is shown
  game_->MIDI = midi_.get();
  if (midi_) {
    midi_->OutputLog = !flags_.NoMidiLog;
    if (!flags_.NoStartSound) game_->PlayTune("Startup.mid");
    log("MIDI Play");
  }
  if (!flags_.NoDeleteTemp) MyLibClass::DeleteTempFile(midi_ ? midi_->TempFileName() : std::string());
  if (flags_.ShowAnimeTest) animeTest_->setVisible(true);

  log("Path MsgGuideClass");
  log("Path PelmClass");
  log("Path TRDClass");
  log("Path LocoClass");
  log("Path TRDClass");
  log("Path LocoClass");
  game_->ViewWidth = kDesignWidth;
  game_->ViewHeight = kDesignHeight;

  // The curve, the joints and the car stoppers are part of the yard's picture.
  log("Draw curve");
  log("Path Set Stopper");
  game_->SetSign(-1);
  game_->SetSign(0);
  log("Draw junction and Sign");
  if (closing_) return;  // a signal or a click on the splash's close box ended the start-up
  controls_.SetVisible("mnuEscape", false);

  QSettingsStore store;
  WindowPlace place{"frmMain", x(), y(), width(), height(), false};
  if (RestorePossition(store, place, 0, 0, kProductName, msgBoxes_, texts_,
                       Win32ApiClass::GetWorkArea())) {
    move(place.left, place.top);
  }
  if (closing_) return;
  setWindowTitle(kProductName);
  SetContlorTag();
  ApplyNational(*this, texts_);
  // Until the player picks a size in the View menu, the screen decides it at every start: the
  // largest that leaves room around the window. A size picked that the screen cannot hold (a
  // smaller screen since) gives way to the largest it can, without forgetting the choice.
  SetZoom(settings_.Zoom == 0 ? 1 : settings_.Zoom);
  if (settings_.Zoom == 0) {
    SetZoom(LargestZoom(WorkArea(), 0.85));
  } else if (zoom_ > LargestZoom(WorkArea())) {
    SetZoom(LargestZoom(WorkArea()));
  }
  for (int z = 2; z <= 3; ++z) {
    controls_.SetCondition("mnuViewZoom" + std::to_string(z), [this, z] { return LargestZoom(WorkArea()) >= z; });
  }
  show();
  // Another screen, or the same one changed: the same zoom in its device pixels, if it fits.
  if (QWindow* w = windowHandle()) {
    connect(w, &QWindow::screenChanged, this, [this](QScreen* s) {
      SetZoom(zoom_);
      if (s != nullptr) connect(s, &QScreen::availableGeometryChanged, this, &frmMain::FitZoomToScreen, Qt::UniqueConnection);
      FitZoomToScreen();
    });
    if (QScreen* s = w->screen()) connect(s, &QScreen::availableGeometryChanged, this, &frmMain::FitZoomToScreen);
  }
  clock_.CutShort(false);  // from here on the pauses show something
  log("Path Show Main Window");
  game_->MsgGuide.ObjGuide = &status_;
  log("Path Message Guide");

  view_->onUndrawable = [this](const std::string& file) {
    Log("Car picture cannot be drawn: " + file);
    // Said once a run, as a data file's other faults are: the picture is asked for again at
    // every change of size.
    if (undrawableTold_.insert(file).second) msgBoxes_.Show(Fill(Msg(6210), file), MsgButtons::Ok, MsgIcon::Exclamation, kAppTitle);
  };
  game_->MsgGuide.Msg("Font setting...");
  view_->SetNumberFont(GameFont(kFixedFont));
  log("Path Font Setting");
  game_->MsgGuide.Msg("Car object making...");
  log("Path Car object making");
  game_->MsgGuide.Msg("Car Object positioning...");
  log("Path RepositionimgCar");
  game_->Loco.NoLoadCouplerBellows = true;
  game_->TRD.NoLoadCouplerBellows = true;
  game_->MsgGuide.Msg("Loco loading...");
  game_->Loco.Refresh();
  game_->LoadLocoList();
  log("Path Loco.LoadLst");
  cutNum_->clear();
  for (int i = 0; i < 20; ++i) cutNum_->addItem(QString::number(i));
  cutNum_->setEditText("");
  view_->SetGuides(settings_.CarNumGuide);
  log("Path SetCarNumGuide");
  if (splash_) splash_->close();
  log("Path Unload Splash");

  if (closing_) return;
  OpenRecords();
  // A game left at the last end comes with its own train, loaded once.
  if (pending_) LoadTrainOfGameLeft(*game_, *pending_);
  if (closing_) return;
  if (game_->TRD.CarCount() == 0) game_->mnuGameChangeTrainAuto_Click();
  if (closing_) return;
  game_->MsgGuide.Msg("");
  game_->SetSign(1);
  startingUp_ = false;
  // Play begins with New Game; until then only Back (into siding 1) has something to do.
  game_->SetStartingUp(false);
  log("Wake up complete" + NowText());
  ResumeGameInProgress();
}

void frmMain::OpenRecords() {
  RecordsStart start = recordsOpening_.get();
  pending_ = std::move(start.claim.left);
  const RecordsTell tell{
      [this](const std::string& text) { msgBoxes_.Show(text, MsgButtons::Ok, MsgIcon::Exclamation, kProductName); },
      [this](const std::string& text) { Log(text); }};
  records_ = StartRecords(start, *game_, tell);
}

void frmMain::ResumeGameInProgress() {
  // Closed meanwhile: the game left stays in its slot for the next start.
  if (!records_ || closing_ || !pending_) return;
  const std::optional<SavedGame> saved = std::exchange(pending_, std::nullopt);
  const int said = TakeUpGameLeft(*game_, *saved);
  if (said != 6100) game_->MsgGuide.Msg(Msg(said));
  Log(said == 6100 ? "Resumed the game in progress" : "Resume refused: " + std::to_string(said));
}

void frmMain::KeepGameInProgress() {
  // Kept after every move already; once more at the end for the time played. A move that runs
  // when the window closes leaves the game as it stood before it. A game left that was never taken
  // up (closed during start-up) stays in its slot as it is.
  if (kept_ || !records_ || !game_ || pending_) return;
  kept_ = true;
  if (game_->GameActive && game_->Played() && records_->Slot() != 0) Log("Kept the game in progress");
  EndRecords(*game_, true);
}

void frmMain::ShowStatistics() {
  frmStatistics window(this, records_.get(), texts_, msgBoxes_);
  PlaceInside(window, QRect(x() + 40, y() + 40, window.width(), window.height()), 320, 320, WorkArea());
  window.exec();
}

void frmMain::closeEvent(QCloseEvent* e) {
  if (closing_) {
    e->accept();
    return;
  }
  KeepGameInProgress();
  closing_ = true;
  if (game_) game_->SetClosing();
  auto log = [this](const std::string& text) {
    if (!flags_.NoEndLog) Log(text);
  };
  log("Into Form_Unload");
  timer_->stop();
  // A window never shown has no place of its own to keep.
  if (!startingUp_) {
    QSettingsStore store;
    SavePossition(store, WindowPlace{"frmMain", x(), y(), width(), height(), false}, kProductName,
                  msgBoxes_, texts_);
    log("SavePossition");
  }
  // Whatever the game was doing when the window closed winds down without waiting, asking or
  // writing; the objects go when it has (the destructor).
  if (gameLog_) gameLog_->Muted = true;
  if (midi_) midi_->StopSound();
  for (const char* line : {"MIDI = Nothing", "Loco2 = Nothing", "TRD2 = Nothing", "Loco = Nothing", "TRD = Nothing",
                           "Pelm = Nothing", "MsgGuide = Nothing", "MyLog = Nothing"}) {
    log(line);
  }
  // The other windows close with it; the last window closed ends the program's event loop, and
  // with it any loop the game was waiting in.
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w != this && w->isVisible()) w->close();
  }
  e->accept();
  // The wait in progress ends now (a start-up pause, a move's frame): nothing waits for a window
  // that is gone.
  clock_.CutShort(true);
}

// ---- menus and controls -------------------------------------------------------------------------

void frmMain::Register(const char* name, QObject* object) { controls_.Register(name, object); }

QMenu* frmMain::TopMenu(const char* name) {
  QMenu* m = menuBar()->addMenu(QString());
  m->setObjectName(QString(name) + "_popup");
  Register(name, m->menuAction());
  return m;
}

QAction* frmMain::Item(QMenu* parent, const char* name) {
  QAction* a = parent->addAction(QString());
  Register(name, a);
  return a;
}

bool frmMain::Play(GameCommand command) { return game_ && !closing_ && game_->Do(command); }

void frmMain::PullAt(int cell) {
  if (!game_ || closing_) return;
  if (!game_->Allows(GameCommand::Front)) {
    Say(Msg(7660));
    return;
  }
  // As a click on that car fills in the number box and Front is pressed, from the line the
  // route is set to.
  const int n = CarsUpTo(game_->yard, cell), line = cell / kVisible, route = game_->Route;
  if (n < 0) {
    Say(Msg(7680));
    return;
  }
  if ((route == 1 || route == 2) && line != route) {
    Say(Fill(Msg(7690), std::to_string(route)));
    return;
  }
  cutNum_->setEditText(QString::number(n));
  PlayAndTell(GameCommand::Front);
  if (!closing_) view_->setFocus(Qt::OtherFocusReason);
}

bool frmMain::Open(GameCommand command, const std::function<void()>& window) {
  return game_ && !closing_ && game_->Run(command, window);
}

void frmMain::BuildControls() {
  auto* central = new QWidget(this);
  central->setObjectName("client");
  QPalette pal = central->palette();
  pal.setColor(QPalette::Window, Qt::black);
  pal.setColor(QPalette::WindowText, Qt::white);
  central->setPalette(pal);
  central->setAutoFillBackground(true);
  setCentralWidget(central);

  InstallYardAccess();
  InstallAnnouncerAccess();
  view_ = new YardView(central);
  view_->SetTexts(&texts_);
  // What the yard announces is spoken as well as written into its description.
  announcer_ = new Announcer(central, view_);
  connect(view_, &YardView::announced, announcer_, &Announcer::Say);
  // From the keyboard: the cursor is said in the guide, Enter pulls out up to it, B backs in, the
  // digits go into the number box; the keyboard stays on the yard.
  connect(view_, &YardView::cursorMoved, this, [this](int cell) {
    if (!game_ || closing_) return;
    SayInPassing(CursorGuide(*view_, cell));
  });
  connect(view_, &YardView::pullRequested, this, [this](int cell) { PullAt(cell); });
  connect(view_, &YardView::backRequested, this, [this] {
    PlayAndTell(GameCommand::Back);
    if (!closing_) view_->setFocus(Qt::OtherFocusReason);
  });
  connect(view_, &YardView::digitTyped, this, [this](QChar digit) {
    if (!game_ || closing_) return;
    if (!cutNum_->isEnabled()) {
      view_->Announce(Q(Msg(7660)));
      return;
    }
    cutNum_->setEditText(cutNum_->currentText() + digit);
    const QString typed = Q(Fill(Msg(7670), Msg(7760), cutNum_->currentText().toStdString()));
    SayInPassing(typed);
    view_->Announce(typed);
  });
  connect(view_, &YardView::cellClicked, this, [this](int i) {
    if (game_ && !closing_) game_->Do(GameCommand::NumberBox, i);
  });
  connect(view_, &YardView::cellDoubleClicked, this, [this](int i) { Open(GameCommand::CarDoubleClick, [this, i] { ShowCar(i); }); });

  animeTest_ = new QPushButton("Big Anime Test", central);
  Register("cmdBigAnimeTest", animeTest_);
  animeTest_->setVisible(false);
  connect(animeTest_, &QPushButton::clicked, this, [this] {
    if (Play(GameCommand::BigAnimeTest)) scene_.DrawRefresh();
  });

  front_ = new QPushButton(central);
  Register("cmdFront", front_);
  connect(front_, &QPushButton::clicked, this, [this] { PlayAndTell(GameCommand::Front); });

  cutNum_ = new QComboBox(central);
  Register("cmbCutTrainNum", cutNum_);
  cutNum_->setEditable(true);
  cutNum_->setInsertPolicy(QComboBox::NoInsert);
  // Digits only: a letter typed, or the "r" of Alt+R while Front is off, is no number of cars.
  cutNum_->lineEdit()->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), cutNum_));

  back_ = new QPushButton(central);
  Register("cmdBack", back_);
  connect(back_, &QPushButton::clicked, this, [this] { PlayAndTell(GameCommand::Back); });

  lblMsg_ = new QLabel(central);
  Register("lblMsg", lblMsg_);
  lblMsg_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  // The keyboard goes through them in reading order: the yard, then the buttons left to right.
  setTabOrder(view_, front_);
  setTabOrder(front_, cutNum_);
  setTabOrder(cutNum_, back_);

  // Nothing answers a click until start-up has finished.
  for (QWidget* w : std::initializer_list<QWidget*>{front_, back_, cutNum_}) w->setEnabled(false);

  timer_ = new QTimer(this);
  Register("Timer1", timer_);
  timer_->setInterval(100);
  connect(timer_, &QTimer::timeout, this, [this] {
    if (game_) game_->Timer1_Timer();
  });

  QStatusBar* bar = statusBar();
  bar->setObjectName("staBar");
  bar->setSizeGripEnabled(false);
  for (const char* key : {"Msg", "DCount", "UCount", "Par", "TimeLabel", "Time"}) {
    // The guide is one line at every size, whatever the game puts into it.
    QLabel* label = std::string(key) == "Msg" ? new OneLineLabel(bar) : new QLabel(bar);
    label->setObjectName(QString("staBar_") + key);
    label->setProperty("Key", key);
    const bool msg = std::string(key) == "Msg";
    label->setMinimumWidth(msg ? 240 : 44);
    label->setAlignment(msg ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    if (msg) {
      bar->addWidget(label, 1);
    } else {
      bar->addPermanentWidget(label);
    }
    status_.Add(key, label);
  }
  LayoutControls();
}

void frmMain::SetContlorTag() {
  for (const MainControl& c : kMainControls) {
    if (c.caption == 0) continue;
    if (QObject* object = controls_.Find(c.name)) SetTag(object, QString::number(c.caption));
  }
  SetTag(status_.Label("TimeLabel"), "26");
  // What the two counters count.
  SetTag(status_.Label("DCount"), {}, "136");
  SetTag(status_.Label("UCount"), {}, "137");
  SetTag(status_.Label("Par"), {}, "144");
  // Their names for a screen reader: a caption before the number.
  status_.Label("DCount")->setProperty("Caption", Q(Msg(7850)));
  status_.Label("UCount")->setProperty("Caption", Q(Msg(7860)));
  // For assistive technology: the box has no caption of its own; the guide's name stays its text,
  // which is what a screen reader should read, and says what it is in its description.
  cutNum_->setAccessibleName(Q(Msg(7760)));
  status_.Label("Msg")->setAccessibleDescription(Q(Msg(7770)));
}

void frmMain::LayoutControls() {
  // Design pixels to window units: the zoom over the screen's scale, which Qt applies itself.
  const double z = view_->Scale();
  auto place = [z](QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(qRound(left * z), qRound(top * z), qRound(width * z), qRound(height * z));
  };
  view_->move(0, 0);
  place(animeTest_, 8, 304, 137, 25);
  place(front_, 216, 304, 57, 25);
  place(cutNum_, 280, 304, 57, 26);
  place(back_, 344, 304, 57, 25);
  place(lblMsg_, 8, 336, 585, 41);
  // The controls on the yard grow with it; their text too.
  for (QWidget* w : std::initializer_list<QWidget*>{animeTest_, front_, cutNum_, back_, lblMsg_}) {
    QFont f = font();
    if (f.pointSizeF() > 0) f.setPointSizeF(f.pointSizeF() * z);
    w->setFont(f);
    // The number box's own text field and list were given the window's font by name: they grow
    // with it too, or the digits stay at their first size.
    for (QWidget* inner : w->findChildren<QWidget*>()) inner->setFont(f);
  }
  centralWidget()->setFixedSize(view_->size());
  view_->lower();
  setFixedSize(sizeHint());
}

void frmMain::SetZoom(int zoom) {
  zoom_ = std::clamp(zoom, 1, 3);
  view_->SetZoom(zoom_);
  if (QAction* a = menu(("mnuViewZoom" + std::to_string(zoom_)).c_str())) a->setChecked(true);
  LayoutControls();
  // Kept inside the desktop as it grows.
  WindowPlace place{"frmMain", x(), y(), frameGeometry().width(), frameGeometry().height(), false};
  const QRect area = WorkArea();
  SetInnerWorkArea(place, 0, 0, {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()});
  if (isVisible() && (place.left != x() || place.top != y())) move(place.left, place.top);
}

QSize frmMain::WindowSizeAt(int zoom) const {
  const double ratio = devicePixelRatioF() > 0 ? devicePixelRatioF() : 1.0;
  auto side = [ratio](int design, int z) { return static_cast<int>(std::ceil(design * z / ratio - 1e-6)); };
  const QSize now = isVisible() ? frameGeometry().size() : size();
  return now + QSize(side(kDesignWidth, zoom) - side(kDesignWidth, zoom_), side(kDesignHeight, zoom) - side(kDesignHeight, zoom_));
}

int frmMain::LargestZoom(const QRect& area, double share) const {
  for (int z = 3; z > 1; --z) {
    const QSize s = WindowSizeAt(z);
    if (s.width() <= area.width() * share && s.height() <= area.height() * share) return z;
  }
  return 1;
}

QRect frmMain::WorkArea() const {
  const QScreen* s = screen();
  return s != nullptr ? s->availableGeometry() : QRect(0, 0, 1920, 1080);
}

void frmMain::FitZoomToScreen() {
  if (zoom_ > LargestZoom(WorkArea())) SetZoom(LargestZoom(WorkArea()));
  game_->UpdateControls();
}

QPushButton* frmMain::button(const char* name) const {
  const std::string n(name);
  return n == "cmdFront" ? front_ : n == "cmdBack" ? back_ : n == "cmdBigAnimeTest" ? animeTest_ : nullptr;
}

QAction* frmMain::menu(const char* name) const { return qobject_cast<QAction*>(controls_.Find(name)); }

// ---- help ---------------------------------------------------------------------------------------------

void frmMain::HelpShow() {
  const std::string folder = HelpFolder();
  std::string path = BuildPath(folder, "index.htm");
  if (!FileExists(path)) {
    msgBoxes_.Show(texts_.GetSystemErrorText(2) + "\r\n", MsgButtons::Ok, MsgIcon::Information, {});
    path = BuildPath(folder, "index0.htm");
    if (!FileExists(path)) {
      msgBoxes_.Show(texts_.GetSystemErrorText(3) + "\r\n", MsgButtons::Ok, MsgIcon::Information, {});
      return;
    }
  }
  // The page in the reader's language; when no program opens it, the player is told where it is.
  QUrl url = QUrl::fromLocalFile(Q(path));
  url.setFragment(texts_.nLangOffset() == 0 ? "ja" : "en");
  const bool opened = options_.openHelp ? options_.openHelp(url.toString()) : QDesktopServices::openUrl(url);
  if (!opened) {
    msgBoxes_.Show(texts_.Text(6050) + "\r\n" + path, MsgButtons::Ok, MsgIcon::Information, {});
  }
}

}  // namespace kelvara::qt
