// The MIDI player: the exact command strings and log lines against a recording device,
// and real playback through FluidSynth into a null audio sink.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "base/textfile.h"
#include "fakes.h"
#include "model/game.h"
#include "services/gini.h"
#include "yard_builder.h"
#include "base/program.h"
#include "sound/fluidmci.h"
#include "sound/midimci.h"
#include "sound/resources.h"
#include "tempdir.h"

namespace kelvara::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

// Answers like the old sequencer device and records every command.
class RecordingMci : public IMci {
 public:
  std::uint32_t mciSendString(std::string_view command, std::string& reply) override {
    commands.emplace_back(command);
    reply.clear();
    const std::string c(command);
    if (c.starts_with("open ")) {
      if (openError) return openError;
      open = true;
      mode = "stopped";
      reply = openReply;
      return 0;
    }
    if (!open) return mcierr::kNotOpen;
    if (c == "STATUS mp MODE") {
      if (mode == "playing" && statusesUntilEnd > 0 && --statusesUntilEnd == 0) mode = "stopped";
      reply = mode;
    }
    if (c == "play mp") mode = "playing";
    if (c == "stop mp") mode = "stopped";
    if (c == "close mp") open = false;
    return 0;
  }
  std::string mciGetErrorString(std::uint32_t error) const override { return "error " + std::to_string(error); }

  std::vector<std::string> commands;
  bool open = false;
  std::string mode;
  std::string openReply = "1";
  std::uint32_t openError = 0;
  int statusesUntilEnd = 0;  // the tune ends after this many status queries while playing
};

struct MidiTest : ::testing::Test {
  TempDir dir;
  FakeMessageBox msg;
  FakeClock clock;
  FakeTexts texts;
  RecordingMci mci;

  std::unique_ptr<MIDIMCIClass> Player(bool log = true) {
    auto p = std::make_unique<MIDIMCIClass>(mci, msg, clock, texts, dir.str());
    p->OutputLog = log;
    return p;
  }
  std::vector<std::string> LogLines() { return SplitLines(ReadFileBytes(dir / "MIDIMCI.log").value_or("")); }
};

TEST_F(MidiTest, ResourceTuneIsWrittenToATemporaryFileAndPlayed) {
  auto midi = Player();
  ASSERT_EQ(midi->LoadSoundFromeResource("sub/Startup.mid"), 0);
  EXPECT_EQ(midi->Filename(), "sub/Startup.mid");
  const std::string temp = midi->TempFileName();
  EXPECT_THAT(temp, StartsWith(dir / kTempTunePrefix));
  std::string bytes;
  ASSERT_TRUE(FindResource("DMSEG", "STARTUP.MID", bytes));
  EXPECT_EQ(ReadFileBytes(temp).value_or(""), bytes);
  EXPECT_THAT(bytes, StartsWith("MThd"));

  EXPECT_EQ(midi->PlaySound(), 0);
  EXPECT_EQ(midi->PlaySound(), 0) << "a second play while playing does not reopen";
  midi->StopSound();
  EXPECT_FALSE(std::filesystem::exists(temp));
  EXPECT_THAT(msg.shown, IsEmpty());

  const std::string open = "open \"" + temp + "\" type sequencer alias mp";
  EXPECT_THAT(mci.commands, ElementsAre("STATUS mp MODE", "STATUS mp MODE",  // the stop before loading
                                        "STATUS mp MODE", open, "play mp",   // first play
                                        "STATUS mp MODE", "play mp",         // second play
                                        "STATUS mp MODE", "stop mp", "STATUS mp MODE", "seek mp to start",
                                        "close mp"));
  const auto log = LogLines();
  EXPECT_THAT(std::vector<std::string>(log.begin() + 4, log.begin() + 8),
              ElementsAre("Into PlaySoundResource", "OK Load File(R)", "OutPut " + temp, "Close OutFile"));
  EXPECT_THAT(std::vector<std::string>(log.end() - 2, log.end()), ElementsAre("Delete File : " + temp, "Pathed StopSound"));
}

// A tune that cannot be loaded fails with its number: a missing resource, or no temporary file
// to write it to; nothing is opened.
TEST_F(MidiTest, ATuneThatCannotBeLoadedFailsWithItsNumber) {
  auto missing = Player();
  EXPECT_EQ(missing->LoadSoundFromeResource("nothing.mid"), 326);
  EXPECT_EQ(LogLines().back(), "Error LoadData(R) NOTHING.MID");
  MIDIMCIClass midi(mci, msg, clock, texts, dir / "gone");
  EXPECT_EQ(midi.LoadSoundFromeResource("railway.mid"), 75);
  ASSERT_EQ(msg.shown.size(), 2u);
  EXPECT_THAT(msg.shown[1].text, HasSubstr(dir / "gone"));
  for (const ShownBox& box : msg.shown) EXPECT_EQ(box.icon, MsgIcon::None);
  EXPECT_EQ(midi.TempFileName(), "");

  // The game says once that the sound goes off, and opens nothing by a bare name.
  Fakes f;
  f.settings.GameSound = f.settings.SuccessSound = true;
  Game game(f.ports(), f.settings);
  game.MIDI = &midi;
  game.mnuGameRestart_Click();
  EXPECT_THAT(f.msg.Texts(), ElementsAre("<5200>"));
  EXPECT_FALSE(f.settings.GameSound);
  for (const std::string& c : mci.commands) EXPECT_THAT(c, ::testing::Not(StartsWith("open"))) << c;
}

TEST_F(MidiTest, FailedOpensReportOne) {
  auto midi = Player();
  midi->LoadSoundFromFile("/x.mid");
  mci.openReply = "";  // no device number
  EXPECT_EQ(midi->PlaySound(), 1);
  mci.open = false;
  mci.openError = mcierr::kCannotLoadDriver;  // no audio output
  EXPECT_EQ(midi->PlaySound(), 1);
  EXPECT_THAT(msg.shown, IsEmpty()) << "the caller says it: the sound goes off";
  EXPECT_EQ(LogLines().back(), "Error open :266 error 266");
}

// With OneTime set, a tune whose play or rewind fails takes its temporary file with it.
TEST_F(MidiTest, OneTimeDeletesTheFileOfATuneThatFails) {
  struct FailingPlay : RecordingMci {
    std::uint32_t mciSendString(std::string_view command, std::string& reply) override {
      const std::uint32_t r = RecordingMci::mciSendString(command, reply);
      if (command == "play mp" || command == "seek mp to start") reply = "busy";
      return r;
    }
  } failing;
  for (bool oneTime : {false, true}) {
    MIDIMCIClass midi(failing, msg, clock, texts, dir.str());
    midi.OneTime = oneTime;
    ASSERT_EQ(midi.LoadSoundFromeResource("railway.mid"), 0);
    const std::string temp = midi.TempFileName();
    midi.PlaySound();
    EXPECT_EQ(std::filesystem::exists(temp), !oneTime) << "OneTime " << oneTime;
    midi.StopSound();
    failing.open = false;
  }
}

TEST_F(MidiTest, EndedTuneIsRewoundAndAnOddStatusIsReported) {
  auto midi = Player();
  midi->LoadSoundFromFile("/x.mid");
  midi->PlaySound();
  mci.mode = "stopped";  // the tune ran out
  EXPECT_EQ(midi->IsMode(), "stopped");
  EXPECT_EQ(mci.commands.back(), "seek mp to start");
  mci.mode = "paused";
  EXPECT_EQ(midi->IsMode(), "none");
  EXPECT_THAT(msg.Texts(), ElementsAre("error 0\r\n<10400>"));
  EXPECT_EQ(LogLines().back(), "Error etc :error 0");
}

// ---- the game's tunes ----------------------------------------------------------------------

struct GameSoundTest : MidiTest {
  Fakes f;
  std::unique_ptr<MIDIMCIClass> midi;
  std::unique_ptr<Game> game;
  void SetUp() override {
    midi = Player();
    f.settings.GameSound = f.settings.SuccessSound = true;
    game = TrainGame(f, 1, 2);
    game->MIDI = midi.get();
  }
};

TEST_F(GameSoundTest, NoAudioOutputTurnsTheSoundOffAndPlayGoesOn) {
  mci.openError = mcierr::kCannotLoadDriver;
  game->mnuGameRestart_Click();
  ASSERT_THAT(f.msg.Texts(), ElementsAre("<5200>"));
  EXPECT_EQ(f.msg.shown[0].icon, MsgIcon::Information);
  EXPECT_FALSE(f.settings.GameSound);
  EXPECT_FALSE(f.settings.SuccessSound);
  EXPECT_TRUE(game->GameActive);
  EXPECT_THAT(msg.Texts(), IsEmpty()) << "one box for one failure";
  // The game goes on silently: no later tune tries the device or shows a box again.
  mci.commands.clear();
  game->mnuGameRestart_Click();
  SetLine(game->yard, 1, "L1 1 2");
  f.settings.CompleteBigAnimaite = true;
  game->Pelm.CarCount(0);
  ASSERT_TRUE(game->ChkGameEnd());
  EXPECT_EQ(f.msg.shown.size(), 1u);
  for (const std::string& c : mci.commands) EXPECT_THAT(c, ::testing::Not(StartsWith("open"))) << c;
}

// The failure turns the sound off for this run; the player's choice stays in the settings file,
// and a tune the player switched off is never loaded, so it cannot fail.
TEST_F(GameSoundTest, AFailureIsNotSavedAsThePlayersChoice) {
  mci.openError = mcierr::kCannotLoadDriver;
  game->mnuGameRestart_Click();
  ASSERT_FALSE(f.settings.GameSound);
  TempDir d;
  ASSERT_TRUE(SaveIni(f.settings, d / "k.ini"));
  AppSettings read;
  LoadIni(read, d / "k.ini", d.str());
  EXPECT_TRUE(read.GameSound && read.SuccessSound);

  Fakes quiet;
  quiet.settings.GameSound = true;
  quiet.settings.SuccessSound = false;
  quiet.settings.CompleteBigAnimaite = true;
  auto g = TrainGame(quiet, 1, 2);
  g->MIDI = midi.get();
  mci.openError = mcierr::kCannotLoadDriver;
  msg.shown.clear();
  g->CompleteAnimate();
  EXPECT_THAT(quiet.msg.Texts(), IsEmpty()) << "Success.mid is off: no box about it";
  EXPECT_TRUE(quiet.settings.GameSound);
}

TEST_F(GameSoundTest, CompletionWaitsForTheFanfareToEnd) {
  game->mnuGameRestart_Click();
  mci.statusesUntilEnd = 4;
  SetLine(game->yard, 1, "L1 1 2");
  f.clock.waits.clear();
  ASSERT_TRUE(game->ChkGameEnd());
  EXPECT_EQ(midi->Filename(), "COMPLETE.MID");
  // Polls every 50 ms while the fanfare plays, then the 3000 ms of the completion window.
  ASSERT_GE(f.clock.waits.size(), 2u);
  EXPECT_EQ(f.clock.waits.back(), 3000);
  EXPECT_EQ(f.clock.waits.front(), 50);

  // A tune that never ends (its output stopped under it) holds the game up 20 seconds at most.
  game->mnuGameRestart_Click();
  mci.statusesUntilEnd = 1 << 30;
  SetLine(game->yard, 1, "L1 1 2");
  f.clock.waits.clear();
  ASSERT_TRUE(game->ChkGameEnd());
  EXPECT_EQ(f.clock.TotalWaited(), 20000 + 3000);
}

// ---- real playback -------------------------------------------------------------------------

// One quarter note at 240 beats a minute: a quarter of a second of sound.
std::string ShortTune() {
  const unsigned char smf[] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,
                               'M', 'T', 'r', 'k', 0, 0, 0, 19,
                               0, 0xFF, 0x51, 3, 0x03, 0xD0, 0x90,  // 250000 us a quarter
                               0, 0x90, 60, 100,
                               96, 0x80, 60, 0,
                               0, 0xFF, 0x2F, 0};
  return std::string(reinterpret_cast<const char*>(smf), sizeof smf);
}

struct FluidTest : MidiTest {
  void SetUp() override {
    if (FindSoundFont().empty()) GTEST_SKIP() << "no General MIDI sound font installed";
  }
  // Polls the player as the completion sequence does, on real time, bounded.
  std::string WaitWhilePlaying(MIDIMCIClass& midi) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::string mode = midi.IsMode();
    while (mode == "playing" && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      mode = midi.IsMode();
    }
    return mode;
  }
};

TEST_F(FluidTest, PlaysToTheEndRewindsAndPlaysAgain) {
  FluidMci device(FluidMciOptions{{"file"}, "/dev/null", ""});
  MIDIMCIClass midi(device, msg, clock, texts, dir.str());
  midi.OutputLog = true;
  midi.LoadSoundFromFile(dir.Write("short.mid", ShortTune()));
  ASSERT_EQ(midi.PlaySound(), 0);
  EXPECT_EQ(midi.IsMode(), "playing") << "playing goes on after the call returned";
  EXPECT_EQ(WaitWhilePlaying(midi), "stopped");
  EXPECT_EQ(midi.IsMode(), "stopped") << "rewound, not playing by itself";
  ASSERT_EQ(midi.PlaySound(), 0);
  EXPECT_EQ(midi.IsMode(), "playing") << "from the start again";
  midi.StopSound();
  EXPECT_EQ(midi.IsMode(), "none");
  EXPECT_THAT(msg.shown, IsEmpty());
  EXPECT_THAT(LogLines(), ::testing::Contains("MciSendString(Commands): seek mp to start"));
}

// Tunes opened, rewound and closed while the output renders another one: FluidSynth's output
// thread runs the players' timers, so a player freed under it crashed the game now and then.
TEST_F(FluidTest, PlayersComeAndGoWhileTheOutputRuns) {
  FluidMci device(FluidMciOptions{{"file"}, "/dev/null", ""});
  const std::string tune = dir.Write("short.mid", ShortTune());
  std::string reply;
  ASSERT_EQ(device.mciSendString("open \"" + tune + "\" type sequencer alias bg", reply), 0u);
  ASSERT_EQ(device.mciSendString("play bg", reply), 0u);
  for (int i = 0; i < 3000; ++i) {
    ASSERT_EQ(device.mciSendString("open \"" + tune + "\" type sequencer alias mp", reply), 0u) << i;
    EXPECT_EQ(device.mciSendString("play mp", reply), 0u);
    EXPECT_EQ(device.mciSendString("seek mp to start", reply), 0u);
    EXPECT_EQ(device.mciSendString("play mp", reply), 0u);
    EXPECT_EQ(device.mciSendString("close mp", reply), 0u);
    if (i % 50 == 0) device.mciSendString("seek bg to start", reply), device.mciSendString("play bg", reply);
  }
  EXPECT_EQ(device.Driver(), "file") << "the output is back after each player went";
  EXPECT_EQ(device.mciSendString("play bg", reply), 0u);
}

// What is not a standard MIDI file does not open: the game then turns the sound off.
TEST_F(FluidTest, FilesThatAreNotMidiDoNotOpen) {
  FluidMci device(FluidMciOptions{{"file"}, "/dev/null", ""});
  const std::string tune = ShortTune();
  for (const std::string& bytes : {std::string(), tune.substr(0, tune.size() - 5), std::string("garbage bytes"),
                                   "MThd" + tune.substr(4, 10)}) {
    std::string reply;
    EXPECT_EQ(device.mciSendString("open \"" + dir.Write("x.mid", bytes) + "\" type sequencer alias mp", reply),
              mcierr::kInvalidFile)
        << bytes.size() << " bytes";
  }
}

TEST_F(FluidTest, DriversAreTriedInOrderAndWithoutOneNothingOpens) {
  // The first that opens plays, the ones after it are not tried.
  const std::string tune = dir.Write("short.mid", ShortTune());
  FluidMci device(FluidMciOptions{{"no-such-driver", "file", "alsa"}, "/dev/null", ""});
  MIDIMCIClass midi(device, msg, clock, texts, dir.str());
  midi.LoadSoundFromFile(tune);
  ASSERT_EQ(midi.PlaySound(), 0);
  EXPECT_EQ(device.Driver(), "file");
  midi.StopSound();

  // None opens: the play fails and says why in the log.
  FluidMci none(FluidMciOptions{{"no-such-driver", "none-either"}, "", ""});
  MIDIMCIClass silent(none, msg, clock, texts, dir.str());
  silent.OutputLog = true;
  silent.LoadSoundFromFile(tune);
  EXPECT_EQ(silent.PlaySound(), 1);
  EXPECT_THAT(LogLines(), ::testing::Contains(HasSubstr("No audio output")));
  EXPECT_EQ(silent.IsMode(), "none");
  EXPECT_EQ(none.Driver(), "");
  // Nor without a sound font.
  FluidMci noFont(FluidMciOptions{{"file"}, "/dev/null", dir / "missing.sf2"});
  std::string reply;
  EXPECT_EQ(noFont.mciSendString("open \"" + (dir / "short.mid") + "\" type sequencer alias mp", reply),
            mcierr::kNoMidiDevice);
  EXPECT_EQ(noFont.mciSendString("play mp", reply), mcierr::kNotOpen);
}

}  // namespace
}  // namespace kelvara::testing
