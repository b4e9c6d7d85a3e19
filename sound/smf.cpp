#include "sound/smf.h"

#include <cstdint>

namespace kelvara {

namespace {

std::uint32_t Be(std::string_view b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  return v;
}

// A variable-length quantity of at most four bytes; false past the end.
bool Vlq(std::string_view t, std::size_t& at, std::uint32_t& value) {
  value = 0;
  for (int i = 0; i < 4; ++i) {
    if (at >= t.size()) return false;
    const auto c = static_cast<unsigned char>(t[at++]);
    value = value << 7 | (c & 0x7F);
    if ((c & 0x80) == 0) return true;
  }
  return false;
}

// Every event of a track, running status included, within the chunk.
bool TrackReads(std::string_view t) {
  std::size_t at = 0;
  unsigned running = 0;
  while (at < t.size()) {
    std::uint32_t delta = 0, length = 0;
    if (!Vlq(t, at, delta) || at >= t.size()) return false;
    unsigned status = static_cast<unsigned char>(t[at]);
    if (status < 0x80) {
      if (running == 0) return false;  // data without a status to run on
      status = running;
    } else {
      ++at;
    }
    if (status == 0xFF) {  // meta event: type, length, data
      if (at >= t.size()) return false;
      const auto type = static_cast<unsigned char>(t[at++]);
      if (!Vlq(t, at, length) || length > t.size() - at) return false;
      at += length;
      if (type == 0x2F) return true;  // end of track
      running = 0;
    } else if (status == 0xF0 || status == 0xF7) {  // system exclusive
      if (!Vlq(t, at, length) || length > t.size() - at) return false;
      at += length;
      running = 0;
    } else if (status >= 0xF0) {
      return false;  // system common and real-time messages do not belong in a file
    } else {
      const std::size_t data = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
      if (data > t.size() - at) return false;
      at += data;
      running = status;
    }
  }
  return true;  // a track may end without its end-of-track event; players accept that
}

}  // namespace

bool IsStandardMidiFile(std::string_view b) {
  if (b.size() < 14 || b.substr(0, 4) != "MThd") return false;
  const std::uint32_t headerLength = Be(b, 4, 4);
  if (headerLength < 6 || headerLength > b.size() - 8) return false;
  const std::uint32_t format = Be(b, 8, 2), tracks = Be(b, 10, 2), division = Be(b, 12, 2);
  if (format > 2 || tracks == 0 || division == 0) return false;
  std::size_t at = 8 + headerLength;
  std::uint32_t found = 0;
  while (found < tracks) {
    if (b.size() - at < 8) return false;
    const std::uint32_t length = Be(b, at + 4, 4);
    if (length > b.size() - at - 8) return false;
    if (b.substr(at, 4) == "MTrk") {
      if (!TrackReads(b.substr(at + 8, length))) return false;
      ++found;
    }
    at += 8 + length;  // chunks of other kinds are skipped
  }
  return true;
}

}  // namespace kelvara
