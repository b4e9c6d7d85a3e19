#include "sound/fluidmci.h"
#include "base/paths.h"

#include <fluidsynth.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

#include "base/textfile.h"
#include "sound/smf.h"

namespace kelvara {

namespace {

// Words of a command; a double-quoted word may hold blanks.
std::vector<std::string> Words(std::string_view command) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < command.size()) {
    while (i < command.size() && command[i] == ' ') ++i;
    if (i >= command.size()) break;
    if (command[i] == '"') {
      const auto close = command.find('"', i + 1);
      const auto end = close == std::string_view::npos ? command.size() : close;
      out.emplace_back(command.substr(i + 1, end - i - 1));
      i = close == std::string_view::npos ? command.size() : close + 1;
    } else {
      const auto end = command.find(' ', i);
      out.emplace_back(command.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i));
      i = end == std::string_view::npos ? command.size() : end;
    }
  }
  return out;
}

void QuietFluidSynth() {
  static const bool once = [] {
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
      fluid_set_log_function(level, nullptr, nullptr);
    }
    return true;
  }();
  (void)once;
}

}  // namespace

std::string FindSoundFont() {
  if (const char* env = std::getenv("KELVARA_SOUNDFONT"); env != nullptr && *env != '\0') return env;
  std::error_code ec;
  for (const char* p : {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
                        "/usr/share/sounds/sf3/default-GM.sf3", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                        "/usr/share/soundfonts/default.sf2"}) {
    if (std::filesystem::is_regular_file(p, ec)) return p;
  }
  return {};
}

struct FluidMci::Device {
  std::string file;
  fluid_player_t* player = nullptr;
  bool playing = false;  // asked to play and not stopped since
  bool atEnd = false;    // the tune ran to its end
};

FluidMci::FluidMci(FluidMciOptions options) : options_(std::move(options)) { QuietFluidSynth(); }

FluidMci::~FluidMci() {
  // The output goes first: its thread must not run a player's timer while the player is freed.
  if (driver_ != nullptr) delete_fluid_audio_driver(driver_);
  driver_ = nullptr;
  for (auto& [alias, d] : devices_) Close(*d);
  devices_.clear();
  if (synth_ != nullptr) delete_fluid_synth(synth_);
  if (settings_ != nullptr) delete_fluid_settings(settings_);
}

// The synthesiser and the audio output are made once and kept: loading a sound font is slow.
std::uint32_t FluidMci::StartOutput() {
  if (driver_ != nullptr) return 0;
  if (settings_ == nullptr) {
    settings_ = new_fluid_settings();
    if (settings_ == nullptr) return mcierr::kNoMidiDevice;
    if (!options_.audioFile.empty()) fluid_settings_setstr(settings_, "audio.file.name", options_.audioFile.c_str());
    fluid_settings_setint(settings_, "synth.reverb.active", 1);
  }
  if (synth_ == nullptr) {
    const std::string font = options_.soundFont.empty() ? FindSoundFont() : options_.soundFont;
    if (font.empty()) return mcierr::kNoMidiDevice;
    synth_ = new_fluid_synth(settings_);
    if (synth_ == nullptr) return mcierr::kNoMidiDevice;
    if (fluid_synth_sfload(synth_, font.c_str(), 1) == FLUID_FAILED) {
      delete_fluid_synth(synth_);
      synth_ = nullptr;
      return mcierr::kNoMidiDevice;
    }
  }
  for (const std::string& name : options_.audioDrivers) {
    if (fluid_settings_setstr(settings_, "audio.driver", name.c_str()) != FLUID_OK) continue;
    driver_ = new_fluid_audio_driver(settings_, synth_);
    if (driver_ != nullptr) {
      driverName_ = name;
      return 0;
    }
  }
  return mcierr::kCannotLoadDriver;
}

// A player's timer runs in the audio output's thread, and FluidSynth frees it without waiting
// for that thread: a player is deleted only while no output is running.
void FluidMci::DeletePlayer(fluid_player_t*& player) {
  if (player == nullptr) return;
  fluid_player_stop(player);
  const bool running = driver_ != nullptr;
  if (running) {
    delete_fluid_audio_driver(driver_);
    driver_ = nullptr;
  }
  delete_fluid_player(player);
  player = nullptr;
  if (running) StartOutput();  // a failure shows at the next open
}

bool FluidMci::NewPlayer(Device& d) {
  DeletePlayer(d.player);
  d.player = new_fluid_player(synth_);
  d.playing = false;
  d.atEnd = false;
  return d.player != nullptr && fluid_player_add(d.player, d.file.c_str()) == FLUID_OK;
}

void FluidMci::Close(Device& d) {
  DeletePlayer(d.player);
  if (synth_ != nullptr) fluid_synth_all_notes_off(synth_, -1);
}

std::uint32_t FluidMci::Open(const std::string& file, const std::string& alias, std::string& reply) {
  if (devices_.count(alias)) return mcierr::kDuplicateAlias;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return mcierr::kFileNotFound;
  // FluidSynth takes any file and plays silence for what it cannot read: the sequencer refuses.
  const auto bytes = ReadFileBytes(file, kTuneFileLimit);
  if (!bytes || !IsStandardMidiFile(*bytes)) return mcierr::kInvalidFile;
  if (const std::uint32_t err = StartOutput()) return err;
  auto d = std::make_unique<Device>();
  d->file = file;
  if (!NewPlayer(*d)) {
    Close(*d);
    return mcierr::kInvalidFile;
  }
  devices_[alias] = std::move(d);
  reply = std::to_string(nextId_++);
  return 0;
}

std::uint32_t FluidMci::mciSendString(std::string_view command, std::string& reply) {
  reply.clear();
  const std::vector<std::string> w = Words(command);
  if (w.size() < 2) return mcierr::kUnrecognizedCommand;
  const std::string verb = Lower(w[0]);

  if (verb == "open") {
    // open "<file>" type sequencer alias <name>
    std::string alias;
    for (std::size_t i = 2; i + 1 < w.size(); ++i) {
      if (Lower(w[i]) == "alias") alias = w[i + 1];
    }
    return Open(w[1], alias.empty() ? w[1] : alias, reply);
  }

  const auto it = devices_.find(w[1]);
  if (it == devices_.end()) return mcierr::kNotOpen;
  Device& d = *it->second;
  // The tune has ended with its last event, as the old sequencer said; FluidSynth itself reports
  // "done" only once the last cymbal has rung out, seconds later.
  const int total = d.playing ? fluid_player_get_total_ticks(d.player) : 0;
  const bool ended = d.playing && (fluid_player_get_status(d.player) == FLUID_PLAYER_DONE ||
                                   (total > 0 && fluid_player_get_current_tick(d.player) >= total));
  if (ended) {
    d.playing = false;
    d.atEnd = true;
  }

  if (verb == "play") {
    // Like the old sequencer: playing from the end plays nothing until a seek.
    if (!d.playing && !d.atEnd && fluid_player_play(d.player) == FLUID_OK) d.playing = true;
    return 0;
  }
  if (verb == "status" && w.size() >= 3 && Lower(w[2]) == "mode") {
    reply = d.playing ? "playing" : "stopped";
    return 0;
  }
  if (verb == "seek" && w.size() >= 4 && Lower(w[2]) == "to" && Lower(w[3]) == "start") {
    if (!NewPlayer(d)) return mcierr::kInvalidFile;
    fluid_synth_all_notes_off(synth_, -1);
    return 0;
  }
  if (verb == "stop") {
    if (d.playing) fluid_player_stop(d.player);
    d.playing = false;
    fluid_synth_all_notes_off(synth_, -1);
    return 0;
  }
  if (verb == "close") {
    Close(d);
    devices_.erase(it);
    return 0;
  }
  return mcierr::kUnrecognizedCommand;
}

std::string FluidMci::mciGetErrorString(std::uint32_t error) const {
  switch (error) {
    case mcierr::kUnrecognizedCommand:
      return "The specified command is not recognized.";
    case mcierr::kNotOpen:
      return "The specified device is not open or is not recognized.";
    case mcierr::kCannotLoadDriver:
      return "No audio output could be opened.";
    case mcierr::kFileNotFound:
      return "The specified file cannot be found.";
    case mcierr::kDuplicateAlias:
      return "The specified alias is already in use.";
    case mcierr::kInvalidFile:
      return "The file is not a playable MIDI file.";
    case mcierr::kNoMidiDevice:
      return "No MIDI synthesiser is available (no General MIDI sound font was found).";
    default:
      return {};
  }
}

}  // namespace kelvara
