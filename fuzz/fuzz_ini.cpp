// Any bytes as an INI file: reading, writing a key and reading it back never fail.
#include <cstdlib>
#include <string>

#include "base/ini.h"

using namespace kelvara;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  IniFile ini = IniFile::Parse(bytes);
  const std::string before = ini.Get("Kelvara", "QuestionLevel", "5");
  if (before.size() > IniFile::kMaxValue * 4) std::abort();
  ini.LastNumberedSection();
  ini.Set("Kelvara", "TRD_Folder", "/tmp/Cars");
  if (ini.Get("kelvara", "trd_folder") != "/tmp/Cars") std::abort();
  // Writing one key keeps every other key of the section as it read.
  IniFile again = IniFile::Parse(ini.Serialize());
  if (again.Get("Kelvara", "TRD_Folder") != "/tmp/Cars") std::abort();
  return 0;
}
