// The main window's menus, their commands and shortcuts, and the Escape key of the main window.
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>

#include "data/mylib.h"
#include "qt/frmmain.h"
#include "services/gini.h"
#include "qt/yardview.h"

namespace kelvara::qt {

void frmMain::BuildMenus() {
  // The menus and their items in the order of the control table; separators where it has them.
  std::map<std::string_view, QMenu*> menus;
  for (const MainControl& c : kMainControls) {
    if (!c.name.starts_with("mnu")) continue;
    const std::string name(c.name);
    if (c.name == "mnuEscape") {
      // Shown only while the departure run lasts; Escape does the same then.
      QAction* escape = menuBar()->addAction(QString());
      Register(name.c_str(), escape);
      escape->setVisible(false);
    } else if (c.parent.empty()) {
      menus[c.name] = TopMenu(name.c_str());
    } else if (IsSeparator(c.name)) {
      Register(name.c_str(), menus.at(c.parent)->addSeparator());
    } else {
      Item(menus.at(c.parent), name.c_str());
    }
  }
  auto play = [this](const char* name, GameCommand c) {
    connect(menu(name), &QAction::triggered, this, [this, c] { PlayAndTell(c); });
  };
  auto open = [this](const char* name, GameCommand c, void (frmMain::*window)()) {
    connect(menu(name), &QAction::triggered, this, [this, c, window] { Open(c, [this, window] { (this->*window)(); }); });
  };
  connect(menu("mnuFileEnd"), &QAction::triggered, this, [this] { Open(GameCommand::FileEnd, [this] { close(); }); });
  open("mnuViewMakeedUpTrain", GameCommand::ViewMadeUpTrain, &frmMain::ShowMadeUpTrain);
  open("mnuViewMakeUpTable", GameCommand::ViewMakeUpTable, &frmMain::ShowMakeUpTable);
  open("mnuViewAnser", GameCommand::ViewAnser, &frmMain::ShowAnswer);
  connect(menu("mnuViewClearAnimation"), &QAction::triggered, this, [this] {
    if (Play(GameCommand::ViewClearAnimation)) scene_.DrawRefresh();
  });
  auto* zooms = new QActionGroup(this);
  for (int z = 1; z <= 3; ++z) {
    QAction* a = menu(("mnuViewZoom" + std::to_string(z)).c_str());
    a->setCheckable(true);
    a->setActionGroup(zooms);
    a->setShortcut(QKeySequence(QString("Ctrl+%1").arg(z)));
    connect(a, &QAction::triggered, this, [this, z] {
      const bool done = Open(GameCommand::ViewZoom, [this, z] {
        SetZoom(z);
        settings_.Zoom = z;
        SaveZoom(settings_, MyLibClass::GetIniFileName());
      });
      if (!done) SetZoom(zoom_);  // the check mark stays on the size in use
    });
  }

  play("mnuGameNewGame", GameCommand::GameNewGame);
  play("mnuGameRestart", GameCommand::GameRestart);
  play("mnuGameReDisMakeUp", GameCommand::GameReDisMakeUp);
  menu("mnuGameHint")->setShortcut(QKeySequence(QStringLiteral("Ctrl+H")));
  play("mnuGameHint", GameCommand::GameHint);
  menu("mnuGameUndo")->setShortcut(QKeySequence::Undo);
  play("mnuGameUndo", GameCommand::GameUndo);
  // The menu shows the first; Ctrl+Shift+Z works as well, as in most desktop programs.
  menu("mnuGameRedo")->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
  play("mnuGameRedo", GameCommand::GameRedo);
  open("mnuGameStatistics", GameCommand::GameStatistics, &frmMain::ShowStatistics);
  open("mnuGameCopyCode", GameCommand::GameCopyCode, &frmMain::CopyCode);
  open("mnuGamePlayCode", GameCommand::GamePlayCode, &frmMain::ShowPlayCode);
  play("mnuGameDaily", GameCommand::GameDaily);
  play("mnuGameChangeTrainAuto", GameCommand::GameChangeTrainAuto);
  open("mnuGameChangeTrainHand", GameCommand::GameChangeTrainHand, &frmMain::ShowTrainSelect);

  open("mnuOptionOption", GameCommand::OptionOption, &frmMain::ShowOptions);
  open("mnuOptionDataInstall", GameCommand::OptionDataInstall, &frmMain::ShowDataInstall);

  menu("mnuHelpHelp")->setShortcut(QKeySequence::HelpContents);
  open("mnuHelpHelp", GameCommand::HelpHelp, &frmMain::HelpShow);
  open("mnuHelpKeys", GameCommand::HelpKeys, &frmMain::ShowShortcuts);
  open("mnuHelpAbout", GameCommand::HelpAbout, &frmMain::ShowAbout);
  play("mnuEscape", GameCommand::Escape);
}

bool frmMain::eventFilter(QObject* watched, QEvent* e) {
  // The number box keeps its own undo for the digits typed; the game's Undo and Redo keys are
  // the moves' (the box is where the focus rests between moves).
  if (e->type() == QEvent::ShortcutOverride && cutNum_ != nullptr &&
      (watched == cutNum_ || watched == static_cast<QObject*>(cutNum_->lineEdit()))) {
    auto* key = static_cast<QKeyEvent*>(e);
    const QKeySequence pressed(key->keyCombination());
    for (const char* name : {"mnuGameUndo", "mnuGameRedo"}) {
      if (QAction* a = menu(name); a != nullptr && a->shortcuts().contains(pressed)) {
        e->ignore();  // not taken by the box: the shortcut goes ahead
        return true;
      }
    }
    return false;
  }
  if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease) return false;
  auto* key = static_cast<QKeyEvent*>(e);
  if (key->key() != Qt::Key_Escape || key->isAutoRepeat()) return false;
  // The window system hands keys to a QWindow first, which passes them to the focus widget and up
  // through its parents: look at each key once, on the first widget it reaches.
  auto* w = qobject_cast<QWidget*>(watched);
  if (w == nullptr) return false;
  const std::pair<int, unsigned long> seen{e->type(), key->timestamp()};
  if (seen == lastEscape_) return false;
  lastEscape_ = seen;
  // The key is the main window's own when it lands there with no menu open, the menu bar not
  // taken by the keyboard (Alt, or a menu just left with Escape) and no other window of the game
  // in front; and the game must be waiting for the player, or running its departure run.
  QMenuBar* bar = menuBar();
  const bool inBar = w == bar || bar->isAncestorOf(w) || bar->activeAction() != nullptr || bar->hasFocus();
  const QWidget* active = QApplication::activeWindow();
  const bool here = w->window() == this && QApplication::activePopupWidget() == nullptr && !inBar &&
                    QApplication::activeModalWidget() == nullptr &&
                    (active == nullptr || active == this || !active->isVisible());
  const EscapeAction action = game_ ? game_->OnEscape() : EscapeAction::Nothing;
  if (e->type() == QEvent::KeyPress) {
    // Escape that closes a menu, a dialog or a box goes down there; only a press here counts,
    // and for what it meant when it went down: a press that was to cut the run short never
    // closes the window because the run ended before the key came up.
    escapeDown_ = here && action != EscapeAction::Nothing;
    escapeMeant_ = action;
    return false;
  }
  const bool ours = escapeDown_ && here && action == escapeMeant_;
  escapeDown_ = false;
  if (!ours) return false;
  if (action == EscapeAction::CutRunShort) {
    Play(GameCommand::Escape);
  } else if (action == EscapeAction::Close) {
    close();
  }
  return true;
}

}  // namespace kelvara::qt
