#include "qt/frmoptions.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QKeyEvent>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <cerrno>
#include <cstring>

#include "base/paths.h"
#include "base/platform.h"
#include "base/textfile.h"
#include "qt/applynational.h"
#include "model/difficulty.h"
#include "model/game.h"
#include "services/gini.h"
#include "services/national.h"

namespace kelvara::qt {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

struct Box {
  const char* name;
  int caption;
  bool AppSettings::*field;
};

// Both pages' check boxes in the order of the settings, the sound boxes last.
constexpr Box kBoxes[] = {
    {"chkCarNumGuide", 51, &AppSettings::CarNumGuide},
    {"chkLookCarNumber", 53, &AppSettings::LookCarNumber},
    {"chkCarNumOnMouse", 55, &AppSettings::CarNumOnMouse},
    {"chkReplaceAnimate", 57, &AppSettings::ReplaceAnimate},
    {"chkDisMakeUpDraw", 59, &AppSettings::DisMakeUpDraw},
    {"chkDisMakeUpDrawAnimate", 61, &AppSettings::DisMakeUpDrawAnimate},
    {"chkCompleteRunMainLine", 63, &AppSettings::CompleteRunMainLine},
    {"chkCompleteBigAnimaite", 65, &AppSettings::CompleteBigAnimaite},
    {"chkMakeLog", 67, &AppSettings::MakeLog},
    {"chkOneInput", 93, &AppSettings::OneInput},
    {"chkParFromHere", 140, &AppSettings::ParFromHere},
    {"chkSound_0", 69, &AppSettings::GameSound},
    {"chkSound_1", 71, &AppSettings::SuccessSound},
};

// A control with caption number n carries n + 1 as its tool tip number.
void Number(QObject* o, int n) { SetTag(o, QString::number(n), QString::number(n + 1)); }

}  // namespace

bool SetCmb(QComboBox& combo, const QString& text, int fallback) {
  const int found = combo.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (found >= 0) {
    combo.setCurrentIndex(found);
    return true;
  }
  if (fallback != -1 && combo.count() > 0) combo.setCurrentIndex(combo.count() > fallback ? fallback : 0);
  return false;
}

frmOptions::frmOptions(QWidget* parent, AppSettings& settings, Services services)
    : QDialog(parent), settings_(settings), services_(std::move(services)) {
  setObjectName("frmOptions");
  setProperty("Tag", "50");
  if (parent != nullptr) setWindowIcon(parent->windowIcon());
  auto* outer = new QVBoxLayout(this);

  tbsOptions = new QTabBar(this);
  tbsOptions->setObjectName("tbsOptions");
  tbsOptions->addTab(QString());
  tbsOptions->addTab(QString());
  tbsOptions->setProperty("TabTags", QStringList{"85", "87"});
  tbsOptions->setProperty("TabToolTips", QStringList{"86", "88"});
  outer->addWidget(tbsOptions);
  pages_ = new QStackedWidget(this);
  outer->addWidget(pages_);

  // General: the data folder, the level, the play and drawing settings, the log.
  auto* general = new QWidget(pages_);
  general->setObjectName("picOptions_0");
  auto* g = new QGridLayout(general);
  auto* folderLabel = new QLabel(general);
  folderLabel->setObjectName("label1_0");
  Number(folderLabel, 89);
  g->addWidget(folderLabel, 0, 0);
  txtTrdFolder = new QLineEdit(general);
  txtTrdFolder->setObjectName("txtTrdFolder");
  txtTrdFolder->setMinimumWidth(300);
  g->addWidget(txtTrdFolder, 0, 1);
  folderLabel->setBuddy(txtTrdFolder);  // its name for a screen reader
  auto* browse = new QPushButton(general);
  browse->setObjectName("cmdFolderBrowse");
  Number(browse, 79);
  g->addWidget(browse, 0, 2);
  auto* levelLabel = new QLabel(general);
  levelLabel->setObjectName("label1_1");
  Number(levelLabel, 91);
  g->addWidget(levelLabel, 1, 0);
  cmbLevel = new QComboBox(general);
  cmbLevel->setObjectName("cmbLevel");
  cmbLevel->setEditable(false);  // a list: no typing
  levelLabel->setBuddy(cmbLevel);  // named by its label, not by the level it shows
  g->addWidget(cmbLevel, 1, 1, Qt::AlignLeft);
  auto* difficultyLabel = new QLabel(general);
  difficultyLabel->setObjectName("lblDifficulty");
  Number(difficultyLabel, 142);
  g->addWidget(difficultyLabel, 2, 0);
  cmbDifficulty = new QComboBox(general);
  cmbDifficulty->setObjectName("cmbDifficulty");
  cmbDifficulty->setEditable(false);
  difficultyLabel->setBuddy(cmbDifficulty);
  g->addWidget(cmbDifficulty, 2, 1, Qt::AlignLeft);
  // The level counts only for quizzes by the level.
  connect(cmbDifficulty, &QComboBox::currentIndexChanged, this, [this](int band) { cmbLevel->setEnabled(band <= 0); });

  auto* sound = new QWidget(pages_);
  sound->setObjectName("picOptions_1");
  auto* s = new QVBoxLayout(sound);
  int row = 3;
  for (const Box& b : kBoxes) {
    const bool soundBox = std::string(b.name).starts_with("chkSound");
    auto* box = new QCheckBox(soundBox ? sound : general);
    box->setObjectName(b.name);
    Number(box, b.caption);
    if (soundBox) {
      s->addWidget(box);
    } else {
      g->addWidget(box, row++, 0, 1, 3);
    }
    checks[b.name] = box;
  }
  // The one box whose tool tip number is not its caption number plus one.
  checks["chkCompleteRunMainLine"]->setProperty("ToolTipText", "197");
  s->addStretch();
  auto* logCopy = new QPushButton(general);
  logCopy->setObjectName("cmdLogCopy");
  Number(logCopy, 81);
  g->addWidget(logCopy, row, 0, Qt::AlignLeft);
  pages_->addWidget(general);
  pages_->addWidget(sound);

  auto* buttons = new QHBoxLayout;
  auto button = [&](const char* name, int caption) {
    auto* b = new QPushButton(this);
    b->setObjectName(name);
    Number(b, caption);
    b->setAutoDefault(false);
    return b;
  };
  QPushButton* defaults = button("cmdDefault", 77);
  QPushButton* ok = button("cmdOk", 83);
  QPushButton* cancel = button("cmdCancel", 75);
  QPushButton* apply = button("cmdApply", 73);
  ok->setDefault(true);
  buttons->addWidget(defaults);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(apply);
  outer->addLayout(buttons);

  connect(tbsOptions, &QTabBar::currentChanged, pages_, &QStackedWidget::setCurrentIndex);
  connect(browse, &QPushButton::clicked, this, &frmOptions::FolderBrowse);
  connect(logCopy, &QPushButton::clicked, this, &frmOptions::LogCopy);
  connect(apply, &QPushButton::clicked, this, &frmOptions::Apply);
  connect(ok, &QPushButton::clicked, this, [this] {
    Apply();
    reject();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(defaults, &QPushButton::clicked, this, &frmOptions::Default);
  // Unticking it greys out its companion, which keeps its own tick.
  connect(checks["chkDisMakeUpDraw"], &QCheckBox::clicked, this,
          [this](bool on) { checks["chkDisMakeUpDrawAnimate"]->setEnabled(on); });
  qApp->installEventFilter(this);
  Load();
}

frmOptions::~frmOptions() { qApp->removeEventFilter(this); }

bool frmOptions::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() != QEvent::KeyPress) return false;
  auto* w = qobject_cast<QWidget*>(watched);
  if (w == nullptr || w->window() != this) return false;
  auto* key = static_cast<QKeyEvent*>(e);
  const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
  const int count = tbsOptions->count();
  if (key->key() == Qt::Key_Tab && mods == Qt::ControlModifier) {
    SelectTab((CurrentTab() + 1) % count);
    return true;
  }
  if ((key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Tab) && mods == (Qt::ControlModifier | Qt::ShiftModifier)) {
    SelectTab((CurrentTab() + count - 1) % count);
    return true;
  }
  return false;
}

void frmOptions::Load() {
  ApplyNational(*this, services_.texts);
  SelectTab(0);
  txtTrdFolder->setText(Q(settings_.TrdFolder));
  cmbLevel->clear();
  for (const char* level : {"5", "10", "20", "30", "40", "50"}) cmbLevel->addItem(level);
  SetCmb(*cmbLevel, QString::number(settings_.QuestionLevel), 0);
  cmbDifficulty->clear();
  cmbDifficulty->addItem(Q(services_.texts.Text(7100)));
  for (const ParBand& band : kParBands) {
    cmbDifficulty->addItem(Q(Fill(services_.texts.Text(band.text), std::to_string(band.low), std::to_string(band.high))));
  }
  cmbDifficulty->setCurrentIndex(settings_.Difficulty >= 0 && settings_.Difficulty < cmbDifficulty->count() ? settings_.Difficulty : 0);
  cmbLevel->setEnabled(cmbDifficulty->currentIndex() <= 0);
  for (const Box& b : kBoxes) checks[b.name]->setChecked(settings_.*b.field);
  checks["chkDisMakeUpDrawAnimate"]->setEnabled(checks["chkDisMakeUpDraw"]->isChecked());
}

void frmOptions::SelectTab(int index) {
  tbsOptions->setCurrentIndex(index);
  pages_->setCurrentIndex(index);
}

int frmOptions::CurrentTab() const { return tbsOptions->currentIndex(); }

void frmOptions::Apply() {
  settings_.TrdFolder = txtTrdFolder->text().toStdString();
  settings_.QuestionLevel = cmbLevel->currentText().toInt();
  settings_.Difficulty = std::max(cmbDifficulty->currentIndex(), 0);
  const bool soundsBefore[] = {settings_.GameSound, settings_.SuccessSound};
  for (const Box& b : kBoxes) settings_.*b.field = checks[b.name]->isChecked();
  // Sound the device switched off stays the player's choice in the file until the player
  // touches one of the two boxes.
  if (settings_.GameSound != soundsBefore[0] || settings_.SuccessSound != soundsBefore[1]) settings_.SoundChosen.reset();
  if (!SaveIni(settings_, services_.iniPath)) {
    // The settings hold for this run; the player is told the file kept its old contents.
    services_.msg.Show(std::string(std::strerror(errno)) + ": " + services_.iniPath, MsgButtons::Ok,
                       MsgIcon::Exclamation, {});
  }
  if (services_.redraw) services_.redraw();
}

void frmOptions::Default() {
  if (services_.msg.Show(services_.texts.GetMessageText(90), MsgButtons::OkCancel, MsgIcon::Question, {}) !=
      MsgAnswer::Ok) {
    return;
  }
  CreateIni(settings_, services_.iniPath, services_.dataFolder);
  Load();
}

void frmOptions::FolderBrowse() {
  const std::string chosen = BrowseForFolder(services_.texts.GetMessageText(93), services_.dataFolder);
  if (!chosen.empty()) txtTrdFolder->setText(Q(chosen));
}

void frmOptions::LogCopy() {
  if (!FileExists(services_.logFileName)) {
    services_.msg.Show(services_.texts.GetMessageText(91), MsgButtons::Ok, MsgIcon::Information, {});
    return;
  }
  if (services_.msg.Show(services_.texts.GetMessageText(92), MsgButtons::YesNo, MsgIcon::Information, {}) !=
      MsgAnswer::Yes) {
    return;
  }
  std::string text;
  for (const std::string& line : SplitLines(DecodeText(ReadFileBytes(services_.logFileName, kLogFileLimit).value_or("")))) {
    text += line + "\r\n";
    QCoreApplication::processEvents();
  }
  QClipboard* clipboard = QApplication::clipboard();
  clipboard->clear();
  clipboard->setText(Q(text));
}

}  // namespace kelvara::qt
