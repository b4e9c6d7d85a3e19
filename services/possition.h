// Where a window stands, kept per user between runs, and kept inside the desktop.
#pragma once

#include <string>

#include "base/platform.h"
#include "base/ports.h"

namespace kelvara {

struct WindowPlace {
  std::string name;  // "frmMain"
  int left = 0, top = 0, width = 0, height = 0;
  bool sizable = false;
};

// A per-user store with application, section and key levels.
class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  virtual std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                                 const std::string& fallback) const = 0;
  virtual void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                           const std::string& value) = 0;
};

// "Top", "Left" and, for sizable windows, "Width" and "Height" under "Possition" + name.
void SavePossition(ISettingsStore& store, const WindowPlace& w, const std::string& productName, IMessageBox& msg,
                   const ITexts& texts);
// Nothing happens until a place was saved once; false then.
bool RestorePossition(const ISettingsStore& store, WindowPlace& w, int minWidth, int minHeight,
                      const std::string& productName, IMessageBox& msg, const ITexts& texts, const WorkArea& area);
// Moves (and for sizable windows, grows to the minimum) so the window lies inside the work area;
// a window larger than the area ends at its top-left corner.
void SetInnerWorkArea(WindowPlace& w, int minWidth, int minHeight, const WorkArea& area);

// Caption text 3, or the maker's name when the table has none.
std::string GetCompanyName(const ITexts& texts);

}  // namespace kelvara
