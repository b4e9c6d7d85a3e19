// Any bytes as a yard written as text (a saved game's positions): no crash; a text that reads as
// a yard writes that yard again, and reads back to the same yard.
#include <cstdlib>
#include <string_view>

#include "model/record.h"

using namespace kelvara;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto yard = YardFromText(text);
  if (!yard) return 0;
  const std::string again = YardText(*yard);
  const auto back = YardFromText(again);
  if (!back || !(*back == *yard)) std::abort();
  if (again.size() > text.size() + 1) std::abort();  // nothing made up: the text only sheds padding
  return 0;
}
