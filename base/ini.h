// INI files with the classic private-profile rules: sections and keys match in any letter case,
// blanks around names and values are dropped, a value in matching quotes is read without them, a
// value is at most 254 characters, the first section of a name is the one that counts.
//
// Other tools write these files too, so a write changes one line and nothing else: every other
// line keeps its bytes, its line end and its encoding (UTF-8 or the Japanese code page CP932),
// and a byte-order mark stays where it was.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvara {

class IniFile {
 public:
  static constexpr std::size_t kMaxValue = 254;

  IniFile() = default;
  // Text in UTF-8 or CP932, lines ending in CR LF, LF or CR.
  static IniFile Parse(std::string_view bytes);
  // An unreadable or missing file reads as empty.
  static IniFile Load(const std::string& path);

  // The value, or `fallback` (its trailing blanks dropped) when the section or key is missing.
  std::string Get(std::string_view section, std::string_view key, std::string_view fallback = {}) const;
  bool Has(std::string_view section, std::string_view key) const;
  // Every n for which a section named n in plain decimal exists, in ascending order.
  std::vector<long long> NumberedSections() const;
  // Every section and key a lookup can find, in file order: what a write must leave as it reads.
  std::vector<std::pair<std::string, std::string>> Entries() const;

  // Updates the key in place, keeping the file's spelling of its name; a new key goes after the
  // section's last key, a new section at the end of the file. A value is one line: it is cut at
  // the first line break.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  std::string Serialize() const;
  // Writes the whole file next to the old one, under a name no other save uses, then renames it
  // over it; the old file's access rights are kept.
  bool SaveAtomically(const std::string& path) const;
  // Reads the file, applies `change` and saves the result in its place, while other processes
  // that save the same file wait (a lock on its folder). A file that is there but cannot be read
  // is left as it is and the result is false: whatever else it holds would be lost.
  static bool Update(const std::string& path, const std::function<void(IniFile&)>& change);

 private:
  struct Line {
    std::string other;  // the bytes in the file where they differ from the text (CP932), else empty
    std::string end;    // "\r\n", "\n", "\r" or "" for a last line without one
    std::string text;   // what the line says, in UTF-8
    // As in the file, without its line end.
    const std::string& Bytes() const { return other.empty() ? text : other; }
  };

  std::optional<std::size_t> FindSection(std::string_view section) const;
  std::optional<std::size_t> FindKey(std::size_t sectionLine, std::string_view key) const;
  // A line of ours (UTF-8 text) in the file's encoding; the file turns to UTF-8 when CP932 cannot
  // hold it.
  Line Make(const std::string& text);
  void ToUtf8();
  std::string NewLineEnd() const;

  // Where each section name and each of its keys first stand, so a lookup reads neither the
  // whole file nor allocates: the names sorted by section and by a hash that ignores letter case.
  struct Name {
    std::size_t scope;  // kSections for a section's name, else the line of its (first) section
    std::uint64_t hash;  // of the name in lower case
    std::size_t line;
    std::size_t at, size;  // where the name stands in the line's text
  };
  static constexpr std::size_t kSections = static_cast<std::size_t>(-1);
  void Index();
  std::string_view NameOf(const Name& n) const;
  // The first name of that scope equal to `name` in any letter case, or the end.
  std::vector<Name>::const_iterator Find(std::size_t scope, std::string_view name) const;

  std::string bom_;
  bool utf8_ = true;
  std::vector<Line> lines_;
  std::vector<Name> names_;
};

}  // namespace kelvara
