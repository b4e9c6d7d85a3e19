// The moves as values against the moves as the game made them in place, step by step: for
// thousands of random command sequences on yards of every shipped size, the same frames, boxes,
// log lines, beeps and derailments, in the same order, and the same yard after.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "model/rules.h"
#include "sandbox.h"

namespace kelvara::testing {
namespace {

// A step told as text, so that a difference reads plainly.
std::string Told(const rules::Step& s) {
  std::string out;
  switch (s.kind) {
    case rules::Step::Kind::Log: out = "log " + s.line; break;
    case rules::Step::Kind::Frame: out = "frame"; break;
    case rules::Step::Kind::Settle: out = "settle"; break;
    case rules::Step::Kind::Redraw: out = "redraw"; break;
    case rules::Step::Kind::Beep: out = "beep"; break;
    case rules::Step::Kind::Derail: out = s.first ? "derail first" : "derail again"; break;
    case rules::Step::Kind::Suspend: out = "suspend"; break;
    case rules::Step::Kind::Box:
      out = "box";
      for (const rules::MsgPart& p : s.message) out += p.id != 0 ? " #" + std::to_string(p.id) : " " + p.text;
      out += " icon " + std::to_string(static_cast<int>(s.icon));
      break;
  }
  for (int line = 0; line < 3; ++line) out += " | " + s.yard.DumpLine(line);
  return out;
}

// The moves as the game made them before they were values: changing one yard in place and
// telling each step as it went. Kept here, word for word but for the telling, to hold the
// values to.
struct InPlace {
  Yard yard;
  int LocoUnits = 1;
  bool MakingQuiz = false;
  bool Derailed = false;
  std::vector<std::string> told;

  void Tell(rules::Step::Kind kind, std::string line = {}, std::vector<rules::MsgPart> message = {},
            MsgIcon icon = MsgIcon::None, bool first = false) {
    told.push_back(Told(rules::Step{kind, yard, std::move(line), std::move(message), icon, first}));
  }
  void LogOut(const std::string& text) { Tell(rules::Step::Kind::Log, text); }
  void DrawRefresh3() { Tell(rules::Step::Kind::Frame); }
  void DrawRefresh2() { Tell(rules::Step::Kind::Settle); }
  void Box(std::vector<rules::MsgPart> message, MsgIcon icon = MsgIcon::None) {
    Tell(rules::Step::Kind::Box, {}, std::move(message), icon);
  }
  static std::string N(int v) { return std::to_string(v); }
  static int EmptyCount(const Yard& yard, int line) {
    int n = 0;
    for (int p = 0; p < kVisible; ++p) n += yard.at(line, p).IsEmpty() ? 1 : 0;
    return n;
  }
  static void ShiftDeeper(Yard& yard, int line, int last) {
    for (int k = last; k >= 1; --k) yard.at(line, k) = yard.at(line, k - 1);
    yard.at(line, 0) = Slot::Empty();
  }

  void CutTrain(int from, int to, int count) {
    LogOut("CutTrain In " + N(from) + " to " + N(to) + " with " + N(count));
    const int m = LocoUnits;
    if (count < m) {
      Box({{5470, {}}}, MsgIcon::Exclamation);
      count = m;
    }
    if (count <= 0) return;
    const int c = yard.GetCoupledCarsNum(from);
    if (count > c) {
      if (!MakingQuiz) {
        const int coupled = c > m ? c - m : 0;
        Box({{0, N(count - m)}, {5480, {}}, {0, "\r\n" + N(coupled)}, {5490, {}}});
      }
      count = c;
      if (count == 0) return;
    }
    bool room = true;
    for (int p = 0; p < count && room; ++p) room = yard.at(to, p).IsEmpty();
    if (!room) {
      if (!MakingQuiz) Box({{5500, {}}});
      return;
    }
    for (int p = yard.FirstLocoPosition(from); p >= 1; --p) {
      for (int k = p - 1; k <= p + count - 2; ++k) yard.at(from, k) = yard.at(from, k + 1);
      yard.at(from, p + count - 1) = Slot::Empty();
      DrawRefresh3();
    }
    for (int i = 0; i < count; ++i) {
      for (int k = 1; k < kVisible; ++k) yard.at(to, k - 1) = yard.at(to, k);
      yard.at(to, kVisible - 1) = yard.at(from, 0);
      for (int k = 1; k < count; ++k) yard.at(from, k - 1) = yard.at(from, k);
      yard.at(from, count - 1) = Slot::Empty();
      DrawRefresh3();
    }
    DrawRefresh2();
    LogOut("CutTrain Out " + N(from) + " to " + N(to) + " with " + N(count));
  }

  void AddTrain(int from, int to) {
    LogOut("AddTrain in " + N(from) + " to " + N(to));
    while (!yard.at(from, kVisible - 1).IsEmpty()) {
      if (yard.at(from, kVisible - 1).IsLoco() && EmptyCount(yard, to) < yard.GetLocoNum(from)) return;
      if (!yard.at(to, 0).IsEmpty()) {
        int k = 1;
        while (k < kVisible && !yard.at(to, k).IsEmpty()) ++k;
        if (k == kVisible) return;
        ShiftDeeper(yard, to, k);
      }
      yard.at(to, 0) = yard.at(from, kVisible - 1);
      ShiftDeeper(yard, from, kVisible - 1);
      DrawRefresh3();
    }
    while (yard.GetCarNum(to) != 0) {
      if (yard.FirstLocoPosition(to) < 0) break;
      const int q = yard.GetLocoAfterPosition(to);
      if (q >= kVisible || !yard.at(to, q).IsEmpty()) break;
      ShiftDeeper(yard, to, q);
      DrawRefresh3();
    }
    DrawRefresh2();
    LogOut("AddTrain Out " + N(from) + " to " + N(to));
  }

  bool PushTrain(int line, int count) {
    LogOut("PushTrain In " + N(line) + " pushing " + N(count));
    if (count == 0) {
      Box({{5590, {}}});
      return false;
    }
    Derailed = false;
    if (yard.GetLocoNum(line) == 0) {
      Tell(rules::Step::Kind::Beep);
      DrawRefresh2();
      LogOut("PushTrain Out " + N(line) + " pushing " + N(count));
      return false;
    }
    for (int i = 0; i < count; ++i) {
      if (yard.GetMaxPushing(line) == 0) {
        Tell(rules::Step::Kind::Derail, {}, {}, MsgIcon::None, !Derailed);
        Derailed = true;
        Tell(rules::Step::Kind::Redraw);
      }
      if (yard.FirstLocoPosition(line) < 0) break;
      const int q = yard.GetLocoAfterPosition(line);
      if (q >= kVisible) break;
      int r = q;
      while (r < kVisible && !yard.at(line, r).IsEmpty()) ++r;
      ShiftDeeper(yard, line, r);
      DrawRefresh3();
    }
    const bool ok = !Derailed;
    if (Derailed) Tell(rules::Step::Kind::Suspend);
    DrawRefresh2();
    LogOut("PushTrain Out " + N(line) + " pushing " + N(count));
    return ok;
  }
};

// The finished train of `units` locomotive units and `cars` cars in siding 1.
Yard Finished(int units, int cars) {
  Yard y;
  for (int u = 0; u < units; ++u) y.at(1, u) = Slot::Loco(units - u);
  for (int c = 0; c < cars; ++c) y.at(1, units + c) = Slot::Car(c + 1);
  return y;
}

TEST(RulesTest, TheMovesAsValuesTakeTheStepsTheGameTookInPlace) {
  std::mt19937 random(20261211);
  int commands = 0, derailments = 0, boxes = 0;
  for (int sequence = 0; sequence < 3000; ++sequence) {
    const int units = 1 + static_cast<int>(random() % 2), cars = 2 + static_cast<int>(random() % 15);
    InPlace before{Finished(units, cars), units, random() % 5 == 0, false, {}};
    for (int i = 0; i < 30 && !before.Derailed; ++i, ++commands) {
      const Yard at = before.yard;
      before.told.clear();
      const int kind = static_cast<int>(random() % 3), line = 1 + static_cast<int>(random() % 2);
      const int n = static_cast<int>(random() % 24);
      rules::Outcome now;
      bool pushedBefore = false;
      if (kind == 0) {
        before.CutTrain(line, kHeadShunt, n);
        now = rules::CutTrain(at, line, kHeadShunt, n, units, before.MakingQuiz);
      } else if (kind == 1) {
        before.AddTrain(kHeadShunt, line);
        now = rules::AddTrain(at, kHeadShunt, line);
      } else {
        pushedBefore = before.PushTrain(line, n);
        now = rules::PushTrain(at, line, n);
        EXPECT_EQ(now.pushed && n != 0, pushedBefore);
        EXPECT_EQ(now.derailed, before.Derailed && n != 0);
      }
      std::vector<std::string> told;
      for (const rules::Step& s : now.steps) told.push_back(Told(s));
      ASSERT_EQ(told, before.told) << "sequence " << sequence << ", command " << i;
      ASSERT_EQ(now.yard, before.yard);
      derailments += now.derailed;
      for (const rules::Step& s : now.steps) boxes += s.kind == rules::Step::Kind::Box;
    }
  }
  // The sequences reach what they are for: refusals and derailments, not only plain moves.
  EXPECT_GT(commands, 20000);
  EXPECT_GT(derailments, 300);
  EXPECT_GT(boxes, 2000);
}

// A one-input command on a board against the same command played by a silent game.
TEST(RulesTest, ACommandOnABoardIsWhatTheGamePlays) {
  std::mt19937 random(11);
  int commands = 0, unclean = 0;
  for (int sequence = 0; sequence < 1500; ++sequence) {
    const int units = 1 + static_cast<int>(random() % 2), cars = 2 + static_cast<int>(random() % 15);
    rules::Board board{Finished(units, cars), 1, units, cars};
    if (random() % 2 == 0) board = rules::ConsoleStart(board);
    Sandbox game(board.yard, board.route, units, cars);
    for (int i = 0; i < 25; ++i, ++commands) {
      const char letters[] = {'C', 'C', 'P', 'X'};
      const OneInputCommand c{std::string(1, letters[random() % 4]), static_cast<std::int32_t>(random() % 22)};
      const bool clean = game.Play(c);
      const rules::Played played = rules::Play(board, c);
      ASSERT_EQ(played.board.yard, game.game().yard) << "sequence " << sequence << ", command " << i;
      ASSERT_EQ(played.board.route, game.game().Route);
      ASSERT_EQ(played.Clean(), clean);
      ASSERT_EQ(played.derailed, game.game().Derailed && c.letter == "P" && c.number != 0);
      board = played.board;
      unclean += !clean;
      if (played.derailed) break;
    }
  }
  EXPECT_GT(commands, 10000);
  EXPECT_GT(unclean, 1000);
}

// The quizzes the game makes for fixed seeds, on every train size and at easy, middling and
// long levels, as one digest of their answer lists, yards and counts: a change of how quizzes
// are made shows here.
TEST(RulesTest, FixedSeedsMakeTheSameQuizzes) {
  std::uint64_t digest = 1469598103934665603ull;
  auto mix = [&digest](const std::string& text) {
    for (const unsigned char c : text) digest = (digest ^ c) * 1099511628211ull;
    digest = (digest ^ 0xFF) * 1099511628211ull;
  };
  int quizzes = 0, derailed = 0;
  for (int m = 1; m <= 2; ++m) {
    for (int n = 3; n <= 16; ++n) {
      for (const double level : {5.0, 20.0, 50.0}) {
        for (std::uint64_t seed = 1; seed <= 12; ++seed) {
          Sandbox box(Yard{}, -1, m, n);
          Game& g = box.game();
          g.SetCars();
          g.settings().QuestionLevel = level;
          g.lib().Seed(seed);
          g.MakeQuiz();
          mix(std::to_string(g.DCount) + (g.Derailed ? "D" : "") + " route " + std::to_string(g.Route));
          for (int i = 0; i < g.AnserCount; ++i) mix(g.AnserList[static_cast<std::size_t>(i)]);
          for (int line = 0; line < kTrackLines; ++line) mix(g.yard.DumpLine(line));
          ++quizzes;
          derailed += g.Derailed;
        }
      }
    }
  }
  EXPECT_EQ(quizzes, 2 * 14 * 3 * 12);
  std::printf("quizzes %d, derailed %d, digest %016llx\n", quizzes, derailed, static_cast<unsigned long long>(digest));
  EXPECT_EQ(digest, 0xe9765d8155b04ff5ull);
}

}  // namespace
}  // namespace kelvara::testing
