// The game without a mouse and without seeing it: the yard's keyboard cursor, the yard as
// assistive technology reads it, and the names every control gives a screen reader.
#include <QAccessible>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QProcess>
#include <QTableWidget>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "model/sandbox.h"
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
    EXPECT_EQ(Panel("Msg")->text(), qt::CursorGuide(View(), View().Cursor()));
    EXPECT_THAT(Panel("Msg")->text().toStdString(), HasSubstr(Fill(T(7550), "1", std::to_string(G().LocoUnits))));
    Press(Qt::Key_Right);
    EXPECT_THAT(Panel("Msg")->text().toStdString(), HasSubstr(qt::SlotPlace(window->texts(), View().Cursor()).toStdString()));
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
      EXPECT_FALSE(Panel("Msg")->text().isEmpty());
      EXPECT_EQ(View().Announcement(), Panel("Msg")->text());
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
        EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty())
            << w.objectName().toStdString() << "." << c->objectName().toStdString() << " (" << c->metaObject()->className() << ")";
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
  for (int waited = 0; reader.state() != QProcess::NotRunning && waited < 180000; waited += 20) QTest::qWait(20);
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

}  // namespace
}  // namespace kelvara::testing
