// The one-line guide text in the status bar's "Msg" panel.
#pragma once

#include <string_view>

#include "base/ports.h"

namespace kelvara {

class MsgGuideClass {
 public:
  IStatusBar* ObjGuide = nullptr;

  // Silent while no target is set: callers may report progress before the window exists.
  void Msg(std::string_view text) {
    if (ObjGuide != nullptr) ObjGuide->SetPanel("Msg", text);
  }
};

}  // namespace kelvara
