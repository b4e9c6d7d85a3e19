// The player's records in their database: what is stored and counted, two programs writing at
// once, damaged and unwritable files.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include <sqlite3.h>

#include "base/paths.h"
#include "fakes.h"
#include "model/game.h"
#include "model/quizcode.h"
#include "records/records.h"
#include "tempdir.h"

namespace kelvara {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

GameRecord Rec(GameEnd end, int moves, int fewest, const std::string& train = "t1.trd", std::int64_t ms = 60000) {
  GameRecord r;
  r.endedAt = 1'800'000'000;
  r.playedMs = ms;
  r.train = {train, "00000000000000aa"};
  r.locoSet = "EF65";
  r.level = 5;
  r.startPosition = "L1/1,3,2/./@1";
  r.moves = moves;
  r.fewest = fewest;
  r.fewestProven = true;
  r.end = end;
  return r;
}

GameRecord Unproven(GameRecord r) {
  r.fewestProven = false;
  return r;
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(RecordsTest, GamesStreaksAndBestsPerTrain) {
  TempDir dir;
  auto opened = Records::Open(dir / "sub/records.sqlite");
  ASSERT_TRUE(opened.records) << opened.problem;
  Records& db = *opened.records;

  const std::vector<std::pair<GameRecord, bool>> series = {
      {Rec(GameEnd::Completed, 9, 7), true},             // the first completion is a best
      {Rec(GameEnd::Completed, 8, 7, "t1.trd", 50000), true},
      {Rec(GameEnd::Completed, 8, 7, "t1.trd", 40000), false},  // as good is not better
      {Rec(GameEnd::Derailed, 3, 7), false},
      {Rec(GameEnd::Completed, 7, 7, "t1.trd", 90000), true},
      {Unproven(Rec(GameEnd::Completed, 5, 5, "t2.trd")), true},  // as short as a bound: not the fewest
      {Rec(GameEnd::Left, 2, 7), false},
      {Rec(GameEnd::Completed, 12, 9, "t2.trd"), false},
  };
  for (const auto& [game, best] : series) {
    const RecordResult r = db.GameEnded(game);
    EXPECT_TRUE(r.stored);
    EXPECT_EQ(r.newBest, best) << game.moves << " moves on " << game.train.file;
  }
  // The same name with other cars is another train.
  GameRecord changed = Rec(GameEnd::Completed, 20, 9);
  changed.train.digest = "00000000000000bb";
  EXPECT_TRUE(db.GameEnded(changed).newBest);

  const Statistics s = db.Stats();
  EXPECT_EQ(s.played, 9);
  EXPECT_EQ(s.completed, 7);
  EXPECT_EQ(s.derailed, 1);
  EXPECT_EQ(s.left, 1);
  EXPECT_EQ(s.inFewest, 1);
  EXPECT_EQ(s.longestStreak, 3);
  EXPECT_EQ(s.currentStreak, 2);
  ASSERT_EQ(s.trains.size(), 3u);
  EXPECT_EQ(s.trains[0].train.file, "t1.trd");
  EXPECT_EQ(s.trains[0].played, 6);
  EXPECT_EQ(s.trains[0].completed, 4);
  EXPECT_EQ(s.trains[0].bestMoves, 7);
  EXPECT_EQ(s.trains[0].fewestAtBest, 7);
  EXPECT_EQ(s.trains[0].bestMs, 40000) << "the best time needs not be the best moves' game";
  EXPECT_EQ(PlayedText(s.trains[0].bestMs), "0:40");
  EXPECT_EQ(PlayedText(3'599'999), "59:59");
  EXPECT_EQ(PlayedText(3'723'000), "1:02:03") << "past the hour, the hours show";
  EXPECT_EQ(s.trains[1].train.file, "t2.trd");
  EXPECT_EQ(s.trains[1].bestMoves, 5);
  ASSERT_EQ(s.recent.size(), 9u);
  EXPECT_EQ(s.recent.front().moves, 9);
  EXPECT_EQ(s.recent.back().moves, 20);

  const auto games = db.Games();
  ASSERT_EQ(games.size(), 9u);
  EXPECT_EQ(games[3].end, GameEnd::Derailed);
  EXPECT_EQ(games[3].startPosition, "L1/1,3,2/./@1");
  EXPECT_EQ(games[1].playedMs, 50000);

  for (int i = 0; i < 60; ++i) db.GameEnded(Rec(GameEnd::Completed, 100 + i, 7));
  const Statistics more = db.Stats();
  ASSERT_EQ(more.recent.size(), 50u) << "the chart shows the last 50";
  EXPECT_EQ(more.recent.back().moves, 159);
  EXPECT_EQ(more.currentStreak, 62);

  EXPECT_TRUE(db.Reset());
  EXPECT_EQ(db.Stats().played, 0);
  EXPECT_TRUE(db.GameEnded(Rec(GameEnd::Completed, 9, 7)).newBest) << "after a reset the bests begin again";
}

TEST(RecordsTest, TheGameInProgressKeepsEveryField) {
  TempDir dir;
  SavedGame g;
  g.trainPath = "/data/Cars/t1.trd";
  g.train = {"t1.trd", "0123456789abcdef"};
  g.locoSetIndex = 2;
  g.locoSet = "電気機関車";
  g.level = 7;
  g.startYard = "L1/1,3,2/./";
  g.startRoute = 1;
  g.yard = "./L1,3,2/1/";
  g.route = 2;
  g.ucount = "4";
  g.moves = 3;
  g.hints = 1;
  g.undos = 2;
  g.playedMs = 123456;
  g.dcount = 6;
  g.fewest = 5;
  g.fewestProven = true;
  g.fewestConsole = true;
  g.restartOffered = true;
  g.history = {{"L1/1,3,2/./", 1, "0", 0, "Start"}, {"./L1,3,2/1/", 2, "4", 3, "Front 1"}};
  g.historyAt = 1;
  g.answers = {"C 1:2", "P 2:1", "C 2:0"};
  {
    auto opened = Records::Open(dir / "records.sqlite");
    ASSERT_TRUE(opened.records);
    const Records::Claim claim = opened.records->ClaimSlot(true);
    EXPECT_TRUE(claim.claimed);
    EXPECT_FALSE(claim.left);
    opened.records->Keep(g);
    g.moves = 4;
    g.history.push_back({"./L1,1,3,2/./", 2, "5", 4, "Back 1"});
    g.historyAt = 2;
    opened.records->Keep(g);  // a second keep replaces the first
    g.history.pop_back();
    g.historyAt = 1;
    opened.records->Keep(g);  // and an undo's step dropped
    EXPECT_TRUE(opened.records->LastError().empty()) << opened.records->LastError();
  }
  auto again = Records::Open(dir / "records.sqlite");
  ASSERT_TRUE(again.records);
  const Records::Claim claim = again.records->ClaimSlot(true);
  ASSERT_TRUE(claim.left);
  EXPECT_EQ(*claim.left, g);
  // The game ends: its record written and its slot emptied together.
  EXPECT_TRUE(again.records->GameEnded(LeftRecord(g)).stored);
  EXPECT_TRUE(again.records->KeptGames().empty());
}

// Programs at once, one with a long session and two that open and close the records again and
// again (each opening reads the file's header, which once dropped the others' locks): every game
// each of them recorded is there.
TEST(RecordsTest, ProgramsAtOnceLoseNoGame) {
  TempDir dir;
  const std::string path = dir / "records.sqlite";
  constexpr int kShort = 60, kGames = 2 * kShort;
  std::vector<pid_t> children;
  for (int c = 0; c < 3; ++c) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int stored = 0;
      std::unique_ptr<Records> long_;
      for (int round = 0; round < (c == 0 ? 1 : kShort); ++round) {
        auto opened = Records::Open(path);
        if (!opened.records) {
          std::fprintf(stderr, "child %d: %s\n", c, opened.problem.c_str());
          _exit(1);
        }
        if (!opened.setAside.empty()) std::fprintf(stderr, "child %d set aside: %s\n", c, opened.problem.c_str());
        opened.records->ClaimSlot(false);
        for (int i = 0; i < (c == 0 ? kGames : 2); ++i) {
          SavedGame playing;
          playing.history.resize(1);
          opened.records->Keep(playing);
          stored += opened.records->GameEnded(Rec(GameEnd::Completed, 10000 * c + 10 * round + i, 7)).stored;
        }
      }
      _exit(stored == kGames ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (const pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (const auto& entry : std::filesystem::directory_iterator(dir.str())) {
    EXPECT_EQ(entry.path().filename().string().find(".broken"), std::string::npos)
        << "a file in use was taken for damage: " << entry.path();
  }
  auto opened = Records::Open(path);
  ASSERT_TRUE(opened.records);
  const auto games = opened.records->Games();
  std::set<int> moves;
  for (const auto& g : games) moves.insert(g.moves);
  EXPECT_EQ(games.size(), 3u * kGames);
  EXPECT_EQ(moves.size(), 3u * kGames);
  EXPECT_TRUE(opened.records->KeptGames().empty()) << "every game kept ended, and its slot with it";
}

// A slot holding more than a game can make (a million steps, a label of 50 MB) is damage: read no
// further than a game's size, refused, and emptied.
TEST(RecordsTest, AKeptGameLargerThanAGameIsRefused) {
  TempDir dir;
  const std::string path = dir / "records.sqlite";
  SavedGame g;
  g.history = {{"L1/1,2/./", 1, "0", 0, "Start"}};
  for (const char* damage : {"WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < 1000000)"
                             " INSERT INTO kept_history SELECT 1, k, 'L1/1,2/./', 1, '0', 0, 'Back' FROM n",
                             "UPDATE kept_history SET label = zeroblob(50000000) WHERE slot = 1"}) {
    SCOPED_TRACE(damage);
    {
      auto opened = Records::Open(path);
      ASSERT_TRUE(opened.records);
      ASSERT_TRUE(opened.records->ClaimSlot(false).claimed);
      opened.records->Keep(g);
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, damage, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
    auto opened = Records::Open(path);
    ASSERT_TRUE(opened.records);
    const Records::Claim claim = opened.records->ClaimSlot(true);
    EXPECT_TRUE(claim.claimed);
    EXPECT_TRUE(claim.damaged);
    EXPECT_FALSE(claim.left);
    EXPECT_TRUE(opened.records->KeptGames().empty()) << "the damaged slot is emptied";
  }
}

// A file that is not a database, or one cut short, is kept as it was under a name of its own.
TEST(RecordsTest, DamagedFilesAreSetAsideAndNewRecordsBegun) {
  TempDir dir;
  std::mt19937 random(7);
  std::string noise(20000, '\0');
  for (char& c : noise) c = static_cast<char>(random());

  std::string truncated;
  {
    auto opened = Records::Open(dir / "full.sqlite");
    ASSERT_TRUE(opened.records);
    for (int i = 0; i < 300; ++i) opened.records->GameEnded(Rec(GameEnd::Completed, i, 7));
  }
  {
    // Folded into the main file, as a program that ended well leaves it.
    auto opened = Records::Open(dir / "full.sqlite");
  }
  const std::string whole = Bytes(dir / "full.sqlite");
  ASSERT_GT(whole.size(), 8192u);
  truncated = whole.substr(0, whole.size() / 2);

  for (const std::string& bytes : {noise, truncated}) {
    TempDir here;
    const std::string path = here.Write("records.sqlite", bytes);
    auto opened = Records::Open(path, [] { return std::int64_t{1'800'000'000}; });
    ASSERT_TRUE(opened.records) << opened.problem;
    EXPECT_FALSE(opened.problem.empty()) << "the player is told";
    EXPECT_EQ(opened.setAside, path + ".broken-20270115-080000");
    EXPECT_EQ(Bytes(opened.setAside), bytes) << "set aside untouched, never deleted";
    EXPECT_TRUE(opened.records->GameEnded(Rec(GameEnd::Completed, 9, 7)).stored);
    EXPECT_EQ(opened.records->Stats().played, 1);

    // The same damage a second time, in the same second, takes the next name.
    opened.records.reset();
    fs::remove(path);
    fs::remove(path + "-wal");
    fs::remove(path + "-shm");
    here.Write("records.sqlite", bytes);
    auto second = Records::Open(path, [] { return std::int64_t{1'800'000'000}; });
    EXPECT_EQ(second.setAside, path + ".broken-20270115-080000-2");
    EXPECT_EQ(Bytes(path + ".broken-20270115-080000"), bytes);
  }
}

// Damage inside the file, behind a sound header, is found when a page is read: the file is set
// aside then, a new one begun, and the game that was being recorded goes into it.
TEST(RecordsTest, DamageFoundWhilePlaying) {
  TempDir dir;
  const std::string path = dir / "records.sqlite";
  {
    auto opened = Records::Open(path);
    ASSERT_TRUE(opened.records);
    for (int i = 0; i < 300; ++i) opened.records->GameEnded(Rec(GameEnd::Completed, i, 7));
  }
  Records::Open(path);  // folded into the main file
  std::string bytes = Bytes(path);
  std::mt19937 random(3);
  for (std::size_t i = 4096; i < bytes.size(); ++i) bytes[i] = static_cast<char>(random());
  { std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes; }

  auto opened = Records::Open(path, [] { return std::int64_t{1'800'000'000}; });
  ASSERT_TRUE(opened.records) << "the header is sound: " << opened.problem;
  std::string aside;
  opened.records->OnSetAside = [&](const std::string& a) { aside = a; };
  const RecordResult r = opened.records->GameEnded(Rec(GameEnd::Completed, 5, 5));
  EXPECT_TRUE(r.stored);
  EXPECT_EQ(aside, path + ".broken-20270115-080000");
  EXPECT_EQ(Bytes(aside), bytes);
  EXPECT_EQ(opened.records->Stats().played, 1);
  EXPECT_TRUE(opened.records->LastError().empty());
}

TEST(RecordsTest, WhatCannotBeUsedIsLeftAlone) {
  TempDir dir;
  // A folder under the name.
  fs::create_directories(dir / "records.sqlite");
  auto folder = Records::Open(dir / "records.sqlite");
  EXPECT_FALSE(folder.records);
  EXPECT_NE(folder.problem.find("Not a regular file"), std::string::npos);
  EXPECT_TRUE(fs::is_directory(dir / "records.sqlite"));

  // A database of a newer program stays as it is for that program.
  const std::string newer = dir / "newer.sqlite";
  {
    auto opened = Records::Open(newer);
    ASSERT_TRUE(opened.records);
    opened.records->GameEnded(Rec(GameEnd::Completed, 9, 7));
  }
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(newer.c_str(), &db), SQLITE_OK);
  // Kept by its program without the write-ahead log: opening it must not switch it.
  ASSERT_EQ(sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA user_version=99", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  const std::string before = Bytes(newer);
  auto opened = Records::Open(newer);
  EXPECT_FALSE(opened.records);
  EXPECT_NE(opened.problem.find("newer version"), std::string::npos);
  EXPECT_TRUE(opened.setAside.empty());
  EXPECT_EQ(Bytes(newer), before) << "byte for byte";
  EXPECT_FALSE(fs::exists(newer + "-wal"));
}

// One flipped bit of the header makes the records' version negative: damage, set aside as other
// damage is, and new records begun; it once crashed every start.
TEST(RecordsTest, ANegativeVersionIsDamage) {
  TempDir dir;
  const std::string path = dir / "records.sqlite";
  {
    auto opened = Records::Open(path);
    ASSERT_TRUE(opened.records);
    opened.records->GameEnded(Rec(GameEnd::Completed, 9, 7));
  }
  std::string bytes = Bytes(path);
  ASSERT_GT(bytes.size(), 100u);
  ASSERT_EQ(bytes.substr(60, 4), std::string("\0\0\0\x05", 4)) << "the version, big-endian at byte 60";
  bytes[60] = static_cast<char>(bytes[60] | 0x80);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  auto opened = Records::Open(path);
  ASSERT_TRUE(opened.records) << opened.problem;
  EXPECT_FALSE(opened.setAside.empty());
  EXPECT_EQ(Bytes(opened.setAside), bytes) << "kept as it was";
  EXPECT_TRUE(opened.records->GameEnded(Rec(GameEnd::Completed, 9, 7)).stored);
}

// A database of the first version takes the later steps when opened; its games and the game
// left in it stay.
TEST(RecordsTest, AnOlderDatabaseIsMigrated) {
  TempDir dir;
  const std::string path = dir / "records.sqlite";
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  // Version 1 as it was made.
  ASSERT_EQ(sqlite3_exec(db,
                         "CREATE TABLE games(id INTEGER PRIMARY KEY, ended_at INTEGER NOT NULL, played_ms INTEGER NOT NULL,"
                         " train_file TEXT NOT NULL, train_digest TEXT NOT NULL, loco_set TEXT NOT NULL, level INTEGER NOT NULL,"
                         " start_position TEXT NOT NULL, moves INTEGER NOT NULL, fewest INTEGER NOT NULL,"
                         " fewest_proven INTEGER NOT NULL, hints INTEGER NOT NULL, undos INTEGER NOT NULL,"
                         " outcome TEXT NOT NULL CHECK(outcome IN ('completed','derailed','left')));"
                         "CREATE INDEX games_by_train ON games(train_file, train_digest, outcome);"
                         "CREATE TABLE in_progress(id INTEGER PRIMARY KEY CHECK(id = 1), saved_at INTEGER NOT NULL,"
                         " train_path TEXT NOT NULL, train_file TEXT NOT NULL, train_digest TEXT NOT NULL,"
                         " loco_set_index INTEGER NOT NULL, loco_set TEXT NOT NULL, level INTEGER NOT NULL,"
                         " start_yard TEXT NOT NULL, start_route INTEGER NOT NULL, yard TEXT NOT NULL, route INTEGER NOT NULL,"
                         " ucount TEXT NOT NULL, moves INTEGER NOT NULL, hints INTEGER NOT NULL, undos INTEGER NOT NULL,"
                         " played_ms INTEGER NOT NULL, dcount INTEGER NOT NULL, fewest INTEGER NOT NULL,"
                         " fewest_proven INTEGER NOT NULL, fewest_console INTEGER NOT NULL, restart_offered INTEGER NOT NULL,"
                         " history_at INTEGER NOT NULL);"
                         "CREATE TABLE in_progress_history(step INTEGER PRIMARY KEY, yard TEXT NOT NULL, route INTEGER NOT NULL,"
                         " ucount TEXT NOT NULL, moves INTEGER NOT NULL, label TEXT NOT NULL);"
                         "CREATE TABLE in_progress_answers(idx INTEGER PRIMARY KEY, entry TEXT NOT NULL);"
                         "INSERT INTO games VALUES(1, 1800000000, 60000, 't1.trd', '00000000000000aa', 'EF65', 5,"
                         " 'L1/1,3,2/./@1', 9, 7, 1, 0, 0, 'completed');"
                         "INSERT INTO in_progress VALUES(1, 1800000000, '/d/t1.trd', 't1.trd', '00000000000000aa', 0, 'EF65', 5,"
                         " 'L1/1,3,2/./', 1, './L1,1,3,2/./', 1, '1', 0, 0, 0, 1000, 3, 2, 1, 0, 1, 1);"
                         "INSERT INTO in_progress_history VALUES(0, 'L1/1,3,2/./', 1, '0', 0, 'Start');"
                         "INSERT INTO in_progress_history VALUES(1, './L1,1,3,2/./', 1, '1', 0, 'Back');"
                         "INSERT INTO in_progress_answers VALUES(0, 'C 1:2');"
                         "PRAGMA user_version=1",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  auto opened = Records::Open(path);
  ASSERT_TRUE(opened.records) << opened.problem;
  GameRecord named = Rec(GameEnd::Completed, 8, 7, "t2.trd");
  named.trainName = "支線の短い列車";
  EXPECT_TRUE(opened.records->GameEnded(named).stored);
  const Statistics s = opened.records->Stats();
  ASSERT_EQ(s.trains.size(), 2u);
  EXPECT_EQ(s.trains[0].name + "|" + s.trains[1].name, "|支線の短い列車");
  EXPECT_EQ(opened.records->Games().at(0).moves, 9);
  EXPECT_EQ(opened.records->Games().at(0).train.scheme, 1) << "named by the digest of its day";
  EXPECT_EQ(opened.records->Games().at(1).train.scheme, 2);
  // The one game kept before is in the first slot, whole.
  const Records::Claim claim = opened.records->ClaimSlot(true);
  ASSERT_TRUE(claim.left);
  EXPECT_EQ(opened.records->Slot(), 1);
  EXPECT_EQ(claim.left->yard, "./L1,1,3,2/./");
  EXPECT_EQ(claim.left->history.size(), 2u);
  EXPECT_EQ(claim.left->answers, std::vector<std::string>{"C 1:2"});
  EXPECT_EQ(claim.left->train.scheme, 1);
}

// Records made when a train's digest took in its folder keep counting for that train once it
// is found again as it was; a train that is gone keeps its rows, and the game left goes on.
TEST(RecordsTest, RecordsOfTheFolderDigestAreCarriedOverToTheContentDigest) {
  TempDir dir;
  testing::Fakes f;
  f.settings.TrdFolder = KELVARA_CARS_DIR;
  f.settings.MakeLog = false;
  kelvara::Game game(f.ports(), f.settings);
  game.LoadLocoList();
  game.ChangeTrain(0, BuildPath(KELVARA_CARS_DIR, "oil_tank.trd"));
  const TrainIdentity before{"oil_tank.trd", game.TRD.FolderDigest(), 1};
  QuizCode quiz;
  quiz.version = 1;
  quiz.train = "oil_tank";
  quiz.digest = before.digest.substr(0, 8);
  quiz.route = 1;
  quiz.yard.at(0, 19) = Slot::Loco(1);
  for (int c = 1; c <= game.TrainCars; ++c) quiz.yard.at(c % 2 + 1, c / 2) = Slot::Car(c);
  const std::string path = dir / "records.sqlite";
  {
    auto opened = Records::Open(path);
    ASSERT_TRUE(opened.records);
    GameRecord old = Rec(GameEnd::Completed, 9, 7, "oil_tank.trd");
    old.train = before;
    old.code = *EncodeQuizCode(quiz);
    opened.records->GameEnded(old);
    GameRecord gone = Rec(GameEnd::Completed, 5, 5, "retired.trd");
    gone.train.scheme = 1;
    opened.records->GameEnded(gone);
    SavedGame left;
    left.train = before;
    left.history.resize(1);
    opened.records->ClaimSlot(false);
    opened.records->Keep(left);
  }
  auto opened = Records::Open(path);
  ASSERT_TRUE(opened.records);
  Records& db = *opened.records;
  EXPECT_EQ(db.CarryOverTrains([&](const TrainIdentity& t) { return game.ContentDigestOf(t); }), 1);
  const auto games = db.Games();
  EXPECT_EQ(games[0].train, game.CurrentTrain());
  QuizCode recoded = std::get<QuizCode>(DecodeQuizCode(games[0].code));
  EXPECT_EQ(recoded.version, kQuizCodeVersion);
  EXPECT_EQ(recoded.digest, game.CurrentTrain().digest.substr(0, 8));
  EXPECT_EQ(recoded.yard, quiz.yard);
  EXPECT_EQ(games[1].train.file, "retired.trd");
  EXPECT_EQ(games[1].train.scheme, 1) << "a train that is gone keeps its rows as they were";
  ASSERT_EQ(db.KeptGames().size(), 1u);
  EXPECT_EQ(db.KeptGames()[0].second.train, game.CurrentTrain());
  // A new game of the train counts with the old ones.
  GameRecord now = Rec(GameEnd::Completed, 8, 7, "oil_tank.trd");
  now.train = game.CurrentTrain();
  EXPECT_TRUE(db.GameEnded(now).newBest);
  EXPECT_EQ(db.Stats().trains.front().played, 2);
  EXPECT_EQ(db.CarryOverTrains([&](const TrainIdentity& t) { return game.ContentDigestOf(t); }), 0) << "once";
}

// A folder the player cannot write: no records, one problem to tell, nothing else.
TEST(RecordsTest, AReadOnlyFolderKeepsNoRecords) {
  TempDir dir;
  const std::string folder = dir / "ro";
  fs::create_directories(folder);
  {
    auto opened = Records::Open(folder + "/records.sqlite");
    ASSERT_TRUE(opened.records);
    opened.records->GameEnded(Rec(GameEnd::Completed, 9, 7));
  }
  bool mounted = false;
  if (geteuid() == 0) {
    // The owner of everything writes anywhere: a read-only mount stands in for the folder.
    fs::create_directories(dir / "mnt");
    mounted = ::mount("tmpfs", (dir / "mnt").c_str(), "tmpfs", MS_RDONLY, nullptr) == 0;
    if (!mounted) GTEST_SKIP() << "cannot mount a read-only tmpfs here";
  } else {
    ::chmod(folder.c_str(), 0555);
  }
  const std::string path = mounted ? dir / "mnt/records.sqlite" : folder + "/records.sqlite";
  auto opened = Records::Open(path);
  EXPECT_FALSE(opened.records);
  EXPECT_FALSE(opened.problem.empty());
  EXPECT_TRUE(opened.setAside.empty());
  if (mounted) ::umount((dir / "mnt").c_str());
  ::chmod(folder.c_str(), 0755);
}

// A disk that fills up while playing: the first write that fails is told once, the rest fail
// quietly, and what was recorded before stays.
TEST(RecordsTest, AFullDiskIsToldOnce) {
  TempDir dir;
  const std::string mnt = dir / "small";
  fs::create_directories(mnt);
  if (::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=96k") != 0) GTEST_SKIP() << "cannot mount a small tmpfs here";
  int told = 0, stored = 0, refused = 0;
  {
    auto opened = Records::Open(mnt + "/records.sqlite");
    ASSERT_TRUE(opened.records) << opened.problem;
    std::string said;
    opened.records->OnFirstFailure = [&](const std::string& why) {
      ++told;
      said = why;
    };
    GameRecord big = Rec(GameEnd::Completed, 9, 7);
    big.startPosition.assign(2000, 'x');
    for (int i = 0; i < 400; ++i) (opened.records->GameEnded(big).stored ? stored : refused)++;
    EXPECT_EQ(opened.records->Stats().played, stored);
    // SQLite's own reason, as it gave it before the rollback.
    EXPECT_NE(said.find("full"), std::string::npos) << said;
  }
  ::umount(mnt.c_str());
  EXPECT_GT(stored, 0);
  EXPECT_GT(refused, 0) << "the disk never filled";
  EXPECT_EQ(told, 1);
}

TEST(YardTextTest, RoundTripAndRefusals) {
  Yard y;
  y.at(0, 0) = Slot::Loco(1);
  y.at(0, 1) = Slot::Loco(2);
  y.at(1, 3) = Slot::Car(12);
  y.at(2, kLastPosition) = Slot::Car(3);
  const std::string text = YardText(y);
  EXPECT_EQ(text.substr(0, 17), "L1,L2/.,.,.,12/.,");
  EXPECT_EQ(YardFromText(text), y);
  EXPECT_EQ(YardFromText("///"), Yard());
  for (const char* bad : {"", "//", "////", "L0///", "0///", "x///", "1,///", "99999///", "L1,,2///", "+1///"}) {
    EXPECT_FALSE(YardFromText(bad)) << bad;
  }
  std::string tooLong;
  for (int i = 0; i <= kLastPosition + 1; ++i) tooLong += (i ? "," : "") + std::string(".");
  EXPECT_FALSE(YardFromText(tooLong + "///"));
}

}  // namespace
}  // namespace kelvara

namespace kelvara::testing {
namespace {

// Each game keeps its quiz's code and, for today's quiz, its day: the best per quiz, and the
// days in a row with today's quiz completed.
TEST(RecordsTest, QuizCodesAndTheDailyStreak) {
  TempDir dir;
  std::int64_t now = 1'765'368'000;  // 2025-12-10 12:00 UTC
  auto opened = Records::Open(dir / "records.sqlite", [&now] { return now; });
  ASSERT_TRUE(opened.records);
  Records& r = *opened.records;
  auto played = [&](const std::string& code, const std::string& day, GameEnd end, int moves) {
    GameRecord g = Rec(end, moves, 5);
    g.code = code;
    g.daily = day;
    ASSERT_TRUE(r.GameEnded(g).stored);
  };
  played("AAAA", "", GameEnd::Completed, 9);
  played("AAAA", "", GameEnd::Completed, 7);
  played("BBBB", "", GameEnd::Derailed, 3);
  played("", "", GameEnd::Completed, 4);  // a quiz that could not be named
  played("D8", "2025-12-08", GameEnd::Completed, 6);
  played("D9", "2025-12-09", GameEnd::Derailed, 6);
  played("D9", "2025-12-09", GameEnd::Completed, 8);
  Statistics s = r.Stats();
  ASSERT_EQ(s.quizzes.size(), 4u);
  EXPECT_EQ(s.quizzes[0].played, 2) << "the most played first";
  const auto a = std::find_if(s.quizzes.begin(), s.quizzes.end(), [](const auto& q) { return q.code == "AAAA"; });
  ASSERT_NE(a, s.quizzes.end());
  EXPECT_EQ(a->played, 2);
  EXPECT_EQ(a->bestMoves, 7);
  const auto b = std::find_if(s.quizzes.begin(), s.quizzes.end(), [](const auto& q) { return q.code == "BBBB"; });
  ASSERT_NE(b, s.quizzes.end());
  EXPECT_EQ(b->bestMoves, -1) << "never completed";
  // Today's not played yet: the run up to yesterday counts.
  EXPECT_EQ(s.dailyStreak, 2);
  EXPECT_EQ(s.dailyCompleted, 2);
  played("D10", "2025-12-10", GameEnd::Completed, 5);
  EXPECT_EQ(r.Stats().dailyStreak, 3);
  // Two days later, with none played in between: the run is over.
  now += 2 * 86400;
  EXPECT_EQ(r.Stats().dailyStreak, 0);
  EXPECT_EQ(r.Stats().dailyCompleted, 3);
  const auto games = r.Games();
  EXPECT_EQ(games.back().code, "D10");
  EXPECT_EQ(games.back().daily, "2025-12-10");
}

}  // namespace
}  // namespace kelvara::testing
