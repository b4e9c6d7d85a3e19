// Figures of the yard, worked out with the game's own moves:
//   yardfigures positions CARS [MAX]  every position a train of one locomotive unit and CARS cars
//                                   can reach from its finished formation: how many there are,
//                                   how many of them can still be finished, and the largest
//                                   fewest-move count among those (the hardest quiz there can be),
//                                   with how many positions lie at each distance. The gaps a
//                                   siding's cars stand with count, so the number grows some
//                                   twenty times a car: past MAX (10 million) positions the tool
//                                   says so and stops.
//   yardfigures par FOLDER TRAIN [QUIZZES]
//                                   the par (fewest moves, in the Back button's units) of QUIZZES
//                                   (1,000) seeded quizzes of a train of FOLDER at each level band,
//                                   made as New Game makes them; one line a band
// Positions are those between two commands: the locomotive stands in a siding, and the next
// command is C n (pull n cars out and back into the other siding) or P n (push n lengths deeper).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/nullports.h"
#include "model/game.h"
#include "model/rules.h"
#include "services/settings.h"

namespace {

using namespace kelvara;

// Both sidings as text: a letter a slot, "." for empty, "L" for a locomotive unit.
std::string Key(const Yard& yard) {
  std::string key;
  key.reserve(2 * kVisible);
  for (int line = 1; line <= 2; ++line) {
    for (int k = 0; k < kVisible; ++k) {
      const Slot& s = yard.at(line, k);
      key.push_back(s.IsLoco() ? 'L' : s.IsCar() ? static_cast<char>('a' + s.number()) : '.');
    }
  }
  return key;
}

int Positions(int cars, std::size_t most) {
  const int m = 1;
  // The finished train as a game starts it: the locomotive backed into siding 1 against its cars.
  const kelvara::rules::Board start =
      kelvara::rules::ConsoleStart({kelvara::rules::Placement(Yard{}, m, cars), -1, m, cars});
  struct Node {
    Yard yard;
    int route;
  };
  std::vector<Node> nodes{{start.yard, start.route}};
  std::unordered_map<std::string, std::uint32_t> index{{Key(nodes[0].yard), 0}};
  std::vector<std::vector<std::uint32_t>> from(1);  // the positions each one is reached from
  for (std::uint32_t at = 0; at < nodes.size(); ++at) {
    const Node here = nodes[at];
    const int coupled = here.yard.GetCoupledCarsNum(here.route) - m;
    const int room = here.yard.GetMaxPushing(here.route);
    std::vector<OneInputCommand> commands;
    for (int c = 0; c <= coupled; ++c) commands.push_back({"C", c});
    for (int p = 1; p <= room; ++p) commands.push_back({"P", p});
    for (const OneInputCommand& c : commands) {
      const kelvara::rules::Played played = kelvara::rules::Play({here.yard, here.route, m, cars}, c);
      if (!played.Clean()) continue;  // derailed, or the game said no
      const Yard& g = played.board.yard;
      const std::string key = Key(g);
      auto [it, added] = index.try_emplace(key, static_cast<std::uint32_t>(nodes.size()));
      if (added && nodes.size() >= most) {
        std::printf("cars %d positions more than %zu: not enumerated\n", cars, most);
        return 3;
      }
      if (added) {
        nodes.push_back({g, played.board.route});
        from.emplace_back();
      }
      from[it->second].push_back(at);
    }
  }
  // Backwards from every finished position: each position's fewest commands to a finish.
  std::vector<int> distance(nodes.size(), -1);
  std::deque<std::uint32_t> queue;
  for (std::uint32_t i = 0; i < nodes.size(); ++i) {
    if (TrainComplete(nodes[i].yard, cars)) {
      distance[i] = 0;
      queue.push_back(i);
    }
  }
  while (!queue.empty()) {
    const std::uint32_t at = queue.front();
    queue.pop_front();
    for (const std::uint32_t before : from[at]) {
      if (distance[before] < 0) {
        distance[before] = distance[at] + 1;
        queue.push_back(before);
      }
    }
  }
  const int hardest = *std::max_element(distance.begin(), distance.end());
  std::vector<long> at(static_cast<std::size_t>(hardest) + 1, 0);
  long finishable = 0;
  for (const int d : distance) {
    if (d >= 0) {
      ++finishable;
      ++at[static_cast<std::size_t>(d)];
    }
  }
  std::printf("cars %d positions %zu finishable %ld hardest %d by distance", cars, nodes.size(), finishable, hardest);
  for (const long count : at) std::printf(" %ld", count);
  std::printf("\n");
  return 0;
}

int Par(const std::string& folder, const std::string& train, int quizzes) {
  AppSettings settings;
  settings.TrdFolder = folder;
  settings.MakeLog = false;
  NullPorts ports;
  Game game(ports.ports(), settings);
  game.LoadLocoList();
  game.ChangeTrain(0, folder + "/" + train);
  if (game.TrainCars <= 0 || game.LocoUnits + game.TrainCars > kVisible) {
    std::printf("%s: not playable with the first locomotive set\n", train.c_str());
    return 1;
  }
  struct Band {
    const char* name;
    int levels[2];
  };
  for (const Band& band : {Band{"5-10", {5, 10}}, Band{"20-30", {20, 30}}, Band{"40-50", {40, 50}}}) {
    std::vector<int> pars;
    int unknown = 0, unproven = 0;
    for (int q = 0; q < quizzes; ++q) {
      settings.QuestionLevel = band.levels[q % 2];
      game.lib().Seed(static_cast<std::uint64_t>(q) * 2654435761u + static_cast<std::uint64_t>(settings.QuestionLevel));
      game.SetCars();
      game.Route = 1;  // as the sign stands once the start-up's hold on the head shunt is over
      game.mnuGameReDisMakeUp_Click();
      if (game.FewestMoves < 0) {
        ++unknown;
        continue;
      }
      unproven += game.FewestProven ? 0 : 1;
      pars.push_back(game.FewestMoves);
    }
    std::sort(pars.begin(), pars.end());
    auto at = [&](double share) { return pars.empty() ? -1 : pars[static_cast<std::size_t>(share * (pars.size() - 1))]; };
    std::printf("%s m %d n %d levels %s quizzes %d min %d p10 %d median %d p90 %d max %d unknown %d unproven %d histogram",
                train.c_str(), game.LocoUnits, game.TrainCars, band.name, quizzes, at(0), at(0.1), at(0.5), at(0.9),
                at(1), unknown, unproven);
    std::vector<int> histogram(static_cast<std::size_t>(std::max(at(1), 0)) + 1, 0);
    for (const int p : pars) ++histogram[static_cast<std::size_t>(p)];
    for (const int h : histogram) std::printf(" %d", h);
    std::printf("\n");
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "positions" && (argc == 3 || argc == 4)) {
    return Positions(std::atoi(argv[2]), argc == 4 ? std::strtoull(argv[3], nullptr, 10) : 10000000u);
  }
  if (mode == "par" && argc >= 4) return Par(argv[2], argv[3], argc > 4 ? std::atoi(argv[4]) : 1000);
  std::fprintf(stderr, "usage: yardfigures positions CARS | par FOLDER TRAIN [QUIZZES]\n");
  return 2;
}
