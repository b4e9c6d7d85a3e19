#include "data/trd.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/digest.h"
#include "base/paths.h"
#include "base/textfile.h"
#include "base/product.h"

namespace kelvara {

CarFinder WithFallback(CarFinder finder, const std::string& folder, const std::string& alsoIn) {
  if (alsoIn.empty()) return finder;
  const std::string own = BuildPath(NormalizeSeparators(folder), "");
  const std::string other = NormalizeSeparators(alsoIn);
  return [finder = std::move(finder), own, other](const std::string& path) {
    CarFile car = finder(path);
    if (car.exists || FolderOf(path) != own) return car;
    CarFile shared = finder(BuildPath(other, GetFileName(path)));
    shared.folder = other;
    return shared.exists ? shared : car;
  };
}

CarFile FindCarIn(const CarFinder& finder, const std::string& folder, std::string_view name) {
  const std::string path = ResolveCarPath(folder, name);
  if (path.empty()) {
    CarFile none;
    none.path = NormalizeSeparators(name);
    return none;
  }
  CarFile car = finder(path);
  if (car.exists && !InsideFolder(car.path, car.folder.empty() ? folder : car.folder)) car.exists = false;
  return car;
}

namespace {

constexpr int kErrFileNotFound = 53;
constexpr int kErrInputPastEnd = 62;
constexpr int kErrTooManyCars = 9;  // subscript out of range: the car list is full

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads comma-delimited header fields the way the old file reader did.
class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }

  // False when the text ends before a field starts.
  bool Read(std::string& field) {
    field.clear();
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    if (AtEnd()) return false;
    if (text_[pos_] == '"') {
      const auto close = text_.find('"', pos_ + 1);
      const auto end = close == std::string_view::npos ? text_.size() : close;
      field.assign(text_.substr(pos_ + 1, end - pos_ - 1));
      pos_ = close == std::string_view::npos ? text_.size() : close + 1;
      // Whatever follows the closing quote up to the delimiter is dropped.
      while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) ++pos_;
    } else {
      const auto start = pos_;
      while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) ++pos_;
      field.assign(text_.substr(start, pos_ - start));
    }
    SkipDelimiter();
    return true;
  }

  std::string_view Rest() const { return AtEnd() ? std::string_view() : text_.substr(pos_); }

 private:
  static bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
  void SkipDelimiter() {
    if (AtEnd()) return;
    if (text_[pos_] == ',') {
      ++pos_;
    } else if (text_[pos_] == '\r') {
      ++pos_;
      if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    } else if (text_[pos_] == '\n') {
      ++pos_;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

std::string Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return std::string(s);
}

}  // namespace

TRDClass::TRDClass(DataPorts ports) : ports_(ports) { cars_.fill(-1); }

void TRDClass::Refresh() {
  cars_.fill(-1);
  names_.fill({});
  carCount_ = 0;
  TrainFileName.clear();
  TrainComment.clear();
  TrainSoundFileName.clear();
}

std::int32_t TRDClass::CheckKindFromImage(const std::string& path) const {
  std::int32_t w, h;
  ReadBMPSize(path, w, h);
  return TrdImageKind(w, h);
}

void TRDClass::Warn(const std::string& text) {
  if (!NoErrorMsg) ports_.msg.Show(text, MsgButtons::Ok, MsgIcon::Exclamation, kAppTitle);
}

void TRDClass::RuntimeError(int number, const std::string& description, int lastDllError) {
  if (NoErrorMsg) return;
  ports_.msg.Show("Err.Number= " + std::to_string(number) + "Description= " + description +
                      "LastDllError= " + std::to_string(lastDllError),
                  MsgButtons::Ok, MsgIcon::Critical, kAppTitle);
}

bool TRDClass::LoadTrd() {
  const std::string folder = FolderOf(NormalizeSeparators(TrainFileName));
  if (!FolderExists(folder)) {
    Warn(ports_.texts.Text(10100) + "\r\nFolder= " + folder);
    return false;
  }
  const std::string path = FindLikeWindows(NormalizeSeparators(TrainFileName));
  if (!FileExists(path)) {
    // A folder that cannot be listed hides its files, and a FIFO or a folder of that name is no
    // file: those are the causes to name.
    std::error_code ec;
    const std::string why = !FolderReadable(folder)                 ? NotReadable(ports_.texts, std::strerror(errno))
                            : std::filesystem::exists(path, ec) ? NotReadable(ports_.texts, "not a regular file")
                                                                     : std::string();
    Warn(ports_.texts.Text(10110) + "\r\nTRD= " + TrainFileName + why);
    return false;
  }
  const FileRead read = ReadGameFile(path, kTrainFileLimit);
  if (!read.bytes) {
    RuntimeError(kErrFileNotFound, read.Reason() + " (" + path + ")", read.error > 0 ? read.error : 0);
    return false;
  }
  return LoadTrdBytes(*read.bytes, folder);
}

bool TRDClass::LoadTrdBytes(std::string_view bytes, const std::string& folder) {
  const std::string text = DecodeText(bytes);
  FieldReader header(text);
  if (!header.Read(TrainComment) || !header.Read(TrainSoundFileName)) {
    RuntimeError(kErrInputPastEnd, "Input past end of file", 0);
    return false;
  }

  int line = 2;
  for (const std::string& raw : SplitLines(header.Rest())) {
    ports_.clock.PumpOnce();
    ++line;
    const auto semi = raw.find(';');
    const std::string name = raw.substr(0, semi);
    const std::string comment = semi == std::string::npos ? std::string() : Trim(raw.substr(semi + 1));
    if (Trim(name).empty()) continue;

    const CarFile car = FindCarIn(Finder, folder, name);
    if (!car.exists || !car.unreadable.empty()) {
      Warn(ports_.texts.Text(10000) + "\r\nTRD= " + TrainFileName + "\r\nLine= " + std::to_string(line) +
           "\r\nCAR= " + ShownName(car.path) + (car.exists ? NotReadable(ports_.texts, car.unreadable) : std::string()));
      continue;
    }
    if (NoLoadCouplerBellows && TrdImageKind(car.width, car.height) == 0) continue;

    // The list holds 101 cars; a longer formation is cut there and reported once.
    if (carCount_ >= kSlots) {
      RuntimeError(kErrTooManyCars, "Subscript out of range", 0);
      return false;
    }
    const std::int32_t index = Cars.Add(car.path, 0, comment);
    if (index < 0) {
      RuntimeError(kErrTooManyCars, "Subscript out of range", 0);
      return false;
    }
    names_[static_cast<std::size_t>(carCount_)] = name;
    cars_[carCount_++] = index;
  }
  return true;
}

std::string TRDClass::ContentDigest() const {
  Fnv64 h;
  h.Field("kelvara train 2").Field(Lower(GetFileName(NormalizeSeparators(TrainFileName)))).Field(TrainComment);
  std::unordered_map<std::string, std::string> pictures;  // a coach ten times in a train is read once
  for (std::int32_t i = 0; i < carCount_; ++i) {
    h.Field(Lower(NormalizeSeparators(Trim(names_[static_cast<std::size_t>(i)]))));
    const std::string path = Cars.FileNameOf(cars_[static_cast<std::size_t>(i)]);
    auto [it, added] = pictures.try_emplace(path);
    if (added) {
      const FileRead read = ReadGameFile(path, kCarBitmapLimit);
      it->second = read.bytes ? Fnv64().Bytes(*read.bytes).Hex() : "unreadable";
    }
    h.Field(it->second);
  }
  return h.Hex();
}

std::string TRDClass::FolderDigest() const {
  Fnv64 h;
  h.Field(TrainComment);
  for (std::int32_t i = 0; i < carCount_; ++i) h.Field(Cars.FileNameOf(cars_[static_cast<std::size_t>(i)]));
  return h.Hex();
}

}  // namespace kelvara
