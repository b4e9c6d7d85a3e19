#include "base/ini.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <set>

#include "base/textfile.h"

namespace kelvara {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

constexpr std::string_view kBlanks = " \t";

std::string_view TrimRight(std::string_view s) {
  const auto last = s.find_last_not_of(kBlanks);
  return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(kBlanks);
  return first == std::string_view::npos ? std::string_view() : TrimRight(s.substr(first));
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
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
  if (bytes.substr(0, kBom.size()) == kBom) {
    ini.bom_ = kBom;
    bytes.remove_prefix(kBom.size());
  }
  ini.utf8_ = IsValidUtf8(bytes);
  ini.lines_.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
  std::size_t start = 0;
  auto add = [&](std::size_t stop, std::string_view end) {
    const std::string_view raw = bytes.substr(start, stop - start);
    Line& line = ini.lines_.emplace_back(Line{{}, std::string(end), ini.utf8_ ? std::string(raw) : DecodeCp932(raw)});
    if (line.text != raw) line.other = raw;
  };
  for (std::size_t i = bytes.find_first_of("\r\n"); i != std::string_view::npos; i = bytes.find_first_of("\r\n", start)) {
    const bool crlf = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
    add(i, crlf ? "\r\n" : bytes.substr(i, 1));
    start = i + (crlf ? 2 : 1);
  }
  if (start < bytes.size()) add(bytes.size(), "");
  ini.Index();
  return ini;
}

IniFile IniFile::Load(const std::string& path) {
  const auto bytes = ReadFileBytes(path, kSettingsFileLimit);
  return bytes ? Parse(*bytes) : IniFile();
}

void IniFile::Index() {
  sections_.clear();
  keys_.clear();
  std::optional<std::size_t> first;  // the line of the section being read, while it is the first of its name
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (const auto name = SectionName(lines_[i].text)) {
      first = sections_.emplace(Lower(*name), i).second ? std::optional<std::size_t>(i) : std::nullopt;
    } else if (const auto key = KeyName(lines_[i].text); first && key) {
      keys_.emplace(std::pair<std::size_t, std::string>(*first, Lower(*key)), i);  // the first of its name counts
    }
  }
}

std::optional<std::size_t> IniFile::FindSection(std::string_view section) const {
  const auto it = sections_.find(Lower(Trim(section)));
  if (it == sections_.end()) return std::nullopt;
  return it->second;
}

std::optional<std::size_t> IniFile::FindKey(std::size_t sectionLine, std::string_view key) const {
  const auto it = keys_.find({sectionLine, Lower(Trim(key))});
  if (it == keys_.end()) return std::nullopt;
  return it->second;
}

std::vector<long long> IniFile::NumberedSections() const {
  std::set<long long> numbers;
  for (const auto& line : lines_) {
    const auto name = SectionName(line.text);
    if (!name || name->empty() || name->size() > 10) continue;
    if ((*name)[0] == '0' && name->size() > 1) continue;
    bool digits = true;
    for (char c : *name) digits = digits && c >= '0' && c <= '9';
    if (digits) numbers.insert(std::stoll(std::string(*name)));
  }
  return {numbers.begin(), numbers.end()};
}

std::vector<std::pair<std::string, std::string>> IniFile::Entries() const {
  std::vector<std::pair<std::string, std::string>> out;
  std::set<std::string> sections, keys;
  std::optional<std::string> current;  // the section read, while it is the first of its name
  for (const Line& line : lines_) {
    if (const auto section = SectionName(line.text)) {
      current.reset();
      if (sections.insert(Lower(*section)).second) current = std::string(*section);
      keys.clear();
    } else if (const auto key = KeyName(line.text); current && key && keys.insert(Lower(*key)).second) {
      out.emplace_back(*current, *key);
    }
  }
  return out;
}

bool IniFile::Has(std::string_view section, std::string_view key) const {
  const auto s = FindSection(section);
  return s && FindKey(*s, key);
}

std::string IniFile::Get(std::string_view section, std::string_view key, std::string_view fallback) const {
  const auto s = FindSection(section);
  const auto k = s ? FindKey(*s, key) : std::nullopt;
  if (!k) return Cut(TrimRight(fallback));
  const std::string& line = lines_[*k].text;
  std::string_view value = Trim(std::string_view(line).substr(line.find('=') + 1));
  // A value in matching double or single quotes is read without them.
  if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\'')) {
    value = value.substr(1, value.size() - 2);
  }
  return Cut(value);
}

std::string IniFile::NewLineEnd() const {
  for (const Line& l : lines_) {
    if (!l.end.empty()) return l.end;
  }
  return "\r\n";
}

void IniFile::ToUtf8() {
  for (Line& l : lines_) l.other.clear();
  utf8_ = true;
}

IniFile::Line IniFile::Make(const std::string& text) {
  std::string bytes;
  if (!utf8_ && !EncodeCp932Exactly(text, bytes)) ToUtf8();
  return {utf8_ || bytes == text ? std::string() : bytes, NewLineEnd(), text};
}

namespace {

// What a caller hands over is written as text: bytes that are not UTF-8 came in the other
// encoding these files know.
std::string AsText(std::string_view given) {
  return IsValidUtf8(given) ? std::string(given) : DecodeCp932(given);
}

}  // namespace

void IniFile::Set(std::string_view givenSection, std::string_view givenKey, std::string_view value) {
  const std::string section = AsText(givenSection), key = AsText(givenKey);
  const std::string v = AsText(value.substr(0, value.find_first_of("\r\n")));
  const auto s = FindSection(section);
  bool reindex = true;
  if (!s) {
    if (!lines_.empty() && lines_.back().end.empty()) lines_.back().end = NewLineEnd();
    lines_.push_back(Make("[" + std::string(Trim(section)) + "]"));
    lines_.push_back(Make(std::string(Trim(key)) + "=" + v));
  } else if (const auto k = FindKey(*s, key)) {
    const std::string end = lines_[*k].end;
    lines_[*k] = Make(std::string(*KeyName(lines_[*k].text)) + "=" + v);
    lines_[*k].end = end;
    // The same key on the same line, every text else as it was: the index holds.
    reindex = false;
  } else {
    // After the section's last key, before any blank lines that separate it from the next one.
    std::size_t at = *s + 1;
    for (std::size_t i = *s + 1; i < lines_.size() && !SectionName(lines_[i].text); ++i) {
      if (!Trim(lines_[i].text).empty()) at = i + 1;
    }
    if (lines_[at - 1].end.empty()) lines_[at - 1].end = NewLineEnd();
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Make(std::string(Trim(key)) + "=" + v));
  }
  if (reindex) Index();
  // A file read as CP932 that has become valid UTF-8 would be read as UTF-8 next time: let it
  // be UTF-8 for real if any line would then read differently.
  if (!utf8_) {
    std::string body;
    for (const Line& l : lines_) body.append(l.Bytes()).append(l.end);
    if (IsValidUtf8(body)) {
      utf8_ = std::all_of(lines_.begin(), lines_.end(), [](const Line& l) { return l.other.empty(); });
      if (!utf8_) ToUtf8();
    }
  }
}

std::string IniFile::Serialize() const {
  std::string out = bom_;
  for (const Line& l : lines_) out.append(l.Bytes()).append(l.end);
  return out;
}

namespace {

// The file a link names: a link to a settings file kept elsewhere stays a link.
std::string LinkTarget(const std::string& given) {
  std::error_code ec;
  const std::filesystem::path canonical = std::filesystem::canonical(given, ec);
  return ec ? given : canonical.string();
}

}  // namespace

bool IniFile::SaveAtomically(const std::string& given) const {
  const std::string path = LinkTarget(given);
  struct stat old {};
  const bool existed = ::stat(path.c_str(), &old) == 0;

  // The new text goes to a file of its own first, made afresh under a name nobody else has (so a
  // link planted there is never followed); only a complete, flushed file replaces the old.
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  const std::string text = Serialize();
  std::size_t done = 0;
  bool ok = ::fchmod(fd, existed ? old.st_mode & 07777 : 0644) == 0;
  while (ok && done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

bool IniFile::Update(const std::string& given, const std::function<void(IniFile&)>& change) {
  const std::string path = LinkTarget(given);
  // The folder is the lock: the file itself is replaced by every save, and a lock file would be
  // one more file to leave behind.
  const std::string folder = std::filesystem::path(path).parent_path().string();
  // A folder that cannot be opened or a file system without locks (some network shares) still
  // saves, as it did before there was a lock.
  const int lock = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  while (lock >= 0 && ::flock(lock, LOCK_EX) != 0 && errno == EINTR) {
  }
  const FileRead read = ReadGameFile(path, kSettingsFileLimit);
  bool ok = false;
  if (read.bytes || read.missing) {
    IniFile ini = read.bytes ? Parse(*read.bytes) : IniFile();
    change(ini);
    ok = ini.SaveAtomically(path);
  }
  if (lock >= 0) ::close(lock);  // and with it the lock
  return ok;
}

}  // namespace kelvara
