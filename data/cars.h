// The registry of car pictures owned by each train definition and locomotive list.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvara {

class CarsClass {
 public:
  static constexpr int kCapacity = 1001;

  // Registers a car unless its file name is known already; returns its index either way.
  // A full table keeps every entry and answers -1.
  std::int32_t Add(std::string_view fileName, std::int32_t kind, std::string_view comment) {
    const std::int32_t known = Sarch(fileName);
    if (known >= 0) return known;
    if (count_ >= kCapacity) return -1;
    entries_[count_] = Entry{std::string(fileName), kind, std::string(comment)};
    return count_++;
  }

  // Exact, case-sensitive match on the whole file name, or -1.
  std::int32_t Sarch(std::string_view fileName) const {
    for (std::int32_t i = 0; i < count_; ++i) {
      if (entries_[i].file == fileName) return i;
    }
    return -1;
  }

  std::int32_t Count() const { return count_; }
  std::int32_t Index() const { return index_; }
  void Index(std::int32_t i) { index_ = i; }

  // Fields of the entry selected by Index; empty outside the table.
  std::string CarFileName() const { return Valid() ? entries_[index_].file : std::string(); }
  std::string CarKind() const { return Valid() ? std::to_string(entries_[index_].kind) : std::string(); }
  std::string CarComment() const { return Valid() ? entries_[index_].comment : std::string(); }

  // The same fields read without moving the current entry, for readers that hold the table const.
  std::string FileNameOf(std::int32_t i) const { return i >= 0 && i < kCapacity ? entries_[i].file : std::string(); }
  std::string CommentOf(std::int32_t i) const { return i >= 0 && i < kCapacity ? entries_[i].comment : std::string(); }

 private:
  struct Entry {
    std::string file;
    std::int32_t kind = 0;
    std::string comment;
  };
  bool Valid() const { return index_ >= 0 && index_ < kCapacity; }

  std::array<Entry, kCapacity> entries_{};
  std::int32_t count_ = 0;
  std::int32_t index_ = 0;
};

}  // namespace kelvara
