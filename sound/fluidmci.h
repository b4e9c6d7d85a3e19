// The sequencer device behind the command strings: FluidSynth plays the tune on its own thread.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sound/mci.h"

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_audio_driver_t;
struct _fluid_player_t;

namespace kelvara {

struct FluidMciOptions {
  // FluidSynth's audio drivers, tried in order until one opens. The desktop's sound server comes
  // first (PipeWire serves the PulseAudio protocol too): ALSA, FluidSynth's own default, takes the
  // sound card for itself on many desktops or finds no device at all.
  std::vector<std::string> audioDrivers{"pulseaudio", "alsa"};
  std::string audioFile;  // where the "file" driver writes
  std::string soundFont;  // empty: the first General MIDI font found on the system
};

// The General MIDI sound font to use: $KELVARA_SOUNDFONT, then Debian's usual places; "" if none.
std::string FindSoundFont();

class FluidMci : public IMci {
 public:
  explicit FluidMci(FluidMciOptions options = {});
  ~FluidMci() override;
  FluidMci(const FluidMci&) = delete;
  FluidMci& operator=(const FluidMci&) = delete;

  std::uint32_t mciSendString(std::string_view command, std::string& reply) override;
  std::string mciGetErrorString(std::uint32_t error) const override;

  // The audio driver that opened; "" until a tune was opened, or when none would.
  const std::string& Driver() const { return driverName_; }

 private:
  struct Device;
  std::uint32_t Open(const std::string& file, const std::string& alias, std::string& reply);
  std::uint32_t StartOutput();
  void Close(Device& d);
  bool NewPlayer(Device& d);
  void DeletePlayer(_fluid_player_t*& player);

  FluidMciOptions options_;
  _fluid_hashtable_t* settings_ = nullptr;
  _fluid_synth_t* synth_ = nullptr;
  _fluid_audio_driver_t* driver_ = nullptr;
  std::string driverName_;
  std::map<std::string, std::unique_ptr<Device>> devices_;
  int nextId_ = 1;
};

}  // namespace kelvara
