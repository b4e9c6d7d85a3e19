// The registry of car pictures owned by each train definition and locomotive list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvara {

class CarsClass {
 public:
  static constexpr int kCapacity = 1001;

  // Registers a car unless its file name is known already; returns its index either way.
  // A full table keeps every entry and answers -1.
  std::int32_t Add(std::string_view fileName, std::int32_t kind, std::string_view comment) {
    const std::int32_t known = Sarch(fileName);
    if (known >= 0) return known;
    if (Count() >= kCapacity) return -1;
    entries_.push_back(Entry{std::string(fileName), kind, std::string(comment)});
    return Count() - 1;
  }

  // Exact, case-sensitive match on the whole file name, or -1.
  std::int32_t Sarch(std::string_view fileName) const {
    for (std::int32_t i = 0; i < Count(); ++i) {
      if (entries_[static_cast<std::size_t>(i)].file == fileName) return i;
    }
    return -1;
  }

  std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }
  std::int32_t Index() const { return index_; }
  void Index(std::int32_t i) { index_ = i; }

  // Fields of the entry selected by Index: an entry of the table not filled yet reads empty with
  // kind "0"; outside the table everything reads empty.
  std::string CarFileName() const { return FileNameOf(index_); }
  std::string CarKind() const {
    if (index_ < 0 || index_ >= kCapacity) return {};
    return std::to_string(index_ < Count() ? entries_[static_cast<std::size_t>(index_)].kind : 0);
  }
  std::string CarComment() const { return CommentOf(index_); }

  // The same fields read without moving the current entry, for readers that hold the table const.
  std::string FileNameOf(std::int32_t i) const { return Used(i) ? entries_[static_cast<std::size_t>(i)].file : std::string(); }
  std::string CommentOf(std::int32_t i) const { return Used(i) ? entries_[static_cast<std::size_t>(i)].comment : std::string(); }

 private:
  struct Entry {
    std::string file;
    std::int32_t kind = 0;
    std::string comment;
  };
  bool Used(std::int32_t i) const { return i >= 0 && i < Count(); }

  std::vector<Entry> entries_;  // grows up to kCapacity
  std::int32_t index_ = 0;
};

}  // namespace kelvara
