#include "records/records.h"

#include <set>

#include "model/game.h"
#include "model/quizcode.h"

#include <sqlite3.h>
#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <thread>
#include <utility>
#include <variant>

#include "base/folders.h"
#include "base/movefile.h"

namespace kelvara {

namespace {

// One prepared statement, finalized when it goes.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool ok() const { return stmt_ != nullptr; }
  Statement& Bind(int i, std::int64_t v) {
    sqlite3_bind_int64(stmt_, i, v);
    return *this;
  }
  Statement& Bind(int i, const std::string& v) {
    sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  // SQLITE_ROW, SQLITE_DONE or an error.
  int Step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_ERROR; }
  bool Run() { return Step() == SQLITE_DONE; }
  std::int64_t Int(int col) const { return sqlite3_column_int64(stmt_, col); }
  bool IsNull(int col) const { return sqlite3_column_type(stmt_, col) == SQLITE_NULL; }
  int Bytes(int col) const { return sqlite3_column_bytes(stmt_, col); }
  std::string Text(int col) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, col))) : std::string();
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// Each step takes the schema one version further; a database is at the version of the steps it
// has had (PRAGMA user_version).
constexpr const char* kMigrations[] = {
    // 1: the games, and the game in progress with its history and answer list.
    "CREATE TABLE games("
    " id INTEGER PRIMARY KEY,"
    " ended_at INTEGER NOT NULL,"
    " played_ms INTEGER NOT NULL,"
    " train_file TEXT NOT NULL,"
    " train_digest TEXT NOT NULL,"
    " loco_set TEXT NOT NULL,"
    " level INTEGER NOT NULL,"
    " start_position TEXT NOT NULL,"
    " moves INTEGER NOT NULL,"
    " fewest INTEGER NOT NULL,"
    " fewest_proven INTEGER NOT NULL,"
    " hints INTEGER NOT NULL,"
    " undos INTEGER NOT NULL,"
    " outcome TEXT NOT NULL CHECK(outcome IN ('completed','derailed','left')));"
    "CREATE INDEX games_by_train ON games(train_file, train_digest, outcome);"
    "CREATE TABLE in_progress("
    " id INTEGER PRIMARY KEY CHECK(id = 1),"
    " saved_at INTEGER NOT NULL,"
    " train_path TEXT NOT NULL, train_file TEXT NOT NULL, train_digest TEXT NOT NULL,"
    " loco_set_index INTEGER NOT NULL, loco_set TEXT NOT NULL, level INTEGER NOT NULL,"
    " start_yard TEXT NOT NULL, start_route INTEGER NOT NULL,"
    " yard TEXT NOT NULL, route INTEGER NOT NULL, ucount TEXT NOT NULL,"
    " moves INTEGER NOT NULL, hints INTEGER NOT NULL, undos INTEGER NOT NULL, played_ms INTEGER NOT NULL,"
    " dcount INTEGER NOT NULL, fewest INTEGER NOT NULL, fewest_proven INTEGER NOT NULL,"
    " fewest_console INTEGER NOT NULL, restart_offered INTEGER NOT NULL, history_at INTEGER NOT NULL);"
    "CREATE TABLE in_progress_history("
    " step INTEGER PRIMARY KEY, yard TEXT NOT NULL, route INTEGER NOT NULL, ucount TEXT NOT NULL,"
    " moves INTEGER NOT NULL, label TEXT NOT NULL);"
    "CREATE TABLE in_progress_answers(idx INTEGER PRIMARY KEY, entry TEXT NOT NULL);",
    // 2: the train's name beside its file, for the statistics.
    "ALTER TABLE games ADD COLUMN train_name TEXT NOT NULL DEFAULT '';",
    // 3: the quiz's code, and the day when it was that day's quiz.
    "ALTER TABLE games ADD COLUMN code TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE games ADD COLUMN daily TEXT NOT NULL DEFAULT '';",
    // 4: which digest names the train: the rows before were made with the digest that took in
    // the folder, and are carried over to the digest of the content as their trains are found.
    "ALTER TABLE games ADD COLUMN digest_scheme INTEGER NOT NULL DEFAULT 1;"
    "ALTER TABLE in_progress ADD COLUMN digest_scheme INTEGER NOT NULL DEFAULT 1;",
    // 5: a slot of its own for the game in progress of each program running; the one game kept
    // before goes into slot 1.
    "CREATE TABLE kept_games("
    " slot INTEGER PRIMARY KEY, saved_at INTEGER NOT NULL,"
    " train_path TEXT NOT NULL, train_file TEXT NOT NULL, train_digest TEXT NOT NULL, digest_scheme INTEGER NOT NULL,"
    " loco_set_index INTEGER NOT NULL, loco_set TEXT NOT NULL, level INTEGER NOT NULL,"
    " start_yard TEXT NOT NULL, start_route INTEGER NOT NULL,"
    " yard TEXT NOT NULL, route INTEGER NOT NULL, ucount TEXT NOT NULL,"
    " moves INTEGER NOT NULL, hints INTEGER NOT NULL, undos INTEGER NOT NULL, played_ms INTEGER NOT NULL,"
    " dcount INTEGER NOT NULL, fewest INTEGER NOT NULL, fewest_proven INTEGER NOT NULL,"
    " fewest_console INTEGER NOT NULL, restart_offered INTEGER NOT NULL, history_at INTEGER NOT NULL);"
    "CREATE TABLE kept_history(slot INTEGER NOT NULL, step INTEGER NOT NULL, yard TEXT NOT NULL,"
    " route INTEGER NOT NULL, ucount TEXT NOT NULL, moves INTEGER NOT NULL, label TEXT NOT NULL,"
    " PRIMARY KEY(slot, step)) WITHOUT ROWID;"
    "CREATE TABLE kept_answers(slot INTEGER NOT NULL, idx INTEGER NOT NULL, entry TEXT NOT NULL,"
    " PRIMARY KEY(slot, idx)) WITHOUT ROWID;"
    "INSERT INTO kept_games SELECT 1, saved_at, train_path, train_file, train_digest, digest_scheme, loco_set_index,"
    " loco_set, level, start_yard, start_route, yard, route, ucount, moves, hints, undos, played_ms, dcount, fewest,"
    " fewest_proven, fewest_console, restart_offered, history_at FROM in_progress;"
    "INSERT INTO kept_history SELECT 1, step, yard, route, ucount, moves, label FROM in_progress_history"
    " WHERE EXISTS(SELECT 1 FROM in_progress);"
    "INSERT INTO kept_answers SELECT 1, idx, entry FROM in_progress_answers WHERE EXISTS(SELECT 1 FROM in_progress);"
    "DROP TABLE in_progress; DROP TABLE in_progress_history; DROP TABLE in_progress_answers;",
};
static_assert(std::size(kMigrations) == Records::kSchemaVersion);

std::int64_t SystemNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// A database that is not one, or is damaged: set aside, never deleted.
bool IsDamage(int code) {
  code &= 0xFF;
  return code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
}

std::uint32_t BigEndian(const unsigned char* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// A database file whose header counts more pages than the file holds (a copy or a disk that
// stopped half way). Read through SQLite's own descriptor: a descriptor of ours, closed, would
// drop every lock this program holds on the file, SQLite's among them. What the header cannot
// vouch for is left to SQLite.
bool CutShort(sqlite3* db) {
  sqlite3_file* file = nullptr;
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || file == nullptr ||
      file->pMethods == nullptr) {
    return false;
  }
  unsigned char h[100];
  sqlite3_int64 size = 0;
  if (file->pMethods->xFileSize(file, &size) != SQLITE_OK || size < static_cast<sqlite3_int64>(sizeof h) ||
      file->pMethods->xRead(file, h, sizeof h, 0) != SQLITE_OK) {
    return false;
  }
  if (std::memcmp(h, "SQLite format 3", 16) != 0) return false;
  const std::uint64_t pageSize = (h[16] << 8 | h[17]) == 1 ? 65536 : (h[16] << 8 | h[17]);
  const std::uint32_t pages = BigEndian(h + 28);
  // The page count is valid only while the change counter matches the version it was written at.
  if (pages == 0 || BigEndian(h + 24) != BigEndian(h + 92)) return false;
  return pages * pageSize > static_cast<std::uint64_t>(size);
}

// The header is read without a lock: another program checkpointing its write-ahead log writes
// the first page, with the new page count, before the pages that make the file that long. A
// file that looks cut short is therefore looked at again by SQLite within a read of its own,
// which sees the file and the log as one.
// SQLITE_OK when whole, SQLITE_CORRUPT when not, or why the look could not be had (busy).
int LookAgain(sqlite3* db) {
  sqlite3_stmt* check = nullptr;
  int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &check, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(check);
  if (rc == SQLITE_ROW) {
    const unsigned char* said = sqlite3_column_text(check, 0);
    rc = said != nullptr && std::strcmp(reinterpret_cast<const char*>(said), "ok") == 0 ? SQLITE_OK : SQLITE_CORRUPT;
  }
  sqlite3_finalize(check);
  return rc;
}

std::string ErrorOf(sqlite3* db) { return db ? sqlite3_errmsg(db) : "out of memory"; }

// "records.sqlite" -> "records.sqlite.broken-20261210-013000", with "-2" and so on when that is
// taken; the WAL and shared-memory files go along under the same name.
std::string SetAside(const std::string& path, std::int64_t now, std::string& error) {
  const std::time_t t = static_cast<std::time_t>(now);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
  FileCalls calls;
  for (int n = 1; n < 1000; ++n) {
    const std::string to = path + ".broken-" + stamp + (n > 1 ? "-" + std::to_string(n) : "");
    if (calls.RenameNoReplace(path.c_str(), to.c_str()) == 0) {
      for (const char* side : {"-wal", "-shm"}) {
        calls.RenameNoReplace((path + side).c_str(), (to + side).c_str());
      }
      return to;
    }
    if (errno != EEXIST) break;
  }
  error = std::strerror(errno);
  return {};
}

}  // namespace

Records::Records(sqlite3* db, std::string path, std::function<std::int64_t()> now)
    : db_(db), path_(std::move(path)), now_(std::move(now)) {}

Records::~Records() {
  sqlite3_close(db_);
  if (slotLock_ >= 0) ::close(slotLock_);  // the slot's lock goes with it
}

Records::Opened Records::Open(const std::string& path, std::function<std::int64_t()> now) {
  if (!now) now = SystemNow;
  Opened out;
  const std::string folder = std::filesystem::path(path).parent_path().string();
  if (!folder.empty() && !MakeFolder(folder)) {
    out.problem = std::strerror(errno) + std::string(": ") + folder;
    return out;
  }
  struct stat st{};
  // Something else under our name (a folder, a device, a pipe) is not ours to move or open.
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    out.problem = "Not a regular file: " + path;
    return out;
  }

  // Another program opening or writing the file at the same moment can hold it for longer than
  // the busy wait covers (a change of journal mode does not wait at all): the opening is tried
  // again for a while.
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  for (int attempt = 0; attempt < 2; ++attempt) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW,
                             nullptr);
    std::string why;
    bool damaged = false, busy = false;
    auto check = [&](int code) {
      if (code == SQLITE_OK || code == SQLITE_ROW || code == SQLITE_DONE) return true;
      damaged = IsDamage(code);
      busy = (code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED;
      why = ErrorOf(db);
      return false;
    };
    std::int64_t version = 0;
    bool ok = check(rc);
    if (ok) {
      sqlite3_busy_timeout(db, 10000);
      sqlite3_extended_result_codes(db, 1);
    }
    // A whole check of the file reads every page (7 ms for 10,000 games), too slow for every
    // start: a file cut short is seen from its header here, other damage when a page is read.
    if (ok && CutShort(db)) {
      const int look = LookAgain(db);
      if (look == SQLITE_CORRUPT) {
        ok = false;
        damaged = true;
        why = "database disk image is malformed (cut short)";
      } else {
        ok = check(look);
      }
    }
    // The version first: a file of a newer program is not touched at all, not even switched to
    // the write-ahead log; one whose version no program writes is damage.
    if (ok) {
      Statement v(db, "PRAGMA user_version");
      ok = check(v.Step());
      version = v.Int(0);
    }
    if (ok && version < 0) {
      ok = false;
      damaged = true;
      why = "database disk image is malformed (records version " + std::to_string(version) + ")";
    }
    if (ok && version > kSchemaVersion) {
      // Written by a newer program: left as it is for that program.
      sqlite3_close(db);
      out.problem = "Made by a newer version of the program (records version " + std::to_string(version) + "): " + path;
      return out;
    }
    if (ok) ok = check(sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr));
    if (ok && version < kSchemaVersion) {
      // Two programs starting at once: the second waits for the first and finds it done.
      ok = check(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr));
      if (ok) {
        std::int64_t from = 0;
        {
          // Read and done with: a statement still open would keep the migrations' tables locked.
          Statement again(db, "PRAGMA user_version");
          ok = check(again.Step());
          from = again.Int(0);
        }
        if (ok && (from < 0 || from > kSchemaVersion)) {
          ok = false;
          damaged = from < 0;
          why = "records version " + std::to_string(from);
        }
        for (std::int64_t v = from; ok && v < kSchemaVersion; ++v) {
          ok = check(sqlite3_exec(db, kMigrations[v], nullptr, nullptr, nullptr));
        }
        if (ok) {
          ok = check(sqlite3_exec(db, ("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str(), nullptr,
                                  nullptr, nullptr));
        }
        ok = ok && check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr));
        // The reason is SQLite's own, read before the rollback replaces it.
        if (!ok) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      }
    }
    if (ok) {
      out.records.reset(new Records(db, path, now));
      return out;
    }
    sqlite3_close(db);
    if (busy && std::chrono::steady_clock::now() < giveUp) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      --attempt;
      continue;
    }
    if (!damaged || attempt > 0) {
      out.problem = why + ": " + path;
      return out;
    }
    std::string error;
    out.setAside = SetAside(path, now(), error);
    if (out.setAside.empty()) {
      out.problem = why + ": " + path + " (" + error + ")";
      return out;
    }
    out.problem = why;
  }
  return out;
}

void Records::Fail(const char* what) {
  if (!lastError_.empty()) return;
  lastError_ = what;
  if (OnFirstFailure) OnFirstFailure(lastError_);
}

bool Records::Exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

bool Records::Write(const std::function<bool()>& body) {
  for (int round = 0; round < 2; ++round) {
    const bool began = Exec("BEGIN IMMEDIATE");
    if (began && body() && Exec("COMMIT")) return true;
    // SQLite's reason, before the rollback puts its own in its place.
    const int code = sqlite3_extended_errcode(db_);
    const std::string why = std::string(began ? "write" : "begin") + ": " + ErrorOf(db_);
    if (began) Exec("ROLLBACK");
    // Damage found on the way: the file is set aside, a new one begun, and the write made there.
    if (round == 0 && IsDamage(code) && Recover()) continue;
    Fail(why.c_str());
    return false;
  }
  return false;
}

bool Records::Recover() {
  writtenValid_ = false;  // the new file holds nothing yet
  sqlite3_close(db_);
  db_ = nullptr;
  std::string error;
  const std::string aside = SetAside(path_, now_(), error);
  Opened fresh = aside.empty() ? Opened{} : Open(path_, now_);
  if (!fresh.records) {
    // Nothing to write into: a database in memory keeps the calls harmless for the session.
    sqlite3_open(":memory:", &db_);
    return false;
  }
  std::swap(db_, fresh.records->db_);
  if (OnSetAside) OnSetAside(aside);
  return true;
}

RecordResult Records::GameEnded(const GameRecord& given) {
  GameRecord r = given;
  if (r.endedAt == 0) r.endedAt = now_();
  RecordResult result;
  result.stored = Write([&] {
    if (r.end == GameEnd::Completed) {
      Statement best(db_, "SELECT MIN(moves) FROM games WHERE train_file=? AND train_digest=? AND outcome='completed'");
      best.Bind(1, r.train.file).Bind(2, r.train.digest);
      if (best.Step() != SQLITE_ROW) return false;
      result.newBest = best.IsNull(0) || r.moves < best.Int(0);
    }
    Statement add(db_,
                  "INSERT INTO games(ended_at, played_ms, train_file, train_digest, loco_set, level, start_position,"
                  " moves, fewest, fewest_proven, hints, undos, outcome, train_name, code, daily, digest_scheme)"
                  " VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    add.Bind(1, r.endedAt).Bind(2, r.playedMs).Bind(3, r.train.file).Bind(4, r.train.digest).Bind(5, r.locoSet);
    add.Bind(6, r.level).Bind(7, r.startPosition).Bind(8, r.moves).Bind(9, r.fewest).Bind(10, r.fewestProven ? 1 : 0);
    add.Bind(11, r.hints).Bind(12, r.undos).Bind(13, std::string(GameEndName(r.end))).Bind(14, r.trainName);
    add.Bind(15, r.code).Bind(16, r.daily).Bind(17, r.train.scheme);
    // The game it was is over: its slot goes with the same write, never before.
    return add.Run() && (slot_ == 0 || ClearSlot(slot_));
  });
  if (!result.stored) result.newBest = false;
  return result;
}

Statistics Records::Stats() const {
  Statistics s;
  {
    Statement all(db_, "SELECT outcome, moves, fewest, fewest_proven FROM games ORDER BY id");
    int run = 0;
    while (all.Step() == SQLITE_ROW) {
      const GameEnd end = GameEndFromName(all.Text(0)).value_or(GameEnd::Left);
      const int moves = static_cast<int>(all.Int(1)), fewest = static_cast<int>(all.Int(2));
      const bool proven = all.Int(3) != 0 && fewest >= 0;
      ++s.played;
      s.completed += end == GameEnd::Completed;
      s.derailed += end == GameEnd::Derailed;
      s.left += end == GameEnd::Left;
      s.inFewest += end == GameEnd::Completed && proven && moves <= fewest;
      run = end == GameEnd::Completed ? run + 1 : 0;
      s.longestStreak = std::max(s.longestStreak, run);
      s.recent.push_back({moves, fewest, end});
    }
    s.currentStreak = run;
    if (s.recent.size() > static_cast<std::size_t>(kRecent)) {
      s.recent.erase(s.recent.begin(), s.recent.end() - kRecent);
    }
  }
  Statement trains(db_,
                   "SELECT train_file, train_digest, COUNT(*), SUM(outcome='completed'),"
                   " MIN(CASE WHEN outcome='completed' THEN played_ms END), MAX(train_name) FROM games"
                   " GROUP BY train_file, train_digest ORDER BY COUNT(*) DESC, train_file");
  while (trains.Step() == SQLITE_ROW) {
    TrainStats t;
    t.train = {trains.Text(0), trains.Text(1)};
    t.played = static_cast<int>(trains.Int(2));
    t.completed = static_cast<int>(trains.Int(3));
    t.bestMs = trains.IsNull(4) ? -1 : trains.Int(4);
    t.name = trains.Text(5);
    s.trains.push_back(std::move(t));
  }
  // The fewest possible of the game with the fewest moves comes with it (SQLite takes the bare
  // column from the row MIN chose).
  Statement best(db_,
                 "SELECT train_file, train_digest, MIN(moves), fewest FROM games WHERE outcome='completed'"
                 " GROUP BY train_file, train_digest");
  while (best.Step() == SQLITE_ROW) {
    const TrainIdentity id{best.Text(0), best.Text(1)};
    for (TrainStats& t : s.trains) {
      if (t.train == id) {
        t.bestMoves = static_cast<int>(best.Int(2));
        t.fewestAtBest = static_cast<int>(best.Int(3));
      }
    }
  }
  // Each quiz by its code: the most played first.
  Statement quizzes(db_,
                    "SELECT code, MAX(train_name), COUNT(*), MIN(CASE WHEN outcome='completed' THEN moves END),"
                    " MAX(fewest) FROM games WHERE code<>'' GROUP BY code ORDER BY COUNT(*) DESC, MAX(id) DESC LIMIT ?");
  quizzes.Bind(1, kQuizzes);
  while (quizzes.Step() == SQLITE_ROW) {
    s.quizzes.push_back({quizzes.Text(0), quizzes.Text(1), static_cast<int>(quizzes.Int(2)),
                         quizzes.IsNull(3) ? -1 : static_cast<int>(quizzes.Int(3)), static_cast<int>(quizzes.Int(4))});
  }
  // Days in a row with today's quiz completed, up to today or yesterday (today's may be to come).
  std::set<std::string> days;
  Statement daily(db_, "SELECT DISTINCT daily FROM games WHERE daily<>'' AND outcome='completed'");
  while (daily.Step() == SQLITE_ROW) days.insert(daily.Text(0));
  s.dailyCompleted = static_cast<int>(days.size());
  auto day = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::time_point(std::chrono::seconds(now_())));
  if (!days.contains(DailyDate(day))) day -= std::chrono::days(1);
  while (days.contains(DailyDate(day))) {
    ++s.dailyStreak;
    day -= std::chrono::days(1);
  }
  return s;
}

std::vector<GameRecord> Records::Games() const {
  std::vector<GameRecord> out;
  Statement all(db_,
                "SELECT ended_at, played_ms, train_file, train_digest, loco_set, level, start_position, moves, fewest,"
                " fewest_proven, hints, undos, outcome, train_name, code, daily, digest_scheme FROM games ORDER BY id");
  while (all.Step() == SQLITE_ROW) {
    GameRecord r;
    r.endedAt = all.Int(0);
    r.playedMs = all.Int(1);
    r.train = {all.Text(2), all.Text(3)};
    r.locoSet = all.Text(4);
    r.level = static_cast<int>(all.Int(5));
    r.startPosition = all.Text(6);
    r.moves = static_cast<int>(all.Int(7));
    r.fewest = static_cast<int>(all.Int(8));
    r.fewestProven = all.Int(9) != 0;
    r.hints = static_cast<int>(all.Int(10));
    r.undos = static_cast<int>(all.Int(11));
    r.end = GameEndFromName(all.Text(12)).value_or(GameEnd::Left);
    r.trainName = all.Text(13);
    r.code = all.Text(14);
    r.daily = all.Text(15);
    r.train.scheme = static_cast<int>(all.Int(16));
    out.push_back(std::move(r));
  }
  return out;
}

int Records::CarryOverTrains(const std::function<std::optional<std::string>(const TrainIdentity&)>& contentDigest) {
  std::vector<TrainIdentity> old;
  {
    Statement trains(db_, "SELECT DISTINCT train_file, train_digest FROM games WHERE digest_scheme=1"
                          " UNION SELECT train_file, train_digest FROM kept_games WHERE digest_scheme=1");
    while (trains.Step() == SQLITE_ROW) old.push_back({trains.Text(0), trains.Text(1), 1});
  }
  int carried = 0;
  for (const TrainIdentity& train : old) {
    const auto digest = contentDigest(train);
    if (!digest) continue;  // gone, or changed since: its rows stay a train of their own
    const bool done = Write([&] {
      // The codes of those games named the train by the old digest too.
      std::vector<std::pair<std::int64_t, std::string>> codes;
      {
        Statement rows(db_, "SELECT id, code FROM games WHERE train_file=? AND train_digest=? AND digest_scheme=1 AND code<>''");
        rows.Bind(1, train.file).Bind(2, train.digest);
        while (rows.Step() == SQLITE_ROW) codes.emplace_back(rows.Int(0), rows.Text(1));
      }
      for (auto& [id, code] : codes) {
        const auto decoded = DecodeQuizCode(code);
        if (!std::holds_alternative<QuizCode>(decoded)) continue;
        QuizCode quiz = std::get<QuizCode>(decoded);
        quiz.version = kQuizCodeVersion;
        quiz.digest = digest->substr(0, 8);
        const auto recoded = EncodeQuizCode(quiz);
        Statement update(db_, "UPDATE games SET code=? WHERE id=?");
        update.Bind(1, recoded.value_or(std::string())).Bind(2, id);
        if (!update.Run()) return false;
      }
      for (const char* table : {"games", "kept_games"}) {
        Statement update(db_, (std::string("UPDATE ") + table +
                               " SET train_digest=?, digest_scheme=2 WHERE train_file=? AND train_digest=? AND digest_scheme=1")
                                  .c_str());
        update.Bind(1, *digest).Bind(2, train.file).Bind(3, train.digest);
        if (!update.Run()) return false;
      }
      return true;
    });
    carried += done ? 1 : 0;
  }
  return carried;
}

bool Records::Reset() {
  return Write([this] { return Exec("DELETE FROM games"); });
}

namespace {

// The file of the slots' locks, beside the database: byte N locked while a program holds slot N.
// An open file description's lock: closing another descriptor of this program never drops it,
// and the system drops it when the program ends, however it ends.
bool LockSlot(int fd, int slot) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = slot;
  lock.l_len = 1;
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

void UnlockSlot(int fd, int slot) {
  struct flock lock {};
  lock.l_type = F_UNLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = slot;
  lock.l_len = 1;
  ::fcntl(fd, F_OFD_SETLK, &lock);
}

// A text column no larger than a game makes; false for anything larger.
bool BoundedText(const Statement& row, int col, std::string& out) {
  if (row.Bytes(col) > static_cast<int>(kKeptTextMost)) return false;
  out = row.Text(col);
  return true;
}

}  // namespace

Records::Claim Records::ClaimSlot(bool takeUp) {
  Claim claim;
  if (slot_ != 0) return claim;
  if (slotLock_ < 0) {
    slotLock_ = ::open((path_ + "-slots").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (slotLock_ < 0) return claim;
  }
  // The games left, newest first; then the empty slots.
  std::vector<int> left, order;
  {
    Statement kept(db_, "SELECT slot FROM kept_games WHERE slot BETWEEN 1 AND ? ORDER BY saved_at DESC, slot");
    kept.Bind(1, kSlots);
    while (kept.Step() == SQLITE_ROW) left.push_back(static_cast<int>(kept.Int(0)));
  }
  if (takeUp) order = left;
  for (int n = 1; n <= kSlots; ++n) {
    if (std::find(left.begin(), left.end(), n) == left.end()) order.push_back(n);
  }
  for (const int n : order) {
    if (!LockSlot(slotLock_, n)) continue;  // a program that runs holds it
    bool damaged = false;
    std::optional<SavedGame> there = ReadSlot(n, damaged);
    // Without taking up, only an empty slot will do: a game left there since the list was read
    // stays for a program that takes it up.
    if (!takeUp && (there || damaged)) {
      UnlockSlot(slotLock_, n);
      continue;
    }
    slot_ = n;
    claim.claimed = true;
    claim.left = std::move(there);
    if (damaged) {
      claim.damaged = true;
      ClearSlot(n);
    }
    return claim;
  }
  return claim;
}

bool Records::ClearSlot(int slot) {
  writtenValid_ = false;
  for (const char* sql : {"DELETE FROM kept_games WHERE slot=?", "DELETE FROM kept_history WHERE slot=?",
                          "DELETE FROM kept_answers WHERE slot=?"}) {
    Statement clear(db_, sql);
    clear.Bind(1, slot);
    if (!clear.Run()) return false;
  }
  return true;
}

void Records::Keep(const SavedGame& g) {
  if (slot_ == 0 || g.history.size() > kHistoryMost) return;
  const bool written = Write([&] {
    Statement add(db_,
                  "INSERT OR REPLACE INTO kept_games(slot, saved_at, train_path, train_file, train_digest, digest_scheme,"
                  " loco_set_index, loco_set, level, start_yard, start_route, yard, route, ucount, moves, hints, undos,"
                  " played_ms, dcount, fewest, fewest_proven, fewest_console, restart_offered, history_at)"
                  " VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    add.Bind(1, slot_).Bind(2, now_()).Bind(3, g.trainPath).Bind(4, g.train.file).Bind(5, g.train.digest);
    add.Bind(6, g.train.scheme).Bind(7, g.locoSetIndex).Bind(8, g.locoSet).Bind(9, g.level).Bind(10, g.startYard);
    add.Bind(11, g.startRoute).Bind(12, g.yard).Bind(13, g.route).Bind(14, g.ucount).Bind(15, g.moves);
    add.Bind(16, g.hints).Bind(17, g.undos).Bind(18, g.playedMs).Bind(19, g.dcount).Bind(20, g.fewest);
    add.Bind(21, g.fewestProven ? 1 : 0).Bind(22, g.fewestConsole ? 1 : 0).Bind(23, g.restartOffered ? 1 : 0);
    add.Bind(24, static_cast<std::int64_t>(g.historyAt));
    if (!add.Run()) return false;
    // A move adds a step or two and drops what could be redone: the steps the slot holds already
    // are not written again.
    const std::vector<SavedGame::Step> none;
    const auto& before = writtenValid_ ? written_.history : none;
    if (!writtenValid_ || before.size() > g.history.size()) {
      Statement drop(db_, "DELETE FROM kept_history WHERE slot=? AND step>=?");
      drop.Bind(1, slot_).Bind(2, static_cast<std::int64_t>(writtenValid_ ? g.history.size() : 0));
      if (!drop.Run()) return false;
    }
    for (std::size_t i = 0; i < g.history.size(); ++i) {
      if (i < before.size() && before[i] == g.history[i]) continue;
      const SavedGame::Step& st = g.history[i];
      Statement step(db_, "INSERT OR REPLACE INTO kept_history(slot, step, yard, route, ucount, moves, label)"
                          " VALUES(?,?,?,?,?,?,?)");
      step.Bind(1, slot_).Bind(2, static_cast<std::int64_t>(i)).Bind(3, st.yard).Bind(4, st.route).Bind(5, st.ucount);
      step.Bind(6, st.moves).Bind(7, st.label);
      if (!step.Run()) return false;
    }
    if (!writtenValid_ || written_.answers != g.answers) {
      Statement drop(db_, "DELETE FROM kept_answers WHERE slot=?");
      drop.Bind(1, slot_);
      if (!drop.Run()) return false;
      for (std::size_t i = 0; i < g.answers.size(); ++i) {
        Statement answer(db_, "INSERT INTO kept_answers(slot, idx, entry) VALUES(?,?,?)");
        answer.Bind(1, slot_).Bind(2, static_cast<std::int64_t>(i)).Bind(3, g.answers[i]);
        if (!answer.Run()) return false;
      }
    }
    return true;
  });
  // What the slot holds now is known only when the write went through.
  written_ = g;
  writtenValid_ = written;
}

std::optional<SavedGame> Records::ReadSlot(int slot, bool& damaged) const {
  damaged = false;
  Statement row(db_,
                "SELECT train_path, train_file, train_digest, digest_scheme, loco_set_index, loco_set, level, start_yard,"
                " start_route, yard, route, ucount, moves, hints, undos, played_ms, dcount, fewest, fewest_proven,"
                " fewest_console, restart_offered, history_at FROM kept_games WHERE slot=?");
  row.Bind(1, slot);
  const int first = row.Step();
  if (first == SQLITE_DONE) return std::nullopt;
  damaged = true;
  if (first != SQLITE_ROW) return std::nullopt;
  SavedGame g;
  if (!BoundedText(row, 0, g.trainPath) || !BoundedText(row, 1, g.train.file) || !BoundedText(row, 2, g.train.digest) ||
      !BoundedText(row, 5, g.locoSet) || !BoundedText(row, 7, g.startYard) || !BoundedText(row, 9, g.yard) ||
      !BoundedText(row, 11, g.ucount)) {
    return std::nullopt;
  }
  auto small = [&row](int col) { return static_cast<int>(std::clamp<std::int64_t>(row.Int(col), -1, 1'000'000'000)); };
  g.train.scheme = small(3);
  g.locoSetIndex = small(4);
  g.level = small(6);
  g.startRoute = small(8);
  g.route = small(10);
  g.moves = small(12);
  g.hints = small(13);
  g.undos = small(14);
  g.playedMs = std::max<std::int64_t>(0, row.Int(15));
  g.dcount = small(16);
  g.fewest = small(17);
  g.fewestProven = row.Int(18) != 0;
  g.fewestConsole = row.Int(19) != 0;
  g.restartOffered = row.Int(20) != 0;
  g.historyAt = static_cast<std::size_t>(std::clamp<std::int64_t>(row.Int(21), 0, kHistoryMost));
  // No more rows are read than a game can make: one more says the slot holds something else.
  Statement steps(db_, "SELECT yard, route, ucount, moves, label FROM kept_history WHERE slot=? ORDER BY step LIMIT ?");
  steps.Bind(1, slot).Bind(2, static_cast<std::int64_t>(kHistoryMost + 1));
  while (steps.Step() == SQLITE_ROW) {
    SavedGame::Step st;
    if (g.history.size() >= kHistoryMost || !BoundedText(steps, 0, st.yard) || !BoundedText(steps, 2, st.ucount) ||
        !BoundedText(steps, 4, st.label)) {
      return std::nullopt;
    }
    st.route = static_cast<int>(std::clamp<std::int64_t>(steps.Int(1), -1, 3));
    st.moves = static_cast<int>(std::clamp<std::int64_t>(steps.Int(3), -1, 1'000'000'000));
    g.history.push_back(std::move(st));
  }
  Statement answers(db_, "SELECT entry FROM kept_answers WHERE slot=? ORDER BY idx LIMIT ?");
  answers.Bind(1, slot).Bind(2, static_cast<std::int64_t>(kAnswersMost + 1));
  while (answers.Step() == SQLITE_ROW) {
    std::string entry;
    if (g.answers.size() >= kAnswersMost || !BoundedText(answers, 0, entry)) return std::nullopt;
    g.answers.push_back(std::move(entry));
  }
  damaged = false;
  return g;
}

std::vector<std::pair<int, SavedGame>> Records::KeptGames() const {
  std::vector<std::pair<int, SavedGame>> out;
  std::vector<int> slots;
  Statement all(db_, "SELECT slot FROM kept_games ORDER BY slot");
  while (all.Step() == SQLITE_ROW) slots.push_back(static_cast<int>(all.Int(0)));
  for (const int n : slots) {
    bool damaged = false;
    if (auto g = ReadSlot(n, damaged)) out.emplace_back(n, std::move(*g));
  }
  return out;
}

}  // namespace kelvara
