#include "qt/frmmain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <chrono>
#include <cstdlib>

#include "data/mylib.h"
#include "base/paths.h"
#include "qt/yardview.h"
#include "scene/sceneview.h"
#include "services/gini.h"
#include "services/possition.h"
#include "base/product.h"
#include "base/program.h"
#include "qt/qtplatform.h"
#include "sound/fluidmci.h"
#include "sound/midimci.h"

namespace kelvara::qt {

namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }
std::string S(const QString& s) { return s.toStdString(); }

constexpr int kClientWidth = 600;
constexpr int kViewHeight = 386;  // the client area of 408 less the status bar

// The completion window: rainbow bands fading to white, the title across the bottom.
class CompleteWindow : public QDialog {
 public:
  CompleteWindow(QWidget* parent, const QString& title) : QDialog(parent, Qt::FramelessWindowHint | Qt::Tool) {
    setFixedSize(589, 300);
    auto* label = new QLabel(title, this);
    QFont f = label->font();
    f.setPixelSize(72);
    f.setBold(true);
    label->setFont(f);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(0, 300 - 100, 589, 100);
    label->setObjectName("lblTitle");
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    static const QColor bands[] = {Qt::magenta, Qt::blue,   Qt::cyan,    Qt::green, Qt::yellow,
                                   QColor(255, 165, 0), Qt::red, QColor(255, 165, 0), Qt::yellow,
                                   Qt::green,   Qt::cyan,   Qt::blue,    Qt::magenta};
    QPainter p(this);
    const double w = width() / 13.0;
    for (int i = 0; i < 13; ++i) {
      QLinearGradient g(i * w, 0, (i + 1) * w, 0);
      g.setColorAt(0, Qt::white);
      g.setColorAt(0.5, bands[i]);
      g.setColorAt(1, Qt::white);
      p.fillRect(QRectF(i * w, 0, w + 1, height()), g);
    }
  }
};

}  // namespace

frmMain::frmMain(const StartOptions& options) : options_(options) {
  setObjectName("frmMain");
  const std::string folder = options_.programFolder.empty() ? ProgramFolder() : options_.programFolder;
  log_ = std::make_unique<MyLogClass>(BuildPath(folder, ExeName() + ".log"));
  log_->Delete();
  log_->Out("Start " + MyLibClass::GetVersionString());
  gameLog_ = std::make_unique<FileGameLog>(*log_);

  const std::string ini = BuildPath(folder, ExeName() + ".ini");
  if (FileExists(ini)) {
    LoadIni(settings_, ini, folder);
  } else {
    CreateIni(settings_, ini, folder);
  }
  log_->Out("Path LoadIni");
  texts_.InitNational(SystemPrimaryLanguage(), options_.commandLine,
                      [](const std::string& w) { QMessageBox::warning(nullptr, kAppTitle, Q(w)); });

  if (!options_.noSound) {
    mci_ = std::make_unique<FluidMci>();
    midi_ = std::make_unique<MIDIMCIClass>(*mci_, static_cast<IMessageBox&>(*this), static_cast<IClock&>(*this),
                                           texts_, folder);
    midi_->OutputLog = !options_.noMidiLog;
  }
  game_ = std::make_unique<Game>(Ports{*this, *this, *this, *this, *this, *this, *gameLog_, texts_}, settings_);
  game_->MsgGuide.ObjGuide = static_cast<IStatusBar*>(this);
  game_->MIDI = midi_.get();
  game_->LogFileName = log_->LogFileName;
  game_->ViewHeight = kViewHeight;
  game_->ViewWidth = kClientWidth;
  if (const char* user = std::getenv("USER")) game_->UserName = user;
  MyLibClass::DeleteTempFile();

  setWindowTitle(Q(texts_.GetCaptionText(0).empty() ? kProductName : texts_.GetCaptionText(0)));
  BuildMenus();
  BuildControls();
  QSettingsStore store;
  WindowPlace place{"frmMain", x(), y(), width(), height(), false};
  if (RestorePossition(store, place, 0, 0, kProductName, static_cast<IMessageBox&>(*this), texts_,
                       Win32ApiClass::GetWorkArea())) {
    move(place.left, place.top);
  }
  log_->Out("Path frmMain");
}

frmMain::~frmMain() {
  if (midi_) midi_->StopSound();
  log_->Out("End");
}

QAction* frmMain::Menu(QMenu* parent, const char* name, int caption) {
  QAction* a = parent->addAction(Q(texts_.GetCaptionText(caption)));
  a->setObjectName(name);
  controls_.emplace_back(name, a);
  return a;
}

void frmMain::Run(void (Game::*command)()) {
  (game_.get()->*command)();
  DrawRefresh();
}

void frmMain::BuildMenus() {
  auto top = [&](const char* name, int caption) {
    QMenu* m = menuBar()->addMenu(Q(texts_.GetCaptionText(caption)));
    m->menuAction()->setObjectName(name);
    controls_.emplace_back(name, m->menuAction());
    return m;
  };
  QMenu* file = top("mnuFile", 6);
  connect(Menu(file, "mnuFileEnd", 7), &QAction::triggered, this, &QWidget::close);
  QMenu* gameMenu = top("mnuGame", 8);
  connect(Menu(gameMenu, "mnuGameChangeTrainAuto", 9), &QAction::triggered, this,
          [this] { Run(&Game::mnuGameChangeTrainAuto_Click); });
  gameMenu->addSeparator();
  connect(Menu(gameMenu, "mnuGameNewGame", 10), &QAction::triggered, this, [this] { Run(&Game::mnuGameNewGame_Click); });
  connect(Menu(gameMenu, "mnuGameReDisMakeUp", 11), &QAction::triggered, this,
          [this] { Run(&Game::mnuGameReDisMakeUp_Click); });
  connect(Menu(gameMenu, "mnuGameRestart", 12), &QAction::triggered, this, [this] { Run(&Game::mnuGameRestart_Click); });
  QMenu* viewMenu = top("mnuView", 19);
  connect(Menu(viewMenu, "mnuViewAnser", 20), &QAction::triggered, this, &frmMain::ShowAnswer);
  connect(Menu(viewMenu, "mnuViewClearAnimation", 21), &QAction::triggered, this, [this] {
    game_->CompleteAnimate();
    DrawRefresh();
  });
  // Shown only while the departure run lasts; Escape does the same.
  QAction* escape = menuBar()->addAction(Q(texts_.GetCaptionText(5)));
  escape->setObjectName("mnuEscape");
  escape->setVisible(false);
  controls_.emplace_back("mnuEscape", escape);
  connect(escape, &QAction::triggered, this, [this] { game_->mnuEscape_Click(); });
}

void frmMain::BuildControls() {
  auto* central = new QWidget(this);
  central->setFixedSize(kClientWidth, kViewHeight);
  QPalette pal = central->palette();
  pal.setColor(QPalette::Window, Qt::black);
  central->setPalette(pal);
  central->setAutoFillBackground(true);
  setCentralWidget(central);

  view_ = new YardView(central);
  view_->setGeometry(0, 0, kClientWidth, kViewHeight);
  connect(view_, &YardView::cellClicked, this, [this](int i) { game_->imgCar_Click(i); });

  front_ = new QPushButton(Q(texts_.GetCaptionText(25)), central);
  front_->setObjectName("cmdFront");
  front_->setGeometry(216, 304, 57, 25);
  connect(front_, &QPushButton::clicked, this, [this] { game_->cmdFront_Click(); });

  cutNum_ = new QComboBox(central);
  cutNum_->setObjectName("cmbCutTrainNum");
  cutNum_->setEditable(true);
  for (int i = 0; i < 20; ++i) cutNum_->addItem(QString::number(i));
  cutNum_->setEditText("");
  cutNum_->setGeometry(280, 304, 57, 26);

  back_ = new QPushButton(Q(texts_.GetCaptionText(24)), central);
  back_->setObjectName("cmdBack");
  back_->setGeometry(344, 304, 57, 25);
  connect(back_, &QPushButton::clicked, this, [this] { game_->cmdBack_Click(); });

  lblMsg_ = new QLabel(central);
  lblMsg_->setObjectName("lblMsg");
  lblMsg_->setGeometry(8, 336, 585, 41);
  lblMsg_->setStyleSheet("color: white;");

  timer_ = new QTimer(this);
  timer_->setObjectName("Timer1");
  timer_->setInterval(100);
  connect(timer_, &QTimer::timeout, this, [this] { game_->Timer1_Timer(); });

  controls_.emplace_back("cmdFront", front_);
  controls_.emplace_back("cmdBack", back_);
  controls_.emplace_back("cmbCutTrainNum", cutNum_);
  controls_.emplace_back("lblMsg", lblMsg_);
  controls_.emplace_back("Timer1", timer_);

  for (const char* key : {"Msg", "DCount", "UCount", "TimeLabel", "Time"}) {
    auto* label = new QLabel(this);
    label->setObjectName(key);
    label->setMinimumWidth(std::string(key) == "Msg" ? 300 : 40);
    statusBar()->addWidget(label, std::string(key) == "Msg" ? 1 : 0);
    panels_[key] = label;
  }
  panels_["TimeLabel"]->setText(Q(texts_.GetCaptionText(26)));
  setFixedSize(sizeHint());
}

void frmMain::Start() {
  // Nothing can be chosen while the yard is set up.
  for (const auto& name : Names()) {
    if (name.starts_with("mnu")) SetEnabled(name, false);
  }
  if (midi_ && !options_.noStartSound) {
    const std::int32_t err = midi_->LoadSoundFromeResource("Startup.mid") + midi_->PlaySound();
    if (err > 0) {
      Show(texts_.Text(5200), MsgButtons::Ok, MsgIcon::Information, {});
      settings_.GameSound = settings_.SuccessSound = false;
    }
  }
  game_->SetSign(-1);
  game_->SetSign(0);
  log_->Out("Draw junction and Sign");
  game_->Loco.LoadLst(settings_.TrdFolder);
  game_->mnuGameChangeTrainAuto_Click();
  game_->SetSign(1);
  for (const auto& name : Names()) {
    if (name.starts_with("mnu")) SetEnabled(name, true);
  }
  SetEnabled("mnuGameRestart", false);
  SetEnabled("mnuViewAnser", false);
  SetEnabled("cmdFront", false);
  SetEnabled("cmdBack", false);
  DrawRefresh();
  log_->Out("Path Form_Load");
}

QPushButton* frmMain::button(const char* name) const {
  return std::string(name) == "cmdFront" ? front_ : back_;
}

void frmMain::ShowAnswer() {
  QDialog dialog(this);
  dialog.setWindowTitle(Q(texts_.GetCaptionText(31)));
  auto* layout = new QVBoxLayout(&dialog);
  auto* text = new QPlainTextEdit(Q(game_->AnswerText()), &dialog);
  text->setReadOnly(true);
  layout->addWidget(text);
  auto* close = new QPushButton(Q(texts_.GetCaptionText(32)), &dialog);
  connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
  layout->addWidget(close, 0, Qt::AlignRight);
  dialog.resize(240, 300);
  dialog.exec();
}

void frmMain::keyReleaseEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    if (view_->Running()) {
      game_->mnuEscape_Click();
    } else {
      close();
    }
    return;
  }
  QMainWindow::keyReleaseEvent(e);
}

void frmMain::closeEvent(QCloseEvent* e) {
  closing_ = true;
  timer_->stop();
  QSettingsStore store;
  SavePossition(store, WindowPlace{"frmMain", x(), y(), width(), height(), false}, kProductName,
                static_cast<IMessageBox&>(*this), texts_);
  if (midi_) midi_->StopSound();
  e->accept();
  QCoreApplication::quit();
}

// ---- ports -----------------------------------------------------------------------------------

MsgAnswer frmMain::Show(std::string_view text, MsgButtons b, MsgIcon i, std::string_view title) {
  shownMessages.emplace_back(text);
  // While the window closes nobody is there to answer: take the cautious button.
  if (closing_) return b == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
  if (!scriptedAnswers.empty()) {
    const MsgAnswer a = scriptedAnswers.front();
    scriptedAnswers.erase(scriptedAnswers.begin());
    return a;
  }
  QMessageBox box(this);
  box.setWindowTitle(Q(title.empty() ? std::string_view(kAppTitle) : title));
  box.setText(Q(text).replace("\r\n", "\n"));
  box.setIcon(i == MsgIcon::Information   ? QMessageBox::Information
              : i == MsgIcon::Exclamation ? QMessageBox::Warning
              : i == MsgIcon::Critical    ? QMessageBox::Critical
                                          : QMessageBox::NoIcon);
  switch (b) {
    case MsgButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      box.exec();
      return MsgAnswer::Ok;
    case MsgButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      return box.exec() == QMessageBox::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    case MsgButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
  }
  return MsgAnswer::Ok;
}

std::vector<std::string> frmMain::Names() const {
  std::vector<std::string> names;
  for (const auto& [name, object] : controls_) names.push_back(name);
  return names;
}

bool frmMain::IsEnabled(std::string_view name) const {
  for (const auto& [n, object] : controls_) {
    if (n != name) continue;
    if (auto* a = qobject_cast<QAction*>(object)) return a->isEnabled();
    if (auto* w = qobject_cast<QWidget*>(object)) return w->isEnabled();
    if (auto* t = qobject_cast<QTimer*>(object)) return t->isActive();
  }
  return false;
}

void frmMain::SetEnabled(std::string_view name, bool on) {
  for (const auto& [n, object] : controls_) {
    if (n != name) continue;
    if (auto* a = qobject_cast<QAction*>(object)) a->setEnabled(on);
    if (auto* w = qobject_cast<QWidget*>(object)) w->setEnabled(on);
    if (auto* t = qobject_cast<QTimer*>(object)) on ? t->start() : t->stop();
  }
}

void frmMain::SetVisible(std::string_view name, bool on) {
  for (const auto& [n, object] : controls_) {
    if (n != name) continue;
    if (auto* a = qobject_cast<QAction*>(object)) a->setVisible(on);
    if (auto* w = qobject_cast<QWidget*>(object)) w->setVisible(on);
  }
}

std::string frmMain::Caption(std::string_view name) const {
  for (const auto& [n, object] : controls_) {
    if (n != name) continue;
    if (auto* a = qobject_cast<QAction*>(object)) return a->isSeparator() ? "-" : S(a->text());
    if (auto* b = qobject_cast<QPushButton*>(object)) return S(b->text());
  }
  return {};
}

std::string frmMain::Text(std::string_view name) const {
  if (name == "cmbCutTrainNum") return S(cutNum_->currentText());
  if (name == "lblMsg") return S(lblMsg_->text());
  return {};
}

void frmMain::SetText(std::string_view name, std::string_view text) {
  if (name == "cmbCutTrainNum") cutNum_->setEditText(Q(text));
  if (name == "lblMsg") lblMsg_->setText(Q(text).replace("\r\n", "\n"));
}

void frmMain::SetFocus(std::string_view name) {
  if (name == "cmbCutTrainNum") cutNum_->setFocus();
  if (name == "cmdFront") front_->setFocus();
  if (name == "cmdBack") back_->setFocus();
}

void frmMain::SetPanel(std::string_view key, std::string_view text) {
  if (auto* label = panels_.value(Q(key))) label->setText(Q(text));
}

std::string frmMain::Panel(std::string_view key) const {
  const auto* label = panels_.value(Q(key));
  return label == nullptr ? std::string() : S(label->text());
}

void frmMain::DrawRefresh() {
  view_->Show(ComputeScene(*game_), settings_.CarNumGuide, settings_.LookCarNumber);
  view_->repaint();
  PumpOnce();
}

void frmMain::ShowSign(int state) {
  view_->SetSign(state);
  view_->repaint();
}

void frmMain::ShowCompleteWindow(std::string_view title) {
  auto* w = new CompleteWindow(this, Q(title));
  w->setAttribute(Qt::WA_DeleteOnClose);
  w->move(geometry().center() - QPoint(w->width() / 2, w->height() / 2));
  w->show();
  completeWindow_ = w;
}

void frmMain::CloseCompleteWindow() {
  if (completeWindow_) completeWindow_->close();
}

void frmMain::AnimeView(bool visible) {
  std::vector<QPixmap> pictures;
  if (visible) {
    // Each car at full view height, decoded and scaled once: a coach that stands ten times in
    // the train, or a replay of the run, reuses the picture.
    const auto& paths = game_->AnimePictures;
    for (std::size_t i = 0; i < paths.size(); ++i) {
      const AnimeRect& r = game_->gAnimeSrcRect[i];
      const QString key = Q(paths[i]) + QString("@%1x%2").arg(r.Right).arg(r.Bottom);
      auto it = bigImages_.find(key);
      if (it == bigImages_.end()) {
        const QPixmap pic(Q(paths[i]));
        it = bigImages_.insert(key, pic.isNull() || r.Right <= 0 ? QPixmap() : pic.scaled(r.Right, r.Bottom));
      }
      pictures.push_back(*it);
    }
  }
  view_->ShowRun(visible, std::move(pictures));
}

void frmMain::RenderScene(const std::vector<int>& left, const std::vector<int>& width) {
  view_->RunFrame(left, width);
}

std::string frmMain::OneInputConsole() {
  if (scriptedConsole) return *scriptedConsole;
  QDialog console(this);
  console.setObjectName("frmOneInput");
  console.setWindowTitle(Q(texts_.GetCaptionText(110)));
  auto* grid = new QGridLayout(&console);
  auto* txtSousa = new QLineEdit(&console);
  txtSousa->setObjectName("txtSousa");
  grid->addWidget(txtSousa, 0, 0, 1, 7);
  auto append = [txtSousa](const QString& s) { txtSousa->setText(txtSousa->text() + s); };
  auto* del = new QPushButton("D", &console);
  del->setToolTip(Q(texts_.GetCaptionText(113)));
  connect(del, &QPushButton::clicked, &console, [txtSousa] { txtSousa->backspace(); });
  grid->addWidget(del, 1, 0);
  for (int n = 1; n <= 20; ++n) {
    auto* b = new QPushButton(QString::number(n), &console);
    b->setFixedWidth(32);
    connect(b, &QPushButton::clicked, &console, [append, n] { append(QString::number(n)); });
    grid->addWidget(b, 1 + n / 7, n % 7);
  }
  auto* pull = new QPushButton("&C", &console);
  pull->setToolTip(Q(texts_.GetCaptionText(111)));
  connect(pull, &QPushButton::clicked, &console, [append] { append("C"); });
  auto* push = new QPushButton("&P", &console);
  push->setToolTip(Q(texts_.GetCaptionText(112)));
  connect(push, &QPushButton::clicked, &console, [append] { append("P"); });
  auto* help = new QPushButton(Q(texts_.GetCaptionText(114)), &console);
  connect(help, &QPushButton::clicked, &console, [this] {
    std::string text;
    for (int id : {6300, 6310, 6320, 6330, 6340}) text += texts_.Text(id) + "\r\n";
    Show(text + "\r\n" + texts_.Text(6350), MsgButtons::Ok, MsgIcon::Information, {});
  });
  auto* clear = new QPushButton(Q(texts_.GetCaptionText(115)), &console);
  connect(clear, &QPushButton::clicked, txtSousa, &QLineEdit::clear);
  auto* ok = new QPushButton("&Ok", &console);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, &console, &QDialog::accept);
  grid->addWidget(pull, 4, 0);
  grid->addWidget(push, 4, 1);
  grid->addWidget(help, 4, 3, 1, 2);
  grid->addWidget(clear, 4, 5);
  grid->addWidget(ok, 4, 6);
  console.adjustSize();
  WindowPlace place{"frmOneInput", x(), y() + frameGeometry().height(), console.width(), console.height(), false};
  SetInnerWorkArea(place, 100, 100, Win32ApiClass::GetWorkArea());
  console.move(place.left, place.top);
  console.exec();
  return S(txtSousa->text());
}

void frmMain::Beep() { QApplication::beep(); }

void frmMain::StopSound() {
  if (midi_) midi_->StopSound();
}

std::uint32_t frmMain::TickCount() { return Win32ApiClass::GetTickCount(); }

void frmMain::PumpOnce() { QCoreApplication::processEvents(); }

void frmMain::Wait(int ms) {
  if (closing_) return;
  ms = static_cast<int>(ms * options_.timeScale);
  if (ms <= 0) {
    PumpOnce();
    return;
  }
  // The window goes on painting and answering while the game waits; the CPU idles.
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace kelvara::qt
