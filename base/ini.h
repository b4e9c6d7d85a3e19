// INI files with the classic private-profile rules: sections and keys match in any letter case,
// blanks around names and values are dropped, a value is at most 254 characters, and writing a key
// changes its one line and keeps every other section, key and comment of the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvara {

class IniFile {
 public:
  static constexpr std::size_t kMaxValue = 254;

  IniFile() = default;
  // Text in UTF-8 or CP932, lines ending in CR LF or LF.
  static IniFile Parse(std::string_view bytes);
  // An unreadable or missing file reads as empty.
  static IniFile Load(const std::string& path);

  // The value, or `fallback` when the section or key is missing.
  std::string Get(std::string_view section, std::string_view key, std::string_view fallback = {}) const;
  bool Has(std::string_view section, std::string_view key) const;
  // The largest n for which a section named n in plain decimal exists, or -1.
  long long LastNumberedSection() const;
  void Set(std::string_view section, std::string_view key, std::string_view value);

  std::string Serialize() const;
  // Writes the whole file next to the old one, then renames it over it.
  bool SaveAtomically(const std::string& path) const;

 private:
  std::optional<std::size_t> FindSection(std::string_view section) const;
  std::optional<std::size_t> FindKey(std::size_t sectionLine, std::string_view key) const;

  std::vector<std::string> lines_;
};

}  // namespace kelvara
