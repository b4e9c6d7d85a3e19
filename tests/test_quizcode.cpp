// Quiz codes: the start of every quiz made comes back whole from its code; typing errors are
// caught; a code is checked against the player's trains before it is played.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <variant>

#include "base/paths.h"
#include "fakes.h"
#include "model/game.h"
#include "model/quizcode.h"
#include "tempdir.h"
#include "yard_builder.h"

namespace kelvara::testing {
namespace {

using ::testing::HasSubstr;

struct CodeTest : ::testing::Test {
  Fakes f;
  std::unique_ptr<Game> game;
  void SetUp() override {
    f.settings.TrdFolder = KELVARA_CARS_DIR;
    f.settings.MakeLog = false;
    game = std::make_unique<Game>(f.ports(), f.settings);
    game->LoadLocoList();
  }
  // A quiz of a train and set made as New Game makes it, without its par.
  void Quiz(Game& g, int set, const std::string& path, std::uint64_t seed, int level) {
    g.ChangeTrain(set, path);
    g.lib().Seed(seed);
    f.settings.QuestionLevel = level;
    g.SetCars();
    g.Route = 1 + static_cast<int>(seed % 2);
    g.MakeQuiz();
    g.SetQuizStart(g.yard, g.Route);
    g.mnuGameRestart_Click();
  }
  // A move of the player's: the locomotive backs into the siding the route shows.
  static void Move(Game& g) { g.Do(GameCommand::Back); }
};

// A copy of the shipped train set in a folder of its own.
std::string CopyOfTheSet(const TempDir& dir, const std::string& name) {
  const std::string to = dir / name;
  std::filesystem::create_directories(std::filesystem::path(to).parent_path());
  std::filesystem::copy(KELVARA_CARS_DIR, to, std::filesystem::copy_options::recursive);
  return to;
}

TEST_F(CodeTest, EveryQuizComesBackWholeFromItsCode) {
  std::vector<std::pair<int, std::string>> trains;
  for (const auto& t : game->ListTrainFiles()) {
    for (int set = 0; set < game->Loco.LocoSetCount(); ++set) {
      game->ChangeTrain(set, t.path);
      if (game->TrainCars > 0 && game->LocoUnits + game->TrainCars <= kVisible) trains.emplace_back(set, t.path);
    }
  }
  ASSERT_GT(trains.size(), 5u);
  std::set<std::string> codes;
  for (int seed = 1; seed <= 1000; ++seed) {
    const auto& [set, path] = trains[static_cast<std::size_t>(seed) % trains.size()];
    Quiz(*game, set, path, static_cast<std::uint64_t>(seed), 5 + seed % 46);
    if (game->Derailed) continue;
    const auto code = game->QuizCodeText();
    ASSERT_TRUE(code.has_value()) << path << " seed " << seed;
    codes.insert(*code);
    const auto decoded = DecodeQuizCode(*code);
    ASSERT_TRUE(std::holds_alternative<QuizCode>(decoded)) << *code;
    const QuizCode& quiz = std::get<QuizCode>(decoded);
    EXPECT_EQ(quiz.yard, game->StartYard) << *code;
    EXPECT_EQ(quiz.locoSet, set);
    EXPECT_EQ(quiz.route, game->QuizStartRoute());
    EXPECT_EQ(quiz.train + ".trd", GetFileName(path));
    EXPECT_EQ(quiz.digest, game->CurrentTrain().digest.substr(0, 8));
    // Lower case, spaces for the dashes, as a player may type it.
    std::string typed = *code;
    for (char& c : typed) c = c == '-' ? ' ' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto again = DecodeQuizCode(typed);
    ASSERT_TRUE(std::holds_alternative<QuizCode>(again)) << typed;
    EXPECT_EQ(std::get<QuizCode>(again), quiz);
    EXPECT_LT(code->size(), 90u) << "a code a player can copy by hand";
  }
  EXPECT_GT(codes.size(), 900u) << "different quizzes, different codes";

  // Played in another game: the same yard, train and set, from the start.
  Fakes other;
  other.settings.TrdFolder = KELVARA_CARS_DIR;
  other.settings.MakeLog = false;
  Game player(other.ports(), other.settings);
  player.LoadLocoList();
  for (int seed = 1; seed <= 12; ++seed) {
    const auto& [set, path] = trains[static_cast<std::size_t>(seed * 7) % trains.size()];
    Quiz(*game, set, path, static_cast<std::uint64_t>(seed), 10);
    const auto code = game->QuizCodeText();
    ASSERT_TRUE(code);
    ASSERT_TRUE(player.PlayQuizCode(*code).played) << *code;
    EXPECT_EQ(player.yard, game->StartYard);
    EXPECT_EQ(player.TRD.TrainFileName, game->TRD.TrainFileName);
    EXPECT_EQ(player.Loco.LocoSetIndex(), set);
    EXPECT_TRUE(player.GameActive);
    EXPECT_EQ(player.MovesUsed, 0);
    EXPECT_EQ(player.QuizCodeText(), code) << "the quiz played names itself the same";
  }
}

TEST_F(CodeTest, TypingErrorsAreCaughtAndNothingElseIsTrusted) {
  Quiz(*game, 0, game->ListTrainFiles().front().path, 3, 20);
  const std::string code = *game->QuizCodeText();
  const std::string digits = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
  int changed = 0, swapped = 0;
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (code[i] == '-') continue;
    // Every other character in every place.
    for (const char c : digits + "*~$=U") {
      if (c == code[i]) continue;
      std::string typo = code;
      typo[i] = c;
      const auto r = DecodeQuizCode(typo);
      ASSERT_TRUE(std::holds_alternative<CodeError>(r)) << typo;
      EXPECT_EQ(std::get<CodeError>(r), CodeError::Typing) << typo;
      ++changed;
    }
    // Two neighbours swapped, across a dash too.
    std::size_t j = i + 1;
    while (j < code.size() && code[j] == '-') ++j;
    if (j < code.size() && code[j] != code[i]) {
      std::string typo = code;
      std::swap(typo[i], typo[j]);
      EXPECT_TRUE(std::holds_alternative<CodeError>(DecodeQuizCode(typo))) << typo;
      ++swapped;
    }
  }
  EXPECT_GT(changed, 1000);
  EXPECT_GT(swapped, 40);
  // A character left out, and one too many.
  EXPECT_TRUE(std::holds_alternative<CodeError>(DecodeQuizCode(code.substr(0, 7) + code.substr(8))));
  EXPECT_TRUE(std::holds_alternative<CodeError>(DecodeQuizCode(code.substr(0, 7) + "7" + code.substr(7))));
  for (const char* junk : {"", "-", "hello", "0", "00000000000000000000000000000000000000000", "../../etc/passwd"}) {
    EXPECT_TRUE(std::holds_alternative<CodeError>(DecodeQuizCode(junk))) << junk;
  }
  EXPECT_TRUE(std::holds_alternative<CodeError>(DecodeQuizCode(std::string(100000, 'A'))));

  // Fields a code could lie about: a name that is a path, two cars of one number, no locomotive.
  const QuizCode good = std::get<QuizCode>(DecodeQuizCode(code));
  QuizCode bad = good;
  bad.train = "../secret";
  EXPECT_FALSE(EncodeQuizCode(bad)) << "not even encoded";
  bad = good;
  bad.yard.at(2, 0) = Slot::Car(1);
  if (const auto twice = EncodeQuizCode(bad)) {
    EXPECT_EQ(std::get<CodeError>(DecodeQuizCode(*twice)), CodeError::Malformed);
  }
  bad = good;
  for (int line = 0; line < 3; ++line) {
    for (int k = 0; k < kVisible; ++k) {
      if (bad.yard.at(line, k).IsLoco()) bad.yard.at(line, k) = Slot::Empty();
    }
  }
  if (const auto none = EncodeQuizCode(bad)) {
    EXPECT_EQ(std::get<CodeError>(DecodeQuizCode(*none)), CodeError::Malformed);
  }

  // Refused in the game, the game in progress left as it was.
  const Yard before = game->yard;
  auto refusal = [&](const std::string& text) { return game->PlayQuizCode(text).refused; };
  EXPECT_EQ(refusal(code.substr(0, code.size() - 1) + (code.back() == '0' ? "1" : "0")), "<7210>");
  bad = good;
  bad.train = "no_such_train";
  EXPECT_THAT(refusal(*EncodeQuizCode(bad)), HasSubstr("<7230>"));
  bad = good;
  bad.digest = "00000000";
  EXPECT_THAT(refusal(*EncodeQuizCode(bad)), HasSubstr("<7240>"));
  bad = good;
  bad.locoSet = 200;
  EXPECT_THAT(refusal(*EncodeQuizCode(bad)), HasSubstr("<7240>"));
  EXPECT_EQ(game->yard, before);
  EXPECT_TRUE(game->GameActive);

  // A few real codes for the decoder's fuzz corpus, when asked.
  if (const char* corpus = std::getenv("KELVARA_CODE_CORPUS")) {
    std::ofstream(std::string(corpus) + "/code1") << code;
    std::ofstream(std::string(corpus) + "/code2") << *EncodeQuizCode(good);
  }
}

TEST_F(CodeTest, TodaysQuizIsTheSameForEveryoneOnADayAndAnotherTheNext) {
  using namespace std::chrono;
  const auto noon = sys_days{year{2026} / December / 10} + hours{12};
  EXPECT_EQ(DailyDate(noon), "2026-12-10");
  EXPECT_EQ(DailyDate(noon + hours{11} + minutes{59}), "2026-12-10") << "a day in UTC";
  EXPECT_EQ(DailyDate(noon + hours{12}), "2026-12-11");

  // Two players: other seeds, other levels, other settings, the same code.
  const auto one = DailyQuizCode(KELVARA_CARS_DIR, "2026-12-10");
  ASSERT_TRUE(one);
  f.settings.QuestionLevel = 50;
  f.settings.OneInput = true;
  game->lib().Seed(99);
  const auto two = DailyQuizCode(KELVARA_CARS_DIR, "2026-12-10");
  EXPECT_EQ(one, two);
  std::set<std::string> days;
  for (int d = 1; d <= 20; ++d) {
    char date[16];
    std::snprintf(date, sizeof date, "2027-01-%02d", d);
    const auto code = DailyQuizCode(KELVARA_CARS_DIR, date);
    ASSERT_TRUE(code) << date;
    days.insert(*code);
  }
  EXPECT_EQ(days.size(), 20u) << "every day its own quiz";
  EXPECT_FALSE(DailyQuizCode("", "2026-12-10")) << "no shipped set, no quiz of the day";

  // Played: the quiz of its code, marked as the day's.
  game->DefaultSetFolder = KELVARA_CARS_DIR;
  game->mnuGameDaily_Click();
  EXPECT_TRUE(game->GameActive);
  EXPECT_EQ(game->DailyDay, DailyDate(system_clock::now()));
  EXPECT_EQ(game->QuizCodeText(), DailyQuizCode(KELVARA_CARS_DIR, game->DailyDay));
  game->mnuGameReDisMakeUp_Click();
  EXPECT_EQ(game->DailyDay, "") << "a new quiz is no longer the day's";
}

TEST_F(CodeTest, ACodeIsTheSameInEveryCopyOfTheData) {
  // Two portable copies in two folders, and an installed game whose own data folder is empty and
  // whose trains come from the shared set: one quiz, one code, one digest, one quiz of the day.
  TempDir dir;
  const std::string one = CopyOfTheSet(dir, "one/Cars"), two = CopyOfTheSet(dir, "two/Cars");
  const std::string shared = CopyOfTheSet(dir, "usr/share/kelvara/Cars");
  std::filesystem::create_directories(dir / "home/Cars");
  struct Copy {
    Fakes f;
    std::unique_ptr<Game> game;
    Copy(const std::string& data, const std::string& set) {
      f.settings.TrdFolder = data;
      f.settings.MakeLog = false;
      game = std::make_unique<Game>(f.ports(), f.settings);
      game->DefaultSetFolder = set;
      game->LoadLocoList();
    }
  };
  Copy a(one, ""), b(two, ""), installed(dir / "home/Cars", shared);
  for (Copy* c : {&a, &b, &installed}) c->f.settings.QuestionLevel = 30;
  for (const std::string name : {"oil_tank.trd", "sleeper_hokusei.trd", "branch_short.trd"}) {
    std::vector<std::optional<std::string>> codes;
    std::vector<TrainIdentity> trains;
    for (Copy* c : {&a, &b, &installed}) {
      const std::string folder = c == &installed ? shared : c->f.settings.TrdFolder;
      Quiz(*c->game, 1, BuildPath(folder, name), 77, 30);
      codes.push_back(c->game->QuizCodeText());
      trains.push_back(c->game->CurrentTrain());
    }
    ASSERT_TRUE(codes[0]);
    EXPECT_EQ(codes[0], codes[1]) << name;
    EXPECT_EQ(codes[0], codes[2]) << name;
    EXPECT_EQ(trains[0], trains[1]) << name;
    EXPECT_EQ(trains[0], trains[2]) << name;
    // Played by the other copies, as it was made.
    EXPECT_TRUE(b.game->PlayQuizCode(*codes[0]).played);
    EXPECT_EQ(b.game->yard, a.game->StartYard);
    EXPECT_TRUE(installed.game->PlayQuizCode(*codes[0]).played);
  }
  EXPECT_EQ(DailyQuizCode(one, "2026-12-11"), DailyQuizCode(two, "2026-12-11"));
  EXPECT_EQ(DailyQuizCode(one, "2026-12-11"), DailyQuizCode(shared, "2026-12-11"));

  // A car picture changed by one byte is another train, with the same file name.
  const std::string before = a.game->CurrentTrain().digest;
  {
    std::fstream picture(BuildPath(one, "pc_green.bmp"), std::ios::in | std::ios::out | std::ios::binary);
    picture.seekp(100);
    picture.put('\x7f');
  }
  Quiz(*a.game, 1, BuildPath(one, "branch_short.trd"), 77, 30);
  const std::string after = a.game->CurrentTrain().digest;
  Quiz(*b.game, 1, BuildPath(two, "branch_short.trd"), 77, 30);
  EXPECT_NE(after, b.game->CurrentTrain().digest) << "the picture is part of the train";
  EXPECT_EQ(before, b.game->CurrentTrain().digest);
}

TEST_F(CodeTest, ACodeOfAnEarlierVersionPlaysWhereItWasMade) {
  // Earlier codes named the train by a digest of its folder too: the folder they were made in
  // still knows them.
  Quiz(*game, 0, BuildPath(KELVARA_CARS_DIR, "oil_tank.trd"), 5, 20);
  QuizCode old = std::get<QuizCode>(DecodeQuizCode(*game->QuizCodeText()));
  old.version = 1;
  old.digest = game->TRD.FolderDigest().substr(0, 8);
  const Yard start = game->StartYard;
  game->mnuGameReDisMakeUp_Click();
  EXPECT_TRUE(game->PlayQuizCode(*EncodeQuizCode(old)).played);
  EXPECT_EQ(game->yard, start);
  old.digest = game->CurrentTrain().digest.substr(0, 8);  // a version 1 code with today's digest lies
  EXPECT_THAT(game->PlayQuizCode(*EncodeQuizCode(old)).refused, HasSubstr("<7240>"));
}

TEST_F(CodeTest, ARefusedCodeChangesNothingAndAStartNoGameCanPlayIsRefused) {
  FakeRecords records;
  game->Recorder = &records;
  Quiz(*game, 0, BuildPath(KELVARA_CARS_DIR, "oil_tank.trd"), 5, 20);
  const QuizCode good = std::get<QuizCode>(DecodeQuizCode(*game->QuizCodeText()));
  Move(*game);
  const Yard yard = game->yard;
  const std::string train = game->TRD.TrainFileName;
  const int moves = static_cast<int>(records.games.size());

  // Another train whose cars are not those of the code, and starts no game can be played from:
  // each refused with its reason, the game in progress going on where it stood.
  auto expectRefused = [&](const QuizCode& quiz, const std::string& why) {
    if (why != "<7240>") {
      EXPECT_EQ(StartProblem(quiz.yard, quiz.route, game->LocoUnits, game->TrainCars), std::stoi(why.substr(1)));
    }
    const auto code = EncodeQuizCode(quiz);
    ASSERT_TRUE(code);
    const Game::CodePlay play = game->PlayQuizCode(*code);
    EXPECT_FALSE(play.played);
    EXPECT_THAT(play.refused, HasSubstr(why == "<7240>" ? why : "<7310>")) << *code;
    EXPECT_EQ(game->yard, yard);
    EXPECT_EQ(game->TRD.TrainFileName, train);
    EXPECT_TRUE(game->GameActive);
    EXPECT_TRUE(game->Allows(GameCommand::Front) || game->Allows(GameCommand::Back));
    EXPECT_EQ(static_cast<int>(records.games.size()), moves) << "nothing recorded";
  };
  QuizCode other = good;
  other.train = "sleeper_hokusei";
  expectRefused(other, "<7240>");
  QuizCode quiz = good;
  quiz.route = -1;
  expectRefused(quiz, "<7320>");
  quiz.route = 0;
  expectRefused(quiz, "<7320>");
  // The locomotive in siding 2, the route on siding 1: neither Front nor Back could move it.
  quiz = good;
  for (int k = 0; k < kVisible; ++k) {
    if (quiz.yard.at(0, k).IsLoco()) quiz.yard.at(0, k) = Slot::Empty();
  }
  SetLine(quiz.yard, 2, "L1 " + LineText(quiz.yard, 2));
  quiz.route = 1;
  expectRefused(quiz, "<7330>");
  // The train in its formation already: a game of no moves.
  quiz = good;
  SetLine(quiz.yard, 1, "1 2 3 4 5 6 7 8 9 10 11 12 13");
  SetLine(quiz.yard, 2, "");
  expectRefused(quiz, "<7340>");

  // A sound code with a game of moves in progress: asked first, and No keeps the game.
  f.msg.answers = {MsgAnswer::No};
  const Game::CodePlay kept = game->PlayQuizCode(*EncodeQuizCode(good));
  EXPECT_FALSE(kept.played);
  EXPECT_EQ(kept.refused, "");
  EXPECT_EQ(f.msg.shown.back().text, "<7350>");
  EXPECT_EQ(game->yard, yard);
  EXPECT_TRUE(game->PlayQuizCode(*EncodeQuizCode(good)).played) << "and Yes plays the code";
  ASSERT_EQ(records.games.size(), static_cast<std::size_t>(moves + 1)) << "the game left, once";
  EXPECT_EQ(records.games.back().end, GameEnd::Left);
  EXPECT_EQ(game->yard, game->StartYard);

  // A quiz nobody touched is no game: replaced without a question and without a record.
  const std::size_t shown = f.msg.shown.size();
  EXPECT_TRUE(game->PlayQuizCode(*EncodeQuizCode(good)).played);
  EXPECT_EQ(f.msg.shown.size(), shown);
  EXPECT_EQ(records.games.size(), static_cast<std::size_t>(moves + 1));
}

}  // namespace
}  // namespace kelvara::testing
