// The shared utility routines: text splitting, random numbers, timed waits.
#pragma once

#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "base/ports.h"

namespace kelvara {

class MyLibClass {
 public:
  // Seeded from the clock; Seed() makes a run reproducible.
  explicit MyLibClass(IClock& clock);

  static void inc(std::int32_t& n) { n = static_cast<std::int32_t>(static_cast<std::int64_t>(n) + 1); }
  // Text before the first delimiter, or the whole text.
  static std::string F_STR(std::string_view text, std::string_view delimiter);
  // Text after the first delimiter (one character is skipped), or empty.
  static std::string B_STR(std::string_view text, std::string_view delimiter);
  // Pads on the left to width; never cuts.
  static std::string RightAlignmentStrings(std::string_view src, int width);

  // floor((upper - lower + 1) * u + lower) with u uniform in [0, 1), single precision.
  // Fractional bounds are taken as they are: GetRandom(5.6, 8.4) gives 5 to 9.
  std::int32_t GetRandom(double lower, double upper);
  void Seed(std::uint64_t seed) { rng_.seed(seed); }

  // Waits ms milliseconds on the game clock while the message loop keeps running.
  void Wait1ms(int ms);

  static std::int32_t GetBMPWidth(const std::string& path);
  static std::int32_t GetBMPHeight(const std::string& path);

  // Splits the command-line text at single spaces into OutPutDim, whose last element stays empty.
  // One leading "/" or "-" of the whole text is dropped.
  void SeparateArgmentStrings(std::string_view commandText, std::vector<std::string>& OutPutDim);

  // "<program>.ini" in the settings folder.
  static std::string GetIniFileName();
  static std::string GetVersionString();
  // Deletes the temporary tune files this program left in its temporary folder, and nothing else; `keep`
  // is the tune playing now.
  static void DeleteTempFile(const std::string& keep = {});
  // Appends every line of the source, as UTF-8 with CR LF, to an output that already holds data.
  bool InsertFile(const std::string& SrcFileName, std::ostream& DestFile);


  IClock& clock() { return clock_; }

 private:
  IClock& clock_;
  std::mt19937_64 rng_;
};

}  // namespace kelvara
