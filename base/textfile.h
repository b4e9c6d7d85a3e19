// Reading data files written on Windows or Linux: CP932 or UTF-8, CR LF or LF.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvara {

bool IsValidUtf8(std::string_view bytes);
// UTF-8 stays as it is (a byte-order mark is dropped); anything else is read as CP932.
// Bytes that are not CP932 either come out as U+FFFD.
std::string DecodeText(std::string_view bytes);
// CP932 to UTF-8 whatever the bytes look like; bytes that are not CP932 come out as U+FFFD.
std::string DecodeCp932(std::string_view bytes);
// UTF-8 to CP932; what CP932 cannot hold becomes "?".
std::string EncodeCp932(std::string_view utf8);
// UTF-8 to CP932 only when every character has a CP932 form.
bool EncodeCp932Exactly(std::string_view utf8, std::string& out);
// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path);
// Splits at CR LF, LF or a lone CR; a final line end does not start another line.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace kelvara
