// What every front end does to set a game up: the settings read, the game made and handed what
// it needs from the program's folders.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "model/game.h"

namespace kelvara {

class MyLogClass;

// Reads the settings file, or writes one with the defaults when there is none (its folder made
// first); the defaults stand even when it cannot be written. Says which: "LoadIni" or "CreateIni".
// A file that is there but cannot be read is left alone: the defaults stand, and `problem` gets
// the file and the system's reason, for the player to be told once.
std::string ReadSettings(AppSettings& settings, std::string* problem = nullptr);

// The game on these ports: the default train set behind the data folder, the player's name for
// the derailment's passenger, the log a re-make starts anew, and the random numbers seeded when a
// seed is given.
std::unique_ptr<Game> MakeGame(Ports ports, AppSettings& settings, MyLogClass* log,
                               std::optional<std::uint64_t> seed = std::nullopt);

}  // namespace kelvara
