#include "services/national.h"

#include <cstdlib>

namespace kelvara {

const National::Table& National::BuiltInTable() {
  static const Table table = {
#include "resources/strings.inc"
  };
  return table;
}

int SystemPrimaryLanguage() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* v = std::getenv(var);
    if (v == nullptr || *v == '\0') continue;
    const std::string_view value(v);
    return value.substr(0, 2) == "ja" ? kLangJapanese : kLangEnglish;
  }
  return kLangEnglish;
}

int National::Number(int id) const {
  return std::atoi(Entry(id).c_str());
}

void National::InitNational(int primaryLanguage, std::string_view commandLine,
                            const std::function<void(const std::string&)>& warn) {
  stride_ = Number(10);
  captionBase_ = Number(12);
  messageBase_ = Number(13);
  dataErrorBase_ = Number(14);
  systemErrorBase_ = Number(15);

  std::string lower(commandLine);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  const int language = lower.find("/e") != std::string::npos ? 0 : (primaryLanguage & 0xFF);
  nLangOffset_ = language == kLangJapanese ? 0 : 1;
  if (Number(11) <= nLangOffset_) {
    if (warn) warn("nLangOffset Error");
    nLangOffset_ = 1;
  }
}

}  // namespace kelvara
