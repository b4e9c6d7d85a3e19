// Names the program is known by.
#pragma once

namespace kelvara {

inline constexpr const char* kProductName = "Kelvara";  // settings section, per-user store
inline constexpr const char* kAppTitle = "Kelvara";     // title of the data loaders' boxes
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 0;

}  // namespace kelvara
