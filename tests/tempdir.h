// A scratch folder per test, removed afterwards, and small writers for data files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace kelvara::testing {

class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("kelvara-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  // A folder a test process was handed by the test that started it: its own to keep.
  explicit TempDir(const std::string& handed) : path_(handed), owned_(false) {}
  ~TempDir() {
    std::error_code ec;
    if (owned_) std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder with a trailing "/".
  std::string str() const { return path_.string() + "/"; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  std::string Write(const std::string& name, const std::string& bytes) const {
    const auto p = path_ / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
  }

  // Just enough of a bitmap for its size to be read from the header.
  std::string Bitmap(const std::string& name, std::int32_t w, std::int32_t h) const {
    std::string b(54, '\0');
    b[0] = 'B';
    b[1] = 'M';
    for (int i = 0; i < 4; ++i) {
      b[18 + i] = static_cast<char>((static_cast<std::uint32_t>(w) >> (8 * i)) & 0xFF);
      b[22 + i] = static_cast<char>((static_cast<std::uint32_t>(h) >> (8 * i)) & 0xFF);
    }
    return Write(name, b);
  }

 private:
  std::filesystem::path path_;
  bool owned_ = true;
};

}  // namespace kelvara::testing
