// The media control interface the MIDI player talks to: command strings in, replies out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvara {

// Error numbers as the old interface numbered them.
namespace mcierr {
inline constexpr std::uint32_t kUnrecognizedCommand = 261;
inline constexpr std::uint32_t kNotOpen = 263;  // no device open under that alias
inline constexpr std::uint32_t kCannotLoadDriver = 266;  // no audio output could be opened
inline constexpr std::uint32_t kFileNotFound = 275;
inline constexpr std::uint32_t kDuplicateAlias = 289;
inline constexpr std::uint32_t kInvalidFile = 296;
inline constexpr std::uint32_t kNoMidiDevice = 336;  // no synthesiser (sound font) available
}  // namespace mcierr

class IMci {
 public:
  virtual ~IMci() = default;
  // 0 and the reply text on success, or an error number.
  virtual std::uint32_t mciSendString(std::string_view command, std::string& reply) = 0;
  virtual std::string mciGetErrorString(std::uint32_t error) const = 0;
};

}  // namespace kelvara
