// Any bytes as a bitmap: the header read is deterministic and classification always answers.
#include <cstdlib>
#include <cstring>

#include "data/bmp.h"
#include "fuzz_support.h"

using namespace kelvara;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzzing::WriteInput("input.bmp", data, size);
  std::int32_t w, h;
  ReadBMPSize(path, w, h);
  std::uint8_t bytes[26] = {};
  std::memcpy(bytes, data, size < 26 ? size : 26);
  std::int32_t ew, eh;
  std::memcpy(&ew, bytes + 18, 4);
  std::memcpy(&eh, bytes + 22, 4);
  if (w != ew || h != eh) std::abort();
  const std::int32_t kt = TrdImageKind(w, h);
  const std::int32_t kl = LocoImageKind(w, h);
  if (kt < -1 || kt > 2 || kl < -1 || kl > 2) std::abort();
  return 0;
}
