// The game's records: each game recorded once as it ends, with its figures; the game in progress
// saved and taken up again exactly as it stood.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "fakes.h"
#include "model/game.h"
#include "yard_builder.h"

namespace kelvara::testing {
namespace {

using ::testing::HasSubstr;

// Plays the hint's next move, as the player would read it.
void PlayHint(Game& game, Fakes& f) {
  game.mnuGameHint_Click();
  const std::string& t = game.HintText;
  if (game.yard.GetLocoNum(kHeadShunt) > 0) {
    game.cmdBack_Click();
    return;
  }
  const bool pull = t.find("(C") != std::string::npos;
  const auto at = t.find(pull ? "(C" : "(P") + 2;
  f.controls.SetText("cmbCutTrainNum", t.substr(at, t.find(')', at) - at));
  pull ? game.cmdFront_Click() : game.cmdBack_Click();
}

struct ProgressTest : ::testing::Test {
  Fakes f;
  FakeRecords records;
  std::unique_ptr<Game> game;

  void New(int m, int n, std::uint64_t seed, int level = 8) {
    f.settings.QuestionLevel = level;
    game = TrainGame(f, m, n, seed);
    game->Recorder = &records;
    game->mnuGameReDisMakeUp_Click();
  }
  void PlayHint() { testing::PlayHint(*game, f); }
};

TEST_F(ProgressTest, EachEndIsRecordedOnceWithItsFigures) {
  // Completed with the hints' help, an undo on the way.
  New(1, 6, 3);
  ASSERT_TRUE(records.games.empty()) << "making a quiz records nothing";
  const int fewest = game->FewestMoves;
  PlayHint();
  PlayHint();
  game->mnuGameUndo_Click();
  f.clock.now += 42'000;
  for (int i = 0; i < 60 && game->GameActive; ++i) PlayHint();
  ASSERT_FALSE(game->GameActive);
  ASSERT_EQ(records.games.size(), 1u);
  const GameRecord done = records.games[0];
  EXPECT_EQ(done.end, GameEnd::Completed);
  EXPECT_EQ(done.moves, fewest);
  EXPECT_EQ(done.fewest, fewest);
  EXPECT_TRUE(done.fewestProven);
  EXPECT_GE(done.hints, fewest);
  EXPECT_EQ(done.undos, 1);
  EXPECT_GE(done.playedMs, 42'000);
  EXPECT_EQ(done.level, 8);
  EXPECT_EQ(done.train, game->CurrentTrain());
  EXPECT_EQ(done.startPosition.substr(0, done.startPosition.find('@')), YardText(game->StartYard));
  EXPECT_THAT(f.scene.completeDetail, ::testing::Not(HasSubstr("<6130>")));

  // Re-make and Restart after the end record nothing more.
  game->mnuGameRestart_Click();
  ASSERT_EQ(records.games.size(), 1u);
  // Left: Restart in the middle of a game, then Re-make.
  PlayHint();
  PlayHint();
  game->mnuGameRestart_Click();
  ASSERT_EQ(records.games.size(), 2u);
  EXPECT_EQ(records.games[1].end, GameEnd::Left);
  EXPECT_EQ(records.games[1].moves, 1) << "the first back-in is not a move";
  PlayHint();
  game->mnuGameReDisMakeUp_Click();
  ASSERT_EQ(records.games.size(), 3u);
  EXPECT_EQ(records.games[2].end, GameEnd::Left);
  EXPECT_EQ(records.games[2].moves, 0);

  // Derailed: pushed into the stopper.
  game->cmdBack_Click();
  f.controls.SetText("cmbCutTrainNum", "40");
  game->cmdBack_Click();
  ASSERT_TRUE(game->Derailed);
  ASSERT_EQ(records.games.size(), 4u);
  EXPECT_EQ(records.games[3].end, GameEnd::Derailed);
  game->mnuGameReDisMakeUp_Click();
  EXPECT_EQ(records.games.size(), 4u) << "a derailed game was recorded when it ended";

  // A best is said at the completion.
  records.newBest = true;
  for (int i = 0; i < 60 && game->GameActive; ++i) PlayHint();
  EXPECT_THAT(f.scene.completeDetail, HasSubstr("<6130>"));
}

TEST_F(ProgressTest, AQuizNobodyTouchedIsNoGameAndAGameIsRecordedOnce) {
  f.settings.TrdFolder = KELVARA_CARS_DIR;
  New(1, 6, 4);
  // Replaced before any move, in every way a quiz can be replaced: nothing was played.
  game->mnuGameRestart_Click();
  game->mnuGameReDisMakeUp_Click();
  game->mnuGameHint_Click();  // a hint alone moves nothing
  game->DefaultSetFolder = KELVARA_CARS_DIR;
  game->LoadLocoList();
  game->mnuGameDaily_Click();
  ASSERT_FALSE(game->DailyDay.empty());
  const std::string daily = *game->QuizCodeText();
  EXPECT_TRUE(game->PlayQuizCode(daily).played);
  game->mnuGameNewGame_Click();
  EXPECT_TRUE(records.games.empty());

  // One move, then today's quiz in its place: the game left is recorded once, as it stood.
  game->cmdBack_Click();
  f.msg.answers = {MsgAnswer::Yes};
  game->mnuGameDaily_Click();
  ASSERT_EQ(records.games.size(), 1u);
  EXPECT_EQ(records.games[0].end, GameEnd::Left);
  EXPECT_GE(records.games[0].fewest, 0) << "with its par, not the next quiz's unknown one";
  game->cmdBack_Click();
  EXPECT_TRUE(game->PlayQuizCode(daily).played);
  ASSERT_EQ(records.games.size(), 2u);
  EXPECT_EQ(records.games[1].daily, DailyDate(std::chrono::system_clock::now()));
}

TEST_F(ProgressTest, ASavedGameComesBackAsItStood) {
  New(2, 7, 11, 12);
  ASSERT_GT(game->FewestMoves, 4);
  PlayHint();
  PlayHint();
  PlayHint();
  game->mnuGameUndo_Click();
  f.clock.now += 30'000;
  const auto saved = game->SaveGame();
  ASSERT_TRUE(saved);

  // What the first game shows from here on, undo by undo.
  struct Seen {
    Yard yard;
    int route;
    std::string ucount;
    int moves;
    bool operator==(const Seen&) const = default;
  };
  Fakes g;
  auto seen = [](Game& x, Fakes& fx) { return Seen{x.yard, x.Route, fx.status.Panel("UCount"), x.MovesUsed}; };
  std::vector<Seen> before;
  before.push_back(seen(*game, f));
  for (int i = 0; i < 3; ++i) {
    game->mnuGameUndo_Click();
    before.push_back(seen(*game, f));
  }

  auto other = TrainGame(g, 2, 7, 99);
  g.clock.now += 5'000'000;
  ASSERT_EQ(other->ResumeGame(*saved), std::nullopt);
  EXPECT_TRUE(other->GameActive);
  EXPECT_EQ(other->StartYard, game->StartYard);
  EXPECT_EQ(other->PlayedMs(), saved->playedMs);
  EXPECT_EQ(g.status.Panel("DCount"), std::to_string(game->DCount));
  EXPECT_EQ(other->AnswerText(), game->AnswerText());
  EXPECT_EQ(other->FewestMoves, game->FewestMoves);
  EXPECT_EQ(g.status.Panel("Msg"), "<6100>");
  EXPECT_TRUE(other->CanRedo()) << "the step undone before the save can be played again";
  std::vector<Seen> after;
  after.push_back(seen(*other, g));
  for (int i = 0; i < 3; ++i) {
    other->mnuGameUndo_Click();
    after.push_back(seen(*other, g));
  }
  EXPECT_EQ(after, before);
  EXPECT_EQ(other->SaveGame()->history, saved->history);

  // And it plays on to the end, recorded with what was played before the save.
  FakeRecords theirs;
  other->Recorder = &theirs;
  for (int i = 0; i < 3; ++i) other->mnuGameRedo_Click();
  for (int i = 0; i < 60 && other->GameActive; ++i) testing::PlayHint(*other, g);
  ASSERT_EQ(theirs.games.size(), 1u);
  EXPECT_EQ(theirs.games[0].end, GameEnd::Completed);
  EXPECT_GE(theirs.games[0].playedMs, 30'000) << "the time played before the save counts";
  EXPECT_EQ(theirs.games[0].undos, game->UndosUsed) << "the undos before the save count";
}

TEST_F(ProgressTest, ASaveThatDoesNotFitIsRefused) {
  New(1, 6, 4);
  PlayHint();
  const SavedGame saved = *game->SaveGame();
  auto fresh = [&](int m, int n) {
    static Fakes other;
    return TrainGame(other, m, n, 1);
  };
  EXPECT_EQ(fresh(1, 7)->ResumeGame(saved), 6120) << "a car more: the positions do not hold the train";
  {
    auto g = fresh(1, 6);
    g->TRD.TrainComment = "another train";
    EXPECT_EQ(g->ResumeGame(saved), 6110);
    EXPECT_FALSE(g->GameActive);
  }
  const std::vector<std::function<void(SavedGame&)>> tamper = {
      [](SavedGame& s) { s.yard = "L1,1,1/2,3,4,5,6//"; },
      [](SavedGame& s) { s.yard = "garbage"; },
      [](SavedGame& s) { s.historyAt = s.history.size(); },
      [](SavedGame& s) { s.history.clear(); s.historyAt = 0; },
      [](SavedGame& s) { s.route = 7; },
      [](SavedGame& s) { s.history[0].yard = "L1,L1/1,2,3,4,5,6//"; },
      [](SavedGame& s) { s.answers.resize(kAnserListSize + 1); },
      [](SavedGame& s) { s.yard = s.startYard; },  // not the history's position
  };
  for (std::size_t i = 0; i < tamper.size(); ++i) {
    SavedGame bad = saved;
    tamper[i](bad);
    auto g = fresh(1, 6);
    EXPECT_EQ(g->ResumeGame(bad), 6120) << "tampering " << i;
    EXPECT_FALSE(g->GameActive);
  }
  auto good = fresh(1, 6);
  EXPECT_EQ(good->ResumeGame(saved), std::nullopt);
}

}  // namespace
}  // namespace kelvara::testing
