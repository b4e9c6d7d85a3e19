// The two-language string table and its four lookups.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "base/ports.h"

namespace kelvara {

inline constexpr int kLangJapanese = 0x11;  // primary language id of Japanese
inline constexpr int kLangEnglish = 0x09;

// The primary language of the user's locale (LC_ALL, LC_MESSAGES, LANG): Japanese or English.
int SystemPrimaryLanguage();

class National : public ITexts {
 public:
  using Table = std::map<int, std::string>;

  // The table shipped with the program.
  static const Table& BuiltInTable();

  // Decided from the system's language until InitNational is called with the command line.
  explicit National(const Table& table = BuiltInTable()) : table_(table) { InitNational(SystemPrimaryLanguage(), ""); }

  // Decides the language once: Japanese on a Japanese system unless "/e" is anywhere in the
  // lower-cased command line. `warn` shows "nLangOffset Error" when the table lacks the language.
  void InitNational(int primaryLanguage, std::string_view commandLine,
                    const std::function<void(const std::string&)>& warn = {});

  std::string GetCaptionText(int n) const { return Entry(captionBase_ + stride_ * n + nLangOffset_); }
  std::string GetMessageText(int n) const { return Entry(messageBase_ + stride_ * n + nLangOffset_); }
  std::string GetDataErrorText(int n) const { return Entry(dataErrorBase_ + stride_ * n + nLangOffset_); }
  std::string GetSystemErrorText(int n) const { return Entry(systemErrorBase_ + stride_ * n + nLangOffset_); }

  // The text of a Japanese id in the chosen language; "" for an id the table lacks.
  std::string Text(int id) const override { return Entry(id + nLangOffset_); }

  // An entry the same in every language, such as the maker's addresses (ids 3 and 4).
  std::string Fixed(int id) const { return Entry(id); }

  int nLangOffset() const { return nLangOffset_; }
  bool Initialised() const { return captionBase_ != 0; }
  const Table& table() const { return table_; }

 private:
  std::string Entry(int id) const {
    const auto it = table_.find(id);
    return it == table_.end() ? std::string() : it->second;
  }
  int Number(int id) const;

  const Table& table_;
  int stride_ = 10;
  int captionBase_ = 0;
  int messageBase_ = 5000;
  int dataErrorBase_ = 10000;
  int systemErrorBase_ = 30000;
  int nLangOffset_ = 1;
};

}  // namespace kelvara
