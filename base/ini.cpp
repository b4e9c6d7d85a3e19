#include "base/ini.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
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
  return s.substr(0, last == std::string_view::npos ? 0 : last + 1);
}

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(kBlanks);
  // An empty result still points into `s`: the index keeps where a name stands in its line.
  return first == std::string_view::npos ? s.substr(s.size()) : TrimRight(s.substr(first));
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

namespace {

char LowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Compares as the ASCII letters were all lower case, as the classic rules match names.
int CompareNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(LowerChar(a[i])), y = static_cast<unsigned char>(LowerChar(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

// FNV-1a over the name in lower case: names that match have the same hash.
std::uint64_t HashNoCase(std::string_view s) {
  std::uint64_t h = 14695981039346656037ull;
  for (char c : s) h = (h ^ static_cast<unsigned char>(LowerChar(c))) * 1099511628211ull;
  return h;
}

}  // namespace

std::string_view IniFile::NameOf(const Name& n) const {
  return std::string_view(lines_[n.line].text).substr(n.at, n.size);
}

void IniFile::Index() {
  names_.clear();
  std::vector<Name> keys;
  std::size_t section = kSections;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::string& text = lines_[i].text;
    std::optional<std::string_view> name = SectionName(text);
    const bool isSection = name.has_value();
    if (!isSection) name = KeyName(text);
    if (!name || (!isSection && section == kSections)) continue;
    const Name n{isSection ? kSections : section, HashNoCase(*name), i,
                 static_cast<std::size_t>(name->data() - text.data()), name->size()};
    (isSection ? names_ : keys).push_back(n);
    if (isSection) section = i;
  }
  // Equal names sort together in file order, so the first of each name is the one kept.
  const auto before = [this](const Name& a, const Name& b) {
    if (a.scope != b.scope) return a.scope < b.scope;
    if (a.hash != b.hash) return a.hash < b.hash;
    const int c = CompareNoCase(NameOf(a), NameOf(b));
    return c != 0 ? c < 0 : a.line < b.line;
  };
  const auto same = [this](const Name& a, const Name& b) {
    return a.scope == b.scope && a.hash == b.hash && CompareNoCase(NameOf(a), NameOf(b)) == 0;
  };
  std::sort(names_.begin(), names_.end(), before);
  names_.erase(std::unique(names_.begin(), names_.end(), same), names_.end());
  // Only the keys of the first section of a name are read.
  std::vector<bool> counts(lines_.size(), false);
  for (const Name& n : names_) counts[n.line] = true;
  keys.erase(std::remove_if(keys.begin(), keys.end(), [&](const Name& k) { return !counts[k.scope]; }), keys.end());
  std::sort(keys.begin(), keys.end(), before);
  keys.erase(std::unique(keys.begin(), keys.end(), same), keys.end());
  // Section lines are all smaller than kSections: keys first.
  keys.insert(keys.end(), names_.begin(), names_.end());
  names_ = std::move(keys);
}

std::vector<IniFile::Name>::const_iterator IniFile::Find(std::size_t scope, std::string_view name) const {
  const std::uint64_t hash = HashNoCase(name);
  auto it = std::lower_bound(names_.begin(), names_.end(), std::pair(scope, hash), [](const Name& n, const auto& want) {
    return n.scope != want.first ? n.scope < want.first : n.hash < want.second;
  });
  for (; it != names_.end() && it->scope == scope && it->hash == hash; ++it) {
    if (CompareNoCase(NameOf(*it), name) == 0) return it;
  }
  return names_.end();
}

std::optional<std::size_t> IniFile::FindSection(std::string_view section) const {
  const auto it = Find(kSections, Trim(section));
  if (it == names_.end()) return std::nullopt;
  return it->line;
}

std::optional<std::size_t> IniFile::FindKey(std::size_t sectionLine, std::string_view key) const {
  const auto it = Find(sectionLine, Trim(key));
  if (it == names_.end()) return std::nullopt;
  return it->line;
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
  std::vector<const Name*> keys;
  for (const Name& n : names_) {
    if (n.scope != kSections) keys.push_back(&n);
  }
  std::sort(keys.begin(), keys.end(), [](const Name* a, const Name* b) { return a->line < b->line; });
  std::vector<std::pair<std::string, std::string>> out;
  out.reserve(keys.size());
  for (const Name* k : keys) out.emplace_back(*SectionName(lines_[k->scope].text), NameOf(*k));
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
  } else if (const auto name = Find(*s, Trim(key)); name != names_.end()) {
    const std::size_t k = name->line;
    const std::string end = lines_[k].end;
    lines_[k] = Make(std::string(NameOf(*name)) + "=" + v);
    lines_[k].end = end;
    // The same key on the same line, every text else as it was: the index holds, but for where
    // the name stands in its line, now at its start.
    names_[static_cast<std::size_t>(name - names_.begin())].at = 0;
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

// A save writes "kelvara.ini.saving-Xy12Ab" first (mkostemp's six letters and digits). Earlier
// versions wrote "kelvara.ini.Xy12Ab": of those only names that are no word (letters of both cases,
// or digits, among the six) are taken for theirs, so that "kelvara.ini.backup" stays.
constexpr std::string_view kSaving = ".saving-";

bool MadeByMkstemp(std::string_view six, bool mixed) {
  if (six.size() != 6) return false;
  bool lower = false, upper = false, digit = false;
  for (const char c : six) {
    lower |= c >= 'a' && c <= 'z';
    upper |= c >= 'A' && c <= 'Z';
    digit |= c >= '0' && c <= '9';
    if (std::isalnum(static_cast<unsigned char>(c)) == 0) return false;
  }
  return !mixed || digit || (lower && upper);
}

void RemoveStaleTemporaries(const std::string& path) {
  const std::filesystem::path file(path);
  const std::string name = file.filename().string();
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(file.parent_path().empty() ? "." : file.parent_path(), ec)) {
    const std::string other = entry.path().filename().string();
    if (other.size() <= name.size() || other.compare(0, name.size(), name) != 0) continue;
    const std::string_view rest = std::string_view(other).substr(name.size());
    const bool ours = (rest.starts_with(kSaving) && MadeByMkstemp(rest.substr(kSaving.size()), false)) ||
                      (rest.size() == 7 && rest[0] == '.' && MadeByMkstemp(rest.substr(1), true));
    std::error_code kind;
    if (ours && entry.is_regular_file(kind) && !entry.is_symlink(kind)) ::unlink(entry.path().c_str());
  }
}

}  // namespace

bool IniFile::SaveAtomically(const std::string& given) const {
  const std::string path = LinkTarget(given);
  struct stat old {};
  const bool existed = ::stat(path.c_str(), &old) == 0;

  // The new text goes to a file of its own first, made afresh under a name nobody else has (so a
  // link planted there is never followed); only a complete, flushed file replaces the old.
  std::string temp = path + std::string(kSaving) + "XXXXXX";
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
  int locked = -1;
  while (lock >= 0 && (locked = ::flock(lock, LOCK_EX)) != 0 && errno == EINTR) {
  }
  // Under the lock no other save is half way: a temporary of this file still there is one a save
  // killed half way left behind.
  if (locked == 0) RemoveStaleTemporaries(path);
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
