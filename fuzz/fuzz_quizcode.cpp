// Any bytes as a quiz code: no crash, no read past the text; a code that decodes names a quiz that
// encodes again to a code of the same quiz.
#include <cstdlib>
#include <string_view>
#include <variant>

#include "model/quizcode.h"

using namespace kelvara;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto decoded = DecodeQuizCode(text);
  const auto* quiz = std::get_if<QuizCode>(&decoded);
  if (quiz == nullptr) return 0;
  const auto again = EncodeQuizCode(*quiz);
  if (!again) std::abort();  // whatever decodes can be named
  const auto back = DecodeQuizCode(*again);
  const auto* same = std::get_if<QuizCode>(&back);
  if (same == nullptr || !(*same == *quiz)) std::abort();
  return 0;
}
