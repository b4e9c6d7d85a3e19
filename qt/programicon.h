// The program's icon: the desktop theme's, else the PNG files beside the program or installed
// with it, else the copies built into it.
#pragma once

#include <QIcon>

namespace kelvara::qt {

QIcon ProgramIcon();

}  // namespace kelvara::qt
