// Any bytes as an INI file. Read and written back unchanged, the file is the same bytes; a key
// written reads back as a one-line file with that value reads; and writing it changes how no
// other key of the file reads.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "base/ini.h"
#include "base/textfile.h"

using namespace kelvara;

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; });
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first byte picks the key, the bytes up to the first NUL are the value, the rest is the file.
  const std::string_view all(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t nul = all.find('\0');
  const std::string value(all.substr(0, std::min(nul, std::size_t{300})));
  const std::string_view bytes = nul == std::string_view::npos ? std::string_view() : all.substr(nul + 1);

  IniFile ini = IniFile::Parse(bytes);
  if (ini.Serialize() != bytes) std::abort();
  ini.NumberedSections();
  const auto entries = ini.Entries();
  std::vector<std::string> before;
  for (const auto& [section, key] : entries) before.push_back(ini.Get(section, key));

  std::string section = "Kelvara", key = data[0] % 2 ? "TRD_Folder" : "QuestionLevel";
  if (!entries.empty() && data[0] % 3 == 0) std::tie(section, key) = entries[data[0] % entries.size()];
  ini.Set(section, key, value);
  const IniFile again = IniFile::Parse(ini.Serialize());

  // What the value reads as when it is the only thing a file holds.
  std::string line = value.substr(0, value.find_first_of("\r\n"));
  if (!IsValidUtf8(line)) line = DecodeCp932(line);
  if (again.Get(section, key) != IniFile::Parse("[s]\nk=" + line).Get("s", "k")) std::abort();

  for (std::size_t i = 0; i < entries.size(); ++i) {
    const auto& [s, k] = entries[i];
    if (Lower(s) == Lower(section) && Lower(k) == Lower(key)) continue;
    if (again.Get(s, k) != before[i]) std::abort();
  }
  return 0;
}
