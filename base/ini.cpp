#include "base/ini.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "base/textfile.h"

namespace kelvara {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// "[name]" gives name; anything else is not a section line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

std::optional<std::string_view> KeyName(std::string_view line) {
  const std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, eq));
}

// At most kMaxValue characters, never cutting a UTF-8 sequence in two.
std::string Cut(std::string_view v) {
  std::size_t chars = 0, i = 0;
  while (i < v.size() && chars < IniFile::kMaxValue) {
    const auto c = static_cast<unsigned char>(v[i]);
    i += c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
    ++chars;
  }
  return std::string(v.substr(0, std::min(i, v.size())));
}

}  // namespace

IniFile IniFile::Parse(std::string_view bytes) {
  IniFile ini;
  ini.lines_ = SplitLines(DecodeText(bytes));
  return ini;
}

IniFile IniFile::Load(const std::string& path) {
  const auto bytes = ReadFileBytes(path);
  return bytes ? Parse(*bytes) : IniFile();
}

std::optional<std::size_t> IniFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i]);
    if (name && EqualsNoCase(*name, Trim(section))) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> IniFile::FindKey(std::size_t sectionLine, std::string_view key) const {
  for (std::size_t i = sectionLine + 1; i < lines_.size(); ++i) {
    if (SectionName(lines_[i])) break;
    const auto name = KeyName(lines_[i]);
    if (name && EqualsNoCase(*name, Trim(key))) return i;
  }
  return std::nullopt;
}

long long IniFile::LastNumberedSection() const {
  long long last = -1;
  for (const auto& line : lines_) {
    const auto name = SectionName(line);
    if (!name || name->empty() || name->size() > 10) continue;
    if ((*name)[0] == '0' && name->size() > 1) continue;
    bool digits = true;
    for (char c : *name) digits = digits && c >= '0' && c <= '9';
    if (digits) last = std::max(last, std::stoll(std::string(*name)));
  }
  return last;
}

bool IniFile::Has(std::string_view section, std::string_view key) const {
  const auto s = FindSection(section);
  return s && FindKey(*s, key);
}

std::string IniFile::Get(std::string_view section, std::string_view key, std::string_view fallback) const {
  const auto s = FindSection(section);
  const auto k = s ? FindKey(*s, key) : std::nullopt;
  if (!k) return Cut(fallback);
  const std::string& line = lines_[*k];
  std::string_view value = Trim(std::string_view(line).substr(line.find('=') + 1));
  // A value in matching double quotes is read without them.
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return Cut(value);
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string entry = std::string(Trim(key)) + "=" + std::string(value);
  const auto s = FindSection(section);
  if (!s) {
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
    lines_.push_back("[" + std::string(Trim(section)) + "]");
    lines_.push_back(entry);
    return;
  }
  if (const auto k = FindKey(*s, key)) {
    lines_[*k] = entry;
    return;
  }
  // After the section's last key, before any blank lines that separate it from the next one.
  std::size_t at = *s + 1;
  for (std::size_t i = *s + 1; i < lines_.size() && !SectionName(lines_[i]); ++i) {
    if (!Trim(lines_[i]).empty()) at = i + 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), entry);
}

std::string IniFile::Serialize() const {
  std::string out;
  for (const auto& l : lines_) {
    out += l;
    out += "\r\n";
  }
  return out;
}

bool IniFile::SaveAtomically(const std::string& path) const {
  // The new text goes to a file of its own first; only a complete, flushed file replaces the old.
  const std::string temp = path + ".new";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const std::string text = Serialize();
  std::size_t done = 0;
  bool ok = true;
  while (ok && done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(temp.c_str());
  return ok;
}

}  // namespace kelvara
