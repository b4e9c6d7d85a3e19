// The real main window run offscreen for measuring, one mode a run:
//   window_driver bare       a bare Qt main window, shown: the yardstick for start-up
//   window_driver startup    the game's start-up to "Wake up complete" and to its first paint,
//                            waits compressed
//   window_driver memory     resident size after start-up, in kB
//   window_driver idle       a quiz of level 10 made in real time, drawing on: CPU time against wall time
//   window_driver pull       a new game, then one pull between two marker calls for strace
//   window_driver keep       a new game and a move, kept at the end for the next start to take up
//   window_driver resumed    as startup, and says whether a kept game was taken up
//   window_driver statistics 10,000 games recorded, then Game > Statistics opened and painted:
//                            microseconds to record one more game, and to open the window
//   window_driver stalls [sync] 100 seeded quizzes of the largest shipped trains played through
//                            the window: start-up, quiz, hint, a move, hint, the rest, completion;
//                            the longest lateness of a watchdog timer in each, in milliseconds.
//                            "sync" runs every search on the window's thread, as it once was.
// The program folder is the current directory, which must hold "Cars" (the default train set).
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <map>
#include <thread>
#include <vector>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "base/program.h"
#include "qt/applynational.h"
#include "qt/frmmain.h"
#include "qt/frmstatistics.h"
#include "qt/qtplatform.h"

namespace {

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

std::unique_ptr<kelvara::qt::frmMain> StartGame(double timeScale, const char* line) {
  char cwd[4096];
  kelvara::SetProgramPaths(std::string(getcwd(cwd, sizeof cwd)) + "/", "kelvara");
  kelvara::qt::StartOptions o;
  o.noSound = true;
  o.timeScale = timeScale;
  o.commandLine = line;
  // Every box answered with its default button, without showing it.
  static struct Quiet : kelvara::IMessageBox {
    kelvara::MsgAnswer Show(std::string_view, kelvara::MsgButtons b, kelvara::MsgIcon, std::string_view) override {
      return b == kelvara::MsgButtons::YesNo ? kelvara::MsgAnswer::Yes : kelvara::MsgAnswer::Ok;
    }
  } quiet;
  o.messageBox = [](kelvara::IMessageBox&) -> kelvara::IMessageBox& { return quiet; };
  auto w = std::make_unique<kelvara::qt::frmMain>(o);
  w->Form_Load();
  return w;
}

// A timer that should fire every millisecond: how late it came, at most, in each part of a run.
class Watchdog {
 public:
  Watchdog() {
    timer_.setInterval(1);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const double gap = static_cast<double>(since_.nsecsElapsed()) / 1e6;
      since_.restart();
      worst_[part_] = std::max(worst_[part_], gap - 1);
    });
    since_.start();
    timer_.start();
  }
  // From now on lateness counts for this part; the time of the switch itself does not.
  void Part(const std::string& name) {
    QCoreApplication::processEvents();
    part_ = name;
    since_.restart();
  }
  const std::map<std::string, double>& Worst() const { return worst_; }

 private:
  QTimer timer_;
  QElapsedTimer since_;
  std::string part_ = "start-up";
  std::map<std::string, double> worst_;
};

// Turns the event loop until the game has what it waits for, at most five seconds.
template <typename Ready>
void Await(Ready ready) {
  QElapsedTimer waited;
  waited.start();
  while (!ready() && waited.elapsed() < 5000) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

int Stalls(bool sync) {
  Watchdog dog;
  auto w = StartGame(0, "nsp nss");
  kelvara::Game& g = w->game();
  if (sync) g.Worker = nullptr;
  g.settings().OneInput = true;  // moves as typed strings: no console window to answer
  // The largest trains the default set holds with each locomotive set: most cars first.
  struct Choice {
    int set;
    std::string path;
    int units;
  };
  std::vector<Choice> trains;
  for (const auto& t : g.ListTrainFiles()) {
    for (int set = 0; set < g.Loco.LocoSetCount(); ++set) {
      g.ChangeTrain(set, t.path);
      if (g.LocoUnits + g.TrainCars <= kelvara::kVisible) trains.push_back({set, t.path, g.TrainCars});
    }
  }
  std::sort(trains.begin(), trains.end(), [](const Choice& a, const Choice& b) { return a.units > b.units; });
  trains.resize(std::min<std::size_t>(trains.size(), 6));
  int completed = 0, parKnown = 0;
  for (int seed = 1; seed <= 100; ++seed) {
    const Choice& c = trains[static_cast<std::size_t>(seed) % trains.size()];
    dog.Part("train change");
    g.ChangeTrain(c.set, c.path);
    g.lib().Seed(static_cast<std::uint64_t>(seed));
    g.settings().QuestionLevel = 10 * (1 + seed % 5);
    dog.Part("quiz");
    g.mnuGameReDisMakeUp_Click();
    for (int round = 0; round < 2 && g.GameActive; ++round) {
      dog.Part("hint");
      g.mnuGameHint_Click();
      Await([&] { return !g.HintWaiting(); });
      if (g.HintLine.empty()) break;
      // First the hint's first command, then the whole rest of its string.
      std::string typed = round == 0 ? g.HintLine.front().letter + std::to_string(g.HintLine.front().number)
                                     : kelvara::CommandsText(g.HintLine);
      dog.Part("moves");
      g.RunOneInput(typed);
      dog.Part("completion");
      if (g.GameActive) g.ChkGameEnd();
    }
    completed += g.GameActive ? 0 : 1;
    parKnown += g.FewestMoves >= 0 ? 1 : 0;
  }
  dog.Part("end");
  double worst = 0;
  for (const auto& [part, ms] : dog.Worst()) {
    std::printf("%s %.1f\n", part.c_str(), ms);
    if (part != "end") worst = std::max(worst, ms);
  }
  std::printf("longest %.1f completed %d par_known %d\n", worst, completed, parKnown);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  QElapsedTimer clock;
  clock.start();
  QApplication app(argc, argv);
  kelvara::qt::InstallQtPlatform();
  if (mode == "bare") {
    QMainWindow w;
    w.setCentralWidget(new QPushButton("Front"));
    w.resize(600, 430);
    w.show();
    QCoreApplication::processEvents();
    std::printf("%lld\n", static_cast<long long>(clock.nsecsElapsed() / 1000));
    return 0;
  }
  if (mode == "startup") {  // to the log line, then to the window painted
    auto w = StartGame(0, "nsp nss");
    const long long logged = clock.nsecsElapsed() / 1000;
    QCoreApplication::processEvents();
    std::printf("%lld %lld\n", logged, static_cast<long long>(clock.nsecsElapsed() / 1000));
    return 0;
  }
  if (mode == "loop") {  // many start-ups, for a profile
    for (int i = 0; i < 40; ++i) {
      auto w = StartGame(0, "nsp nss");
      QCoreApplication::processEvents();
    }
    return 0;
  }
  if (mode == "memory") {
    auto w = StartGame(0, "nsp nss");
    QCoreApplication::processEvents();
    std::printf("%ld\n", ResidentKb());
    return 0;
  }
  if (mode == "idle") {
    // Time is real: the sign's hold at start-up, then the quiz's two seconds a move.
    auto w = StartGame(1, "nsp nss");
    w->settings().QuestionLevel = 10;
    w->settings().DisMakeUpDraw = true;
    const double cpu0 = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    w->game().mnuGameReDisMakeUp_Click();
    const double cpu = CpuSeconds() - cpu0;
    const double seconds = static_cast<double>(wall.elapsed()) / 1000.0;
    std::printf("%d %.3f %.3f\n", w->game().DCount, cpu, seconds);
    return 0;
  }
  if (mode == "pull") {
    auto w = StartGame(0, "nsp nss");
    w->game().mnuGameReDisMakeUp_Click();
    w->findChild<QPushButton*>("cmdBack")->click();  // into siding 1, coupled
    w->findChild<QComboBox*>("cmbCutTrainNum")->setEditText("2");
    access("/kelvara-pull-begins", F_OK);
    w->findChild<QPushButton*>("cmdFront")->click();
    access("/kelvara-pull-ends", F_OK);
    return 0;
  }
  if (mode == "keep") {
    auto w = StartGame(0, "nsp nss");
    w->game().mnuGameReDisMakeUp_Click();
    w->findChild<QPushButton*>("cmdBack")->click();
    return w->game().GameActive ? 0 : 1;  // the window keeps the game as it goes
  }
  if (mode == "resumed") {
    auto w = StartGame(0, "nsp nss");
    const long long logged = clock.nsecsElapsed() / 1000;
    QCoreApplication::processEvents();
    std::printf("%lld %lld %d\n", logged, static_cast<long long>(clock.nsecsElapsed() / 1000),
                w->game().GameActive ? 1 : 0);
    return 0;
  }
  if (mode == "statistics") {
    auto opened = kelvara::Records::Open("records.sqlite");
    if (!opened.records) return 1;
    kelvara::GameRecord r;
    r.startPosition = "L1/1,3,2,5,4/./@1";
    r.fewest = 9;
    for (int i = opened.records->Stats().played; i < 10000; ++i) {
      r.train = {"train" + std::to_string(i % 20) + ".trd", "0123456789abcdef"};
      r.moves = 9 + i % 7;
      r.end = i % 13 == 0 ? kelvara::GameEnd::Derailed : kelvara::GameEnd::Completed;
      opened.records->GameEnded(r);
    }
    QElapsedTimer one;
    one.start();
    opened.records->GameEnded(r);
    const long long record = one.nsecsElapsed() / 1000;
    auto w = StartGame(0, "nsp nss");
    QCoreApplication::processEvents();
    QElapsedTimer open;
    open.start();
    struct NoBox : kelvara::IMessageBox {
      kelvara::MsgAnswer Show(std::string_view, kelvara::MsgButtons, kelvara::MsgIcon, std::string_view) override {
        return kelvara::MsgAnswer::No;
      }
    } noBox;
    kelvara::qt::frmStatistics s(w.get(), opened.records.get(), w->texts(), noBox);
    s.show();
    QCoreApplication::processEvents();
    std::printf("%lld %lld\n", record, static_cast<long long>(open.nsecsElapsed() / 1000));
    return 0;
  }
  if (mode == "stalls") return Stalls(argc > 2 && std::strcmp(argv[2], "sync") == 0);
  std::fprintf(stderr, "usage: window_driver bare|startup|memory|idle|pull|keep|resumed|statistics|stalls [sync]\n");
  return 2;
}
