// The game without a mouse and without seeing it: the yard's keyboard cursor, the yard as
// assistive technology reads it, and the names every control gives a screen reader.
#include <QAbstractItemView>
#include <QAbstractButton>
#include <QAccessible>
#include <QElapsedTimer>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStatusBar>
#include <QTableWidget>
#include <filesystem>
#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "model/durations.h"
#include "sandbox.h"
#include "model/solver.h"
#include "qt/applynational.h"
#include "qt/frmoneinput.h"
#include "qt/frmshortcuts.h"
#include "qt/yardaccess.h"
#include "window_fixture.h"

namespace kelvara::testing {
namespace {

using ::testing::HasSubstr;

struct AccessTest : WindowFixture {
  Game& G() { return window->game(); }
  qt::YardView& View() { return window->view(); }
  void StartIn(bool japanese, bool activate = true) {
    ::setenv("LC_ALL", japanese ? "ja_JP.UTF-8" : "en_US.UTF-8", 1);
    Settings();
    Start("nsp nss");
    ::unsetenv("LC_ALL");
    if (!activate) return;
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  std::string T(int id) const { return window->texts().Text(id); }
  // Where the keys go: the control holding the keyboard, or the window while none does (the
  // offscreen desktop does not always tell the application which window is active).
  QWidget* Focus() const {
    if (QApplication::focusWidget() != nullptr) return QApplication::focusWidget();
    return window->focusWidget() != nullptr ? window->focusWidget() : window.get();
  }
  // A key pressed where the keyboard is, as the player presses it.
  void Press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    // The desktop gives the keyboard back to the window when a menu or window of it has gone
    // (the offscreen one leaves that to us).
    if (QApplication::activePopupWidget() == nullptr && QApplication::activeModalWidget() == nullptr &&
        QApplication::activeWindow() != window.get()) {
      QApplication::setActiveWindow(window.get());
      ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == window.get(); }));
    }
    QTest::keyClick(Focus(), static_cast<Qt::Key>(key), mods);
  }
  // A menu item through its menu's access key and its own.
  void PressMenu(const char* menu, const char* item) {
    auto key = [](const QString& caption) {
      const int at = caption.indexOf('&');
      return at >= 0 && at + 1 < caption.size() ? caption[at + 1].toUpper().unicode() : 0;
    };
    Press(key(window->menu(menu)->text()), Qt::AltModifier);
    ASSERT_TRUE(WaitFor([] { return QApplication::activePopupWidget() != nullptr; })) << "no menu opened";
    QTest::keyClick(QApplication::activePopupWidget(), static_cast<Qt::Key>(key(window->menu(item)->text())));
    ASSERT_TRUE(WaitFor([] { return QApplication::activePopupWidget() == nullptr; })) << "the menu stayed open";
    // The desktop hands the window its activation back (the offscreen one leaves it to us).
    if (QApplication::activeWindow() != window.get()) QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == window.get(); }));
  }
  // Tab until the yard has the keyboard.
  void TabToYard() {
    for (int i = 0; i < 12 && (i == 0 || Focus() != &View()); ++i) Press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &View()) << "Tab never reached the yard";
  }
  // Arrow keys until the cursor stands on the cell.
  void CursorTo(int cell) {
    for (int i = 0; i < 3 && View().Cursor() / kVisible != cell / kVisible; ++i) {
      Press(View().Cursor() / kVisible < cell / kVisible ? Qt::Key_Down : Qt::Key_Up);
    }
    for (int i = 0; i < kVisible && View().Cursor() != cell; ++i) {
      Press(View().Cursor() < cell ? Qt::Key_Right : Qt::Key_Left);
    }
    ASSERT_EQ(View().Cursor(), cell);
  }
  // The next of the fewest moves from the position, played with the yard's keys.
  void PlayNextByKeys() {
    const SolveResult best = SolveFewest(G().yard, G().Route, G().LocoUnits, G().TrainCars);
    if (best.commands.empty() || G().yard.GetLocoNum(kHeadShunt) > 0) {
      Press(Qt::Key_B);  // the back-in: the start of a quiz, or the one that completes it
      return;
    }
    const OneInputCommand& next = best.commands.front();
    if (next.letter == "C") {
      const int line = G().Route, after = G().yard.GetLocoAfterPosition(line);
      CursorTo(line * kVisible + after + next.number - 1);
      EXPECT_EQ(CarsUpTo(G().yard, View().Cursor()), next.number);
      Press(Qt::Key_Return);
      ASSERT_EQ(Focus(), &View()) << "the keyboard stays on the yard after a pull";
      Press(Qt::Key_B);
    } else {
      for (const char digit : std::to_string(next.number)) Press(Qt::Key_0 + (digit - '0'));
      EXPECT_EQ(NumberBox()->currentText().toStdString(), std::to_string(next.number));
      Press(Qt::Key_Backspace);
    }
    ASSERT_EQ(Focus(), &View()) << "the keyboard stays on the yard after a back-in";
  }
};

// New game, the cursor, pull, back, a hint, undo and redo, to the completion: keys alone, in
// English and in Japanese.
TEST_F(AccessTest, AWholeGameWithTheKeyboardAloneInBothLanguages) {
  for (const bool japanese : {false, true}) {
    SCOPED_TRACE(japanese ? "ja" : "en");
    StartIn(japanese);
    G().lib().Seed(japanese ? 21 : 4);
    ASSERT_NO_FATAL_FAILURE(PressMenu("mnuGame", "mnuGameNewGame"));
    ASSERT_EQ(G().phase(), Phase::Playing);
    TabToYard();
    // The cursor starts on the locomotive, drawn, and the guide says where it is.
    ASSERT_GE(View().Cursor(), 0);
    EXPECT_TRUE(View().SlotText(View().Cursor()).starts_with('L'));
    EXPECT_EQ(Guide(), qt::CursorGuide(View(), View().Cursor()));
    EXPECT_THAT(Guide().toStdString(), HasSubstr(Fill(T(7550), "1", std::to_string(G().LocoUnits))));
    Press(Qt::Key_Right);
    EXPECT_THAT(Guide().toStdString(), HasSubstr(qt::SlotPlace(window->texts(), View().Cursor()).toStdString()));
    Press(Qt::Key_Home);
    EXPECT_EQ(View().Cursor() % kVisible, 0);
    Press(Qt::Key_End);
    EXPECT_EQ(View().Cursor() % kVisible, kVisible - 1);
    Press(Qt::Key_Up);
    Press(Qt::Key_Up);
    Press(Qt::Key_Up);
    EXPECT_EQ(View().Cursor(), kVisible - 1) << "the head shunt is the top line";

    // A pull from a line the route is not set to is refused, and said.
    const Yard start = G().yard;
    if (G().Route == 1 || G().Route == 2) {
      const int other = 3 - G().Route;
      CursorTo(other * kVisible);
      Press(Qt::Key_Return);
      EXPECT_EQ(G().yard, start);
      EXPECT_FALSE(Guide().isEmpty());
      EXPECT_EQ(View().Announcement(), Guide());
    }

    // A hint, from the keyboard, then a move, undone and done again.
    Press(Qt::Key_H, Qt::ControlModifier);
    Settle();
    EXPECT_FALSE(G().HintText.empty());
    PlayNextByKeys();
    const Yard afterOne = G().yard;
    EXPECT_NE(afterOne, start);
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(G().yard, start);
    Press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(G().yard, afterOne);
    if (Focus() != &View()) TabToYard();

    for (int moves = 0; moves < 40 && G().phase() == Phase::Playing; ++moves) {
      ASSERT_NO_FATAL_FAILURE(PlayNextByKeys());
      EXPECT_FALSE(View().Announcement().isEmpty());
    }
    EXPECT_EQ(G().phase(), Phase::Complete);
    EXPECT_THAT(View().Announcement().toStdString(), HasSubstr(T(5460))) << "the completion is said";
    // The completion's lines in the one-line bar at each size: every panel whole in height.
    EXPECT_THAT(Guide().toStdString(), HasSubstr("\n"));
    for (const int zoom : {2, 1}) {
      const std::string size = "mnuViewZoom" + std::to_string(zoom);
      Trigger(size.c_str());
      ASSERT_TRUE(window->menu(size.c_str())->isChecked()) << "the test screen holds the size (full HD)";
      for (QLabel* panel : window->statusBar()->findChildren<QLabel*>()) {
        if (!panel->isVisible()) continue;
        EXPECT_FALSE(panel->text().contains('\n')) << panel->objectName().toStdString();
        EXPECT_GE(panel->contentsRect().height(), panel->fontMetrics().height()) << panel->objectName().toStdString();
      }
      if (const char* shots = std::getenv("KELVARA_SHOTS")) {
        window->grab().save(QString("%1/completed-%2-%3x.png").arg(shots, japanese ? "ja" : "en").arg(zoom));
      }
    }
    if (const char* shots = std::getenv("KELVARA_SHOTS")) {
      G().lib().Seed(5);
      Trigger("mnuGameNewGame");
      TabToYard();
      int car = 0;
      while (car < kCells && !G().yard.at(car / kVisible, car % kVisible).IsCar()) ++car;
      CursorTo(car + 1 < kCells && G().yard.at((car + 1) / kVisible, (car + 1) % kVisible).IsCar() ? car + 1 : car);
      window->grab().save(QString(shots) + (japanese ? "/cursor-ja.png" : "/cursor-en.png"));
    }
    window->close();
    window.reset();
  }
}

// What assistive technology reads of the yard: three lines of 20 slots named by what stands
// there, the route and the signs; and after each move what it says.
TEST_F(AccessTest, TheYardIsReadAsLinesOfSlotsAndSaysEachMove) {
  StartIn(false);
  G().lib().Seed(9);
  Trigger("mnuGameNewGame");
  QAccessibleInterface* yard = QAccessible::queryAccessibleInterface(&View());
  ASSERT_NE(yard, nullptr);
  EXPECT_EQ(yard->text(QAccessible::Name).toStdString(), "Yard");
  ASSERT_EQ(yard->childCount(), kDumpLines + 1 + qt::kSigns);
  EXPECT_EQ(yard->child(0)->text(QAccessible::Name), "head shunt");
  EXPECT_EQ(yard->child(2)->text(QAccessible::Name), "line 2");
  auto names = [&] {
    std::vector<std::string> all;
    for (int line = 0; line < kDumpLines; ++line) {
      QAccessibleInterface* l = yard->child(line);
      EXPECT_EQ(l->role(), QAccessible::List);
      EXPECT_EQ(l->childCount(), kVisible);
      for (int k = 0; k < kVisible; ++k) {
        EXPECT_EQ(l->child(k)->parent(), l);
        EXPECT_EQ(l->indexOfChild(l->child(k)), k);
        all.push_back(l->child(k)->text(QAccessible::Name).toStdString());
      }
    }
    return all;
  };
  // Each slot as the yard holds it.
  std::vector<std::string> before = names();
  int locos = 0, cars = 0;
  for (int cell = 0; cell < kCells; ++cell) {
    const Slot& slot = G().yard.at(cell / kVisible, cell % kVisible);
    const std::string& name = before[static_cast<std::size_t>(cell)];
    if (slot.IsEmpty()) {
      EXPECT_EQ(name, "empty");
    } else if (slot.IsLoco()) {
      EXPECT_EQ(name, "locomotive " + std::to_string(slot.number()) + " of " + std::to_string(G().LocoUnits));
      ++locos;
    } else {
      EXPECT_EQ(name, "car " + std::to_string(slot.number()));
      ++cars;
    }
  }
  EXPECT_EQ(locos, G().LocoUnits);
  EXPECT_EQ(cars, G().TrainCars);
  // The slot's place, its rectangle on the screen inside the yard's, a cell under a point.
  QAccessibleInterface* first = yard->child(1)->child(0);
  EXPECT_EQ(first->text(QAccessible::Description), "line 1, slot 00");
  EXPECT_TRUE(yard->rect().contains(first->rect()));
  EXPECT_EQ(yard->childAt(first->rect().center().x(), first->rect().center().y()), first);
  EXPECT_EQ(yard->child(kDumpLines)->text(QAccessible::Name).toStdString(), qt::RouteName(View()).toStdString());
  for (int i = kDumpLines; i < yard->childCount(); ++i) {
    EXPECT_TRUE(yard->rect().contains(yard->child(i)->rect())) << "sign " << i;
    EXPECT_FALSE(yard->child(i)->rect().isEmpty());
  }
  EXPECT_THAT(yard->child(kDumpLines + 1)->text(QAccessible::Name).toStdString(), HasSubstr("Route signal"));

  // Moves: the slots' names follow the yard, the yard says where everything stands.
  Click("cmdBack");
  EXPECT_EQ(View().Announcement(), qt::YardSummary(View()));
  EXPECT_THAT(View().Announcement().toStdString(), ::testing::EndsWith(" empty")) << "up to the car stopper";
  before = names();
  const SolveResult best = SolveFewest(G().yard, G().Route, G().LocoUnits, G().TrainCars);
  ASSERT_FALSE(best.commands.empty());
  Number(best.commands.front().letter == "C" ? std::to_string(best.commands.front().number) : "0");
  Click("cmdFront");
  EXPECT_NE(names(), before);
  EXPECT_THAT(View().Announcement().toStdString(), ::testing::StartsWith("head shunt: locomotive 1 of"));
  EXPECT_EQ(View().Announcement(), qt::YardSummary(View()));
  EXPECT_THAT((qt::SignName(View(), 1) + qt::SignName(View(), 2)).toStdString(), HasSubstr("proceed"));
  // A command refused says so: Front again before the back-in.
  ASSERT_FALSE(G().Allows(GameCommand::Front));
  const int said = View().Announcements();
  View().SetCursor(kVisible);
  QTest::keyClick(&View(), Qt::Key_Return);
  EXPECT_EQ(View().Announcements(), said + 1);
  EXPECT_EQ(View().Announcement().toStdString(), T(7660));
  // The slot's press action pulls as Enter does.
  Click("cmdBack");
  QAccessibleActionInterface* action = first->actionInterface();
  ASSERT_NE(action, nullptr);
  EXPECT_THAT(action->actionNames(), ::testing::Contains(QAccessibleActionInterface::pressAction()));
  // Pushed through the car stopper: the derailment is said.
  Trigger("mnuGameNewGame");
  Click("cmdBack");
  Number("19");
  Click("cmdBack");
  ASSERT_EQ(G().phase(), Phase::Derailed);
  EXPECT_EQ(View().Announcement().toStdString(), T(5610) + ": " + T(5620));
}

// Every control a player can reach with Tab, in the main window and the windows it opens, has a
// name a screen reader can say, in the game's language.
TEST_F(AccessTest, EveryControlHasANameInTheGamesLanguage) {
  for (const bool japanese : {false, true}) {
    SCOPED_TRACE(japanese ? "ja" : "en");
    StartIn(japanese);
    auto check = [](QWidget& w) {
      for (QWidget* c : w.findChildren<QWidget*>()) {
        if (!c->isVisibleTo(&w) || (c->focusPolicy() & Qt::TabFocus) == 0 || c->focusProxy() != nullptr) continue;
        if (qobject_cast<QAbstractScrollArea*>(c->parentWidget()) != nullptr) continue;  // a viewport
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c);
        ASSERT_NE(a, nullptr);
        const QString name = a->text(QAccessible::Name).trimmed();
        const std::string where =
            w.objectName().toStdString() + "." + c->objectName().toStdString() + " (" + c->metaObject()->className() + ")";
        EXPECT_FALSE(name.isEmpty()) << where;
        EXPECT_FALSE(name.endsWith(".bmp", Qt::CaseInsensitive)) << where;
        // A combo box's name on this desktop is its value ("5"): what it is comes from the label
        // it is labelled by, which a screen reader reads before it.
        if (qobject_cast<QComboBox*>(c) != nullptr && c->objectName() != "cmbCutTrainNum") {
          const auto labels = a->relations(QAccessible::Label);
          EXPECT_FALSE(labels.isEmpty()) << where << " is labelled by nothing";
          for (const auto& [label, relation] : labels) {
            EXPECT_FALSE(label->text(QAccessible::Name).trimmed().isEmpty()) << where;
          }
        }
      }
    };
    check(*window);
    // Tab goes through the main window's controls in reading order: the yard, then left to right.
    std::vector<QString> order;
    QWidget* w = &View();
    for (int i = 0; i < 200 && order.size() < 4; ++i, w = w->nextInFocusChain()) {
      for (const char* name : {"picView", "cmdFront", "cmbCutTrainNum", "cmdBack"}) {
        if (w->objectName() == name && std::find(order.begin(), order.end(), name) == order.end()) order.emplace_back(name);
      }
    }
    EXPECT_THAT(order, ::testing::ElementsAre("picView", "cmdFront", "cmbCutTrainNum", "cmdBack"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(NumberBox())->text(QAccessible::Name).toStdString(), T(7760));
    for (const char* item : {"mnuOptionOption", "mnuGameChangeTrainHand", "mnuViewAnser", "mnuHelpKeys", "mnuHelpAbout",
                             "mnuGameStatistics", "mnuOptionDataInstall"}) {
      SCOPED_TRACE(item);
      if (!window->menu(item)->isEnabled()) continue;
      WithModal([&] { window->menu(item)->trigger(); }, check);
    }
    // The console: its text box, and the keys of one letter say what they do.
    {
      qt::frmOneInput console(nullptr, [] {});
      qt::ApplyNational(console, window->texts());
      check(console);
      QAccessibleInterface* del = QAccessible::queryAccessibleInterface(console.findChild<QPushButton*>("cmdNum_0"));
      EXPECT_EQ(del->text(QAccessible::Name).toStdString(), "D: " + window->texts().GetCaptionText(113));
    }
    window->close();
    window.reset();
  }
}

// What a reader meets beyond the names: Tab leaves every table, the keypad's Enter is left to the
// screen reader, a new quiz is said first as new, the answer view's moves are read in words, the
// number box takes digits only and grows with the window, and a Back that moves nothing is no
// step to take back.
TEST_F(AccessTest, NoTrapNoStolenKeyNothingStale) {
  StartIn(false);
  G().lib().Seed(4);
  Trigger("mnuGameNewGame");
  Settle();
  ASSERT_EQ(G().phase(), Phase::Playing);
  EXPECT_THAT(View().Announcement().toStdString(), ::testing::StartsWith(T(7820) + " ")) << "not the last game's words";

  // The answer view: the list as described, the moves in words beside it.
  WithModal([&] { Trigger("mnuViewAnser"); }, [&](QWidget& w) {
    const QString words = w.findChild<QPlainTextEdit*>("txtAnser")->accessibleDescription();
    EXPECT_THAT(words.toStdString(), HasSubstr("Move 1: pull "));
    EXPECT_EQ(words.indexOf("C "), -1) << words.toStdString();
  });

  // The number box: digits only, at every size as tall as the window's font makes them.
  NumberBox()->lineEdit()->clear();
  QTest::keyClicks(NumberBox()->lineEdit(), "a1r2");
  EXPECT_EQ(NumberBox()->currentText(), "12");
  NumberBox()->lineEdit()->clear();
  const int small = NumberBox()->lineEdit()->fontMetrics().height();
  Trigger("mnuViewZoom2");
  ASSERT_TRUE(window->menu("mnuViewZoom2")->isChecked());
  EXPECT_GE(NumberBox()->lineEdit()->fontMetrics().height(), small * 3 / 2);
  if (const char* shots = std::getenv("KELVARA_SHOTS")) {
    Number("12");
    window->grab().save(QString(shots) + "/number-2x.png");
    Number("");
  }
  Trigger("mnuViewZoom1");

  // The keypad's Enter on the yard pulls nothing; the main Enter does.
  Click("cmdBack");
  ASSERT_GT(G().yard.GetLocoNum(G().Route), 0);
  TabToYard();
  CursorTo(G().Route * kVisible + G().yard.GetLocoAfterPosition(G().Route));
  const Yard before = G().yard;
  Press(Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(G().yard, before);
  Press(Qt::Key_Return);
  EXPECT_NE(G().yard, before);
  // Back with an empty box after the back-in: nothing moved, no step to take back.
  Click("cmdBack");
  ASSERT_TRUE(Enabled("mnuGameUndo"));
  Trigger("mnuGameUndo");
  const Yard backIn = G().yard;
  Trigger("mnuGameRedo");
  const Yard after = G().yard;
  Number("");
  Click("cmdBack");
  EXPECT_EQ(G().yard, after);
  Trigger("mnuGameUndo");
  EXPECT_EQ(G().yard, backIn) << "the undo takes back the last real move";

  // The made-up train's pictures are named by what each unit is and where it stands.
  Trigger("mnuViewMakeedUpTrain");
  ASSERT_TRUE(WaitFor([] { return Shown("frmTrain") != nullptr; }));
  int named = 0;
  for (QLabel* picture : Shown("frmTrain")->findChildren<QLabel*>()) {
    if (!picture->isVisible()) continue;
    EXPECT_FALSE(picture->accessibleName().endsWith(".bmp", Qt::CaseInsensitive)) << picture->accessibleName().toStdString();
    named += picture->accessibleName().startsWith("car ") || picture->accessibleName().startsWith("locomotive ");
  }
  EXPECT_EQ(named, G().TrainCars + G().LocoUnits);
  Shown("frmTrain")->close();

  // Tables let Tab go on; the chart is said in words.
  Trigger("mnuGameRestart");
  console = std::optional<std::string>(*SolveOneInput(G().yard, G().LocoUnits, G().TrainCars));
  window->settings().OneInput = true;
  Click("cmdBack");
  Settle();
  for (const char* item : {"mnuGameStatistics", "mnuHelpKeys"}) {
    SCOPED_TRACE(item);
    WithModal([&] { Trigger(item); }, [&](QWidget& w) {
      const auto tables = w.findChildren<QAbstractItemView*>();
      EXPECT_FALSE(tables.isEmpty());
      for (QAbstractItemView* t : tables) {
        if (t->isVisibleTo(&w)) {
          EXPECT_FALSE(t->tabKeyNavigation()) << t->objectName().toStdString();
        }
      }
      for (QWidget* chart : w.findChildren<QWidget*>("chart")) {
        EXPECT_THAT(chart->accessibleDescription().toStdString(), HasSubstr("1 completed"));
      }
    });
  }
}

// A screen reader plays a game through the real accessibility bus: run by atspi_test.sh under a
// private D-Bus session and an X server, with the platform's accessibility on.
TEST_F(AccessTest, DISABLED_AScreenReaderPlaysAGameOverTheBus) {
  const char* script = std::getenv("KELVARA_ATSPI_SCRIPT");
  ASSERT_NE(script, nullptr) << "run by atspi_test.sh";
  QElapsedTimer clock;
  clock.start();
  StartIn(false, false);  // no window manager on that display: nothing to activate it
  std::printf("started in %lld ms\n", static_cast<long long>(clock.elapsed()));
  // A quiz of a few moves. They are worked out on a copy: the back-in, then the fewest from there.
  SolveResult best;
  for (std::uint64_t seed = 9; seed < 60 && best.commands.size() < 3; ++seed) {
    G().lib().Seed(seed);
    Trigger("mnuGameNewGame");
    Sandbox box(G().yard, G().Route, G().LocoUnits, G().TrainCars);
    box.game().cmdBack_Click();
    best = SolveFewest(box.game().yard, box.game().Route, G().LocoUnits, G().TrainCars);
    ASSERT_EQ(best.outcome, SolveResult::Outcome::Solved);
  }
  QStringList steps{"B"};
  for (const OneInputCommand& c : best.commands) {
    if (c.letter == "C") {
      steps << QString::number(c.number) + "F" << "B";
    } else {
      steps << QString::number(c.number) + "B";
    }
  }
  QStringList names{QString::fromStdString(T(7500)), Button("cmdFront")->text().remove('&'),
                    Button("cmdBack")->text().remove('&'), QString::fromStdString(T(7760)), QString::fromStdString(T(5460))};
  for (int cell = 0; cell < kCells; ++cell) names << qt::SlotName(View(), cell);
  dir.Write("names.txt", names.join("\n").toStdString());

  QProcess reader;
  reader.setProcessChannelMode(QProcess::MergedChannels);
  reader.start("/usr/bin/python3", QStringList{script, QString::fromStdString(dir / "names.txt")} + steps);
  ASSERT_TRUE(reader.waitForStarted());
  WaitFor([&] { return reader.state() == QProcess::NotRunning; }, 180000);
  const std::string said = reader.readAll().toStdString();
  std::printf("%s\n(%zu characters from the screen reader)\n", said.c_str(), said.size());
  std::fflush(stdout);
  if (reader.state() != QProcess::NotRunning) {
    reader.kill();
    reader.waitForFinished();
    FAIL() << "the screen reader's side did not finish";
  }
  EXPECT_EQ(reader.exitCode(), 0) << said;
  EXPECT_TRUE(QAccessible::isActive()) << "the bridge to the bus was on";
  EXPECT_EQ(G().phase(), Phase::Complete);
  EXPECT_THAT(said, HasSubstr("OK"));
}

// A blind player's game by keys while the real screen reader listens: run by orca_test.sh under a
// private session bus, an X server and a window manager, with Orca and its speech. The keys are
// the X server's own (xdotool), as a player's are: the screen reader sees each. What the game says
// goes to KELVARA_ORCA_SAID, a line each, for the script to find in what Orca spoke.
TEST_F(AccessTest, DISABLED_OrcaHearsAGamePlayedByKeys) {
  const char* out = std::getenv("KELVARA_ORCA_SAID");
  ASSERT_NE(out, nullptr) << "run by orca_test.sh";
  const char* lang = std::getenv("KELVARA_ORCA_LANG");
  StartIn(lang != nullptr && std::string(lang) == "ja", false);
  QStringList said;
  QObject::connect(&View(), &qt::YardView::announced, [&](const QString& text) { said << text; });
  // Keys as the X server delivers them; then the game and the screen reader have their time.
  // The screen reader works through every event it hears, a few dozen a second: the player waits
  // until it has caught up (its log stands still), as a player who listens does.
  const char* orcaLog = std::getenv("KELVARA_ORCA_LOG");
  auto caughtUp = [orcaLog] {
    if (orcaLog == nullptr) return;
    qint64 size = -1;
    for (int still = 0, waited = 0; still < 6 && waited < 1200; ++waited) {
      const qint64 now = QFileInfo(QString::fromUtf8(orcaLog)).size();
      still = now == size ? still + 1 : 0;
      size = now;
      Pump(100);
    }
  };
  // The window keeps answering meanwhile: the screen reader asks it about every key and event.
  auto keys = [&caughtUp](const QStringList& names) {
    for (const QString& name : names) {
      QProcess xdotool;
      xdotool.start("xdotool", QStringList{"key", name});
      ASSERT_TRUE(xdotool.waitForStarted());
      ASSERT_TRUE(WaitFor([&] { return xdotool.state() == QProcess::NotRunning; }));
      ASSERT_EQ(xdotool.exitCode(), 0);
      caughtUp();
    }
  };
  // A quiz of a few moves, made as New Game makes it, looked for before the screen reader listens:
  // the quizzes tried would only keep it busy.
  for (std::uint64_t seed = 9; seed < 80; ++seed) {
    G().lib().Seed(seed);
    Trigger("mnuGameNewGame");
    Settle();
    if (G().FewestProven && G().FewestMoves >= 2 && G().FewestMoves <= 3) break;
  }
  said.clear();
  if (const char* ready = std::getenv("KELVARA_ORCA_READY")) {
    std::ofstream(ready) << "ready\n";
    ASSERT_TRUE(WaitFor([] { return std::filesystem::exists(std::getenv("KELVARA_ORCA_GO")); }, 120000))
        << "the screen reader never began";
  }
  // The window system's keyboard on the window, as a click on it would put it: the keys below
  // go where X sends them. Then what the screen reader says first of the window.
  QProcess activate;
  activate.start("xdotool", {"windowactivate", "--sync", QString::number(window->winId())});
  ASSERT_TRUE(activate.waitForStarted());
  ASSERT_TRUE(WaitFor([&] { return activate.state() == QProcess::NotRunning; }));
  ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == window.get(); }));
  caughtUp();
  for (int i = 0; i < 12 && Focus() != &View(); ++i) keys({"Tab"});
  ASSERT_EQ(Focus(), &View());
  keys({"Return"});  // the locomotive stands on the head shunt: refused
  keys({"ctrl+h"});  // a hint
  Settle();
  // The game's waits take no time here; where a player listens (the completion window, the start
  // of the departure run) the screen reader is given its time. Escape cuts the run short.
  bool escaped = false;
  onWait = [&](int ms) {
    if (ms == durations::kCompleteWindow) caughtUp();
    if (!escaped && G().phase() == Phase::DepartureRun) {
      escaped = true;
      caughtUp();
      QProcess::startDetached("xdotool", {"key", "Escape"});
    }
  };
  for (int i = 0; i < 12 && G().phase() == Phase::Playing; ++i) {
    const SolveResult best = SolveFewest(G().yard, G().Route, G().LocoUnits, G().TrainCars);
    if (best.commands.empty() || G().yard.GetLocoNum(kHeadShunt) > 0) {
      keys({"b"});
    } else if (best.commands.front().letter == "C") {
      const int line = G().Route, after = G().yard.GetLocoAfterPosition(line);
      const int cell = line * kVisible + after + best.commands.front().number - 1;
      QStringList moves;
      for (int l = View().Cursor() / kVisible; l != cell / kVisible; l += l < cell / kVisible ? 1 : -1) {
        moves << (l < cell / kVisible ? "Down" : "Up");
      }
      const int from = cell / kVisible * kVisible + View().Cursor() % kVisible;
      for (int c = from; c != cell; c += c < cell ? 1 : -1) moves << (c < cell ? "Right" : "Left");
      if (!moves.isEmpty()) keys(moves);
      ASSERT_EQ(View().Cursor(), cell);
      keys({"Return"});
      keys({"b"});
    } else {
      QStringList digits;
      for (const char d : std::to_string(best.commands.front().number)) digits << QString(QChar(d));
      keys(digits + QStringList{"BackSpace"});
    }
    ASSERT_TRUE(WaitFor([&] { return IsSettled(G().phase()) || G().phase() == Phase::DepartureRun; }))
        << PhaseName(G().phase());
  }
  ASSERT_TRUE(WaitFor([&] { return G().phase() == Phase::Complete; }));
  onWait = nullptr;
  EXPECT_TRUE(escaped) << "the departure run was cut short with Escape";
  Pump(600);
  // Another quiz, pushed into the car stopper.
  Trigger("mnuGameNewGame");
  Settle();
  caughtUp();
  for (int i = 0; i < 12 && Focus() != &View(); ++i) keys({"Tab"});
  keys({"b"});
  keys({"4", "0", "BackSpace"});
  ASSERT_TRUE(WaitFor([&] { return G().phase() == Phase::Derailed; }));
  Pump(1000);
  dir.Write("said.txt", said.join("\n").toStdString());
  ASSERT_TRUE(std::filesystem::copy_file(dir / "said.txt", out, std::filesystem::copy_options::overwrite_existing));
}

}  // namespace
}  // namespace kelvara::testing
