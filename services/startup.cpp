#include "services/startup.h"

#include <string>
#include <vector>

#include "data/mylib.h"

namespace kelvara {

StartupFlags GetArg(MyLibClass& lib, std::string_view commandLine) {
  StartupFlags f;
  std::vector<std::string> words(101);
  lib.SeparateArgmentStrings(commandLine, words);
  const std::pair<const char*, bool StartupFlags::*> switches[] = {
      {"nsp", &StartupFlags::NoSplash},     {"nml", &StartupFlags::NoMidiLog},
      {"nsl", &StartupFlags::NoStartLog},   {"nel", &StartupFlags::NoEndLog},
      {"oa", &StartupFlags::ShowAnimeTest}, {"ndt", &StartupFlags::NoDeleteTemp},
      {"nss", &StartupFlags::NoStartSound},
  };
  for (int i = 0; i < 100; ++i) {
    lib.clock().PumpOnce();
    std::string word = words[static_cast<std::size_t>(i)];
    for (char& c : word) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    for (const auto& [name, flag] : switches) {
      if (word == name) f.*flag = true;
    }
  }
  return f;
}

}  // namespace kelvara
