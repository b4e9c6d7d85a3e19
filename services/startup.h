// The start-up switches of the command line.
#pragma once

#include <string_view>

namespace kelvara {

class MyLibClass;

struct StartupFlags {
  bool NoSplash = false;       // "nsp": no splash window
  bool NoMidiLog = false;      // "nml": the MIDI player keeps no log
  bool NoStartLog = false;     // "nsl": no start-up lines in the log
  bool NoEndLog = false;       // "nel": no shutdown lines in the log
  bool ShowAnimeTest = false;  // "oa": the departure run's test button is shown
  bool NoDeleteTemp = false;   // "ndt": temporary files of an earlier run stay
  bool NoStartSound = false;   // "nss": no start-up tune
};

// Splits the command line into words (one leading "/" or "-" of the whole line dropped) and sets
// a flag for every word that is a switch, in any letter case. Words are compared whole.
StartupFlags GetArg(MyLibClass& lib, std::string_view commandLine);

}  // namespace kelvara
