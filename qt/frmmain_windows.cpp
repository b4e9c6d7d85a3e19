// The windows the main window opens: the answer, the options, the quiz code, the train choice,
// the formation views, the data install, the shortcuts and the about box.
#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "base/folders.h"
#include "base/paths.h"
#include "data/install.h"
#include "qt/applynational.h"
#include "qt/frmabout.h"
#include "qt/frmanserview.h"
#include "qt/frmdatainstall.h"
#include "qt/frmformation.h"
#include "qt/frmmain.h"
#include "qt/frmoneinput.h"
#include "qt/frmoptions.h"
#include "qt/frmshortcuts.h"
#include "qt/frmtrainselect.h"
#include "qt/pictures.h"
#include "qt/qtplatform.h"
#include "qt/windowplace.h"
#include "qt/yardaccess.h"
#include "scene/sceneview.h"
#include "sound/midimci.h"

namespace kelvara::qt {

namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }
std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

void frmMain::ShowAnswer() {
  // The quiz's code above its making moves, to be copied from there too.
  const auto code = game_->QuizCodeText();
  frmAnserView view(this, Q((code ? texts_.Text(7200) + ": " + *code + "\r\n\r\n" : std::string()) + game_->AnswerText()));
  ApplyNational(view, texts_);
  // The moves in words for a screen reader; the list itself keeps its described form.
  view.txtAnser->setAccessibleDescription(AnswerInWords(
      std::vector<std::string>(game_->AnserList.begin(), game_->AnserList.begin() + game_->AnserCount), texts_));
  PlaceInside(view, QRect(frameGeometry().right() + 8, y(), view.width(), view.height()), frmAnserView::kMinimum,
              frmAnserView::kMinimum, WorkArea());
  view.exec();
}

void frmMain::ShowOptions() {
  frmOptions options(this, settings_,
                     frmOptions::Services{msgBoxes_, texts_, MyLibClass::GetIniFileName(), UserFolders().userData,
                                          log_ ? log_->LogFileName : std::string(), [this] { scene_.DrawRefresh(); }});
  PlaceInside(options, QRect(x() + 40, y() + 40, options.sizeHint().width(), options.sizeHint().height()), 0, 0,
              WorkArea());
  options.exec();
  AfterOptions();
}

void frmMain::AfterOptions() {
  // The par in the units the game is played in now, and from here when that is asked for.
  game_->SettingsChanged();
  // Sound switched on again in the options: the device may be tried once more.
  if (settings_.GameSound || settings_.SuccessSound) {
    game_->SoundFailed = false;
    settings_.SoundChosen.reset();
  }
  if (!game_->GameActive || !midi_) return;
  if (settings_.GameSound && !game_->SoundFailed) {
    midi_->OneTime = false;
    game_->PlayTune("railway.mid");
  } else if (!settings_.GameSound) {
    midi_->StopSound();
  }
}

void frmMain::CopyCode() {
  const auto code = game_->QuizCodeText();
  if (!code) return;
  QApplication::clipboard()->setText(Q(*code));
  game_->MsgGuide.Msg(texts_.Text(7270) + *code);
}

void frmMain::ShowPlayCode() {
  QInputDialog ask(this);
  ask.setObjectName("frmPlayCode");
  ask.setWindowTitle(Q(texts_.Text(7200)));
  ask.setLabelText(Q(texts_.Text(7260)));
  ask.setInputMode(QInputDialog::TextInput);
  // What the clipboard holds, when it looks like a code: most often it was copied to be played.
  const QString held = QApplication::clipboard()->text().trimmed();
  if (held.size() >= 20 && held.size() <= 120 && !held.contains('\n')) ask.setTextValue(held);
  ask.resize(std::max(ask.sizeHint().width(), 560), ask.sizeHint().height());
  if (ask.exec() != QDialog::Accepted) return;
  const Game::CodePlay play = game_->PlayQuizCode(ask.textValue().toStdString());
  if (!play.refused.empty()) msgBoxes_.Show(play.refused, MsgButtons::Ok, MsgIcon::Exclamation, texts_.Text(7200));
}

void frmMain::ShowTrainSelect() {
  std::vector<frmTrainSelect::Train> trains;
  for (const auto& t : game_->ListTrainFiles()) trains.push_back({t.path, t.comment});
  frmTrainSelect select(this, texts_, game_->LocoSetNames(), trains);
  PlaceInside(select, QRect(x() + 40, y() + 60, select.sizeHint().width(), select.sizeHint().height()), 0, 0,
              WorkArea());
  select.exec();
  if (!select.Result().isEmpty()) return;
  game_->ChangeTrainByHand(select.LocoChoice(), select.TrainChoice());
}

namespace {

// The units of a formation with their widths in the picture strip, named by what each is and
// where it stands: the locomotive's `locoUnits` first, then the cars.
std::vector<Unit> StripUnits(const std::vector<FormationUnit>& formation, int locoUnits, const ITexts& texts) {
  std::vector<Unit> units;
  const int cars = static_cast<int>(formation.size()) - locoUnits;
  for (std::size_t i = 0; i < formation.size(); ++i) {
    const FormationUnit& u = formation[i];
    std::int32_t w = 0, h = 0;
    ReadBMPSize(u.file, w, h);
    const int at = static_cast<int>(i);
    const std::string place = at < locoUnits ? Fill(texts.Text(7550), std::to_string(at + 1), std::to_string(locoUnits))
                                             : Fill(texts.Text(7840), std::to_string(at - locoUnits + 1), std::to_string(cars));
    units.push_back({u.file, u.comment, UnitSize(w, h).width(), u.comment.empty() ? place : place + ": " + u.comment});
  }
  return units;
}

}  // namespace

void frmMain::ShowMakeUpTable() {
  auto* table = qobject_cast<frmTrainMakuUpTable*>(tableWindow_.data());
  if (table == nullptr) {
    table = new frmTrainMakuUpTable(this);
    tableWindow_ = table;
    ApplyNational(*table, texts_);
  }
  table->Fill(MakeUpTableText(Formation(game_->Loco, game_->TRD)));
  table->show();
  // Its right edge touches the main window's left edge, at the main window's top, wherever the
  // main window stands now.
  PlaceInside(*table, QRect(frameGeometry().left() - table->frameGeometry().width(), y(), table->width(), table->height()),
              100, 100, WorkArea());
  table->raise();
  table->activateWindow();  // the keyboard goes with it: an Escape meant for it must not reach the yard
}

void frmMain::ShowMadeUpTrain() {
  auto* train = qobject_cast<frmTrain*>(trainWindow_.data());
  const bool first = train == nullptr;
  if (first) {
    train = new frmTrain(this);
    trainWindow_ = train;
    ApplyNational(*train, texts_);
  }
  train->Fill(StripUnits(Formation(game_->Loco2, game_->TRD2), game_->Loco2.CarCount(), texts_));
  // Directly below the main window, as wide, tall enough for the strip and its scroll bar.
  const int h = kUnitHeight + train->HScroll1->sizeHint().height();
  if (first) train->setMinimumHeight(h);
  train->show();
  PlaceInside(*train, QRect(x(), frameGeometry().bottom() + 1, width(), h), 100, h, WorkArea());
  train->raise();
  train->activateWindow();  // the keyboard goes with it: an Escape meant for it must not reach the yard
}

void frmMain::ShowCar(int cell) {
  const auto unit = SlotUnit(*game_, cell);
  if (!unit) return;
  auto* car = qobject_cast<frmCar*>(carWindow_.data());
  if (car == nullptr) {
    car = new frmCar(this);
    carWindow_ = car;
    ApplyNational(*car, texts_);
  }
  // Named as the yard names the slot: "car 3" or "locomotive 1 of 2", and what it is.
  Unit shown = StripUnits({*unit}, 0, texts_).front();
  shown.name = S(SlotName(*view_, cell)) + (unit->comment.empty() ? "" : ": " + unit->comment);
  car->Fill(shown);
  // Below the main window with the same left edge, moved up when it would leave the desktop.
  car->show();
  PlaceInside(*car, QRect(x(), frameGeometry().bottom() + 1, car->width(), car->height()), 0, 0, WorkArea());
  car->raise();
  car->activateWindow();  // the keyboard goes with it: an Escape meant for it must not reach the yard
}

void frmMain::ShowDataInstall() {
  // The player's own train folder is made when it is first needed.
  if (settings_.TrdFolder.starts_with(UserFolders().userData + "/")) MakeFolder(settings_.TrdFolder);
  FileCalls calls;
  DataInstall install(msgBoxes_, texts_, settings_.TrdFolder, calls);
  frmDataInstall window(this, texts_, settings_.TrdFolder, install);
  PlaceInside(window, QRect(x() + 40, y() + 40, window.sizeHint().width(), window.sizeHint().height()), 0, 0,
              WorkArea());
  window.exec();
}

void frmMain::ShowShortcuts() {
  // The other windows with keys of their own, made as they open and read, never shown.
  frmOneInput console(nullptr, [] {});
  ApplyNational(console, texts_);
  frmAnserView answer(nullptr, QString());
  ApplyNational(answer, texts_);
  frmOptions options(nullptr, settings_,
                     frmOptions::Services{msgBoxes_, texts_, MyLibClass::GetIniFileName(), UserFolders().userData,
                                          log_ ? log_->LogFileName : std::string(), [] {}});
  frmAbout about(nullptr, texts_, msgBoxes_);
  frmShortcuts keys(this, *this, texts_, {&console, &answer, &options, &about});
  PlaceInside(keys, QRect(x() + 40, y() + 40, keys.width(), keys.height()), 0, 0, WorkArea());
  keys.exec();
}

void frmMain::ShowAbout() {
  frmAbout about(this, texts_, msgBoxes_);
  const QRect screen = this->screen() != nullptr ? this->screen()->geometry() : QRect(0, 0, 1920, 1080);
  about.SetFormCenter(frameGeometry(), screen);
  about.exec();
}

}  // namespace kelvara::qt
