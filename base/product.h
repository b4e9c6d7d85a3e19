// Names the program is known by.
#pragma once

namespace kelvara {

inline constexpr const char* kProductName = "Kelvara";  // settings section, per-user store
inline constexpr const char* kAppTitle = "Kelvara";     // title of the data loaders' boxes
inline constexpr const char* kLegalNotice = "Copyright (C) 2026 Orvane";
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 1;
// The line of the version information that names the product series.
inline constexpr const char* kFileDescription = "Orvane Kelvara shunting puzzle";

}  // namespace kelvara
