// Standard MIDI files: whether bytes are one a sequencer can play from start to end.
#pragma once

#include <string_view>

namespace kelvara {

// A header chunk of format 0, 1 or 2 with at least one track and a time division, then as many
// track chunks as it announces, each holding events that read to its end. Empty, truncated and
// foreign files are not.
bool IsStandardMidiFile(std::string_view bytes);

}  // namespace kelvara
