#include "services/possition.h"

#include <algorithm>
#include <cstdlib>

namespace kelvara {

namespace {

bool NoProduct(const std::string& productName, IMessageBox& msg, const ITexts& texts) {
  if (!productName.empty()) return false;
  msg.Show("App.ProductName" + texts.Text(30010), MsgButtons::Ok, MsgIcon::None, {});
  return true;
}

// A stored number, or `fallback` when the store has none that reads as one.
int Number(const std::string& text, int fallback) {
  if (text.empty()) return fallback;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  return end == text.c_str() ? fallback : static_cast<int>(v);
}

}  // namespace

void SavePossition(ISettingsStore& store, const WindowPlace& w, const std::string& productName, IMessageBox& msg,
                   const ITexts& texts) {
  if (NoProduct(productName, msg, texts)) return;
  const std::string section = "Possition" + w.name;
  store.SaveSetting(productName, section, "Top", std::to_string(w.top));
  store.SaveSetting(productName, section, "Left", std::to_string(w.left));
  if (w.sizable) {
    store.SaveSetting(productName, section, "Height", std::to_string(w.height));
    store.SaveSetting(productName, section, "Width", std::to_string(w.width));
  }
}

bool RestorePossition(const ISettingsStore& store, WindowPlace& w, int minWidth, int minHeight,
                      const std::string& productName, IMessageBox& msg, const ITexts& texts, const WorkArea& area) {
  if (NoProduct(productName, msg, texts)) return false;
  const std::string section = "Possition" + w.name;
  const int top = Number(store.GetSetting(productName, section, "Top", "-1"), -1);
  if (top == -1) return false;
  w.top = top;
  w.left = Number(store.GetSetting(productName, section, "Left", "0"), 0);
  if (w.sizable) {
    w.width = std::max(Number(store.GetSetting(productName, section, "Width", ""), w.width), minWidth);
    w.height = std::max(Number(store.GetSetting(productName, section, "Height", ""), w.height), minHeight);
  }
  SetInnerWorkArea(w, minWidth, minHeight, area);
  return true;
}

void SetInnerWorkArea(WindowPlace& w, int minWidth, int minHeight, const WorkArea& area) {
  auto intoTopLeft = [&] {
    if (w.left < area.left) w.left = area.left;
    if (w.top < area.top) w.top = area.top;
  };
  intoTopLeft();
  if (w.sizable) {
    if (w.width < minWidth) w.width = minWidth;
    if (w.height < minHeight) w.height = minHeight;
  }
  if (w.left + w.width > area.right) w.left = area.right - w.width;
  if (w.top + w.height > area.bottom) w.top = area.bottom - w.height;
  intoTopLeft();
}

std::string GetCompanyName(const ITexts& texts) {
  const std::string name = texts.Text(1030);
  return name.empty() ? "Orvane" : name;
}

}  // namespace kelvara
