// Shared scaffolding for the fuzz targets: silent ports and a scratch data folder.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "fakes.h"

namespace kelvara::fuzzing {

// A scratch folder in memory when the machine has one, holding a few bitmaps the inputs can name.
inline const std::string& ScratchFolder() {
  static const std::string folder = [] {
    const std::filesystem::path base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    const auto dir = base / ("kelvara-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto bitmap = [&](const char* name, std::int32_t w, std::int32_t h) {
      std::string b(54, '\0');
      for (int i = 0; i < 4; ++i) {
        b[18 + i] = static_cast<char>((static_cast<std::uint32_t>(w) >> (8 * i)) & 0xFF);
        b[22 + i] = static_cast<char>((static_cast<std::uint32_t>(h) >> (8 * i)) & 0xFF);
      }
      std::ofstream(dir / name, std::ios::binary) << b;
    };
    bitmap("a.bmp", 64, 16);
    bitmap("b.bmp", 6, 16);
    bitmap("c.bmp", 0, 0);
    bitmap("d.bmp", 64, -16);
    return dir.string() + "/";
  }();
  return folder;
}

inline std::string WriteInput(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::string path = ScratchFolder() + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                  static_cast<std::streamsize>(size));
  return path;
}

// Message boxes of a long run would pile up: count them and forget.
class CountingMessageBox : public IMessageBox {
 public:
  MsgAnswer Show(std::string_view, MsgButtons b, MsgIcon, std::string_view) override {
    ++shown;
    return b == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
  }
  long shown = 0;
};

}  // namespace kelvara::fuzzing
