// Files the game reads and writes, whatever the disk holds: read errors, FIFOs, folders, huge
// and sparse files, unreadable settings, two savers at once.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "base/ini.h"
#include "base/textfile.h"
#include "data/loco.h"
#include "data/trd.h"
#include "fakes.h"
#include "services/gini.h"
#include "services/mylog.h"
#include "tempdir.h"

namespace kelvara::testing {
namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

// Runs `child` in a process of its own, as an ordinary user when the tests run as root (root
// reads any file); its result is the child's exit code.
int AsOtherProcess(const std::function<int()>& child, bool unprivileged = false) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (unprivileged && ::geteuid() == 0 && (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)) {
      ::_exit(99);
    }
    ::_exit(child());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

// ---- the one reader -------------------------------------------------------------------------

TEST(FileReadTest, WhatIsNotAPlainReadableFileIsRefusedAtOnce) {
  TempDir dir;
  fs::create_symlink("/proc/self/mem", dir / "eio.trd");  // every read of it fails with EIO
  ASSERT_EQ(::mkfifo((dir / "fifo.ini").c_str(), 0600), 0);
  fs::create_directory(dir / "folder.lst");
  fs::create_symlink("/dev/zero", dir / "zero.bmp");
  const std::string plain = dir.Write("plain.trd", "Train\r\nsound\r\ncar.bmp\r\n");

  const FileRead eio = ReadGameFile(dir / "eio.trd", kTrainFileLimit);
  EXPECT_FALSE(eio.bytes);
  EXPECT_EQ(eio.error, EIO);
  EXPECT_EQ(eio.Reason(), "Input/output error");
  for (const char* name : {"fifo.ini", "folder.lst", "zero.bmp"}) {  // no read waits for ever
    const FileRead r = ReadGameFile(dir / name, kSettingsFileLimit);
    EXPECT_FALSE(r.bytes) << name;
    EXPECT_EQ(r.Reason(), "not a regular file") << name;
  }
  const FileRead gone = ReadGameFile(dir / "gone.trd", kTrainFileLimit);
  EXPECT_TRUE(gone.missing);
  // A locomotive list that is a folder says so, not only that it was not found.
  {
    TempDir data;
    fs::create_directory(data / "loco.lst");
    Fakes f;
    LocoClass loco(DataPorts{f.msg, f.texts, f.clock});
    loco.LoadLst(data.str());
    ASSERT_EQ(f.msg.shown.size(), 1u);
    EXPECT_THAT(f.msg.shown[0].text, HasSubstr("<10010>"));
    EXPECT_THAT(f.msg.shown[0].text, HasSubstr("<6020>not a regular file"));
  }
  EXPECT_EQ(ReadGameFile(plain, kTrainFileLimit).bytes, "Train\r\nsound\r\ncar.bmp\r\n");
  EXPECT_EQ(ReadFileHead(plain, 5).bytes, "Train");

  // A sparse train file of 2 GB is refused by its size before a byte is read.
  const std::string huge = dir / "huge.trd";
  const int fd = ::open(huge.c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, 2LL << 30), 0);
  ::close(fd);
  const FileRead big = ReadGameFile(huge, kTrainFileLimit);
  EXPECT_FALSE(big.bytes);
  EXPECT_EQ(big.error, EFBIG);
}

TEST(FileReadTest, TheLoadersSayWhyAFileCouldNotBeRead) {
  TempDir dir;
  Fakes f;
  // A train file on a failing disk: the critical box with the system's reason, and no abort.
  fs::create_symlink("/proc/self/mem", dir / "eio.trd");
  TRDClass trd(DataPorts{f.msg, f.texts, f.clock});
  trd.TrainFileName = dir / "eio.trd";
  EXPECT_FALSE(trd.LoadTrd());
  ASSERT_EQ(f.msg.shown.size(), 1u);
  EXPECT_EQ(f.msg.shown[0].icon, MsgIcon::Critical);
  EXPECT_THAT(f.msg.shown[0].text, HasSubstr("Description= Input/output error"));

  // An unreadable locomotive list is not "no locomotive in the file"; an unreadable car bitmap
  // is not a car of no size.
  f.msg.shown.clear();
  fs::create_symlink("/proc/self/mem", dir / "loco.lst");
  LocoClass loco(DataPorts{f.msg, f.texts, f.clock});
  loco.LoadLst(dir.str());
  ASSERT_EQ(f.msg.shown.size(), 1u);
  EXPECT_THAT(f.msg.shown[0].text, HasSubstr("<10010>"));
  EXPECT_THAT(f.msg.shown[0].text, HasSubstr("<6020>Input/output error"));
  EXPECT_EQ(loco.LocoSetCount(), 0);

  // A car picture that is a link out of the data folder is no car of the pack, whatever it is.
  f.msg.shown.clear();
  fs::create_symlink("/proc/self/mem", dir / "broken.bmp");
  dir.Bitmap("fine.bmp", 64, 16);
  dir.Write("cars.trd", "Cars\r\nsound\r\nbroken.bmp\r\nfine.bmp\r\n");
  TRDClass cars(DataPorts{f.msg, f.texts, f.clock});
  cars.TrainFileName = dir / "cars.trd";
  EXPECT_TRUE(cars.LoadTrd());
  EXPECT_EQ(cars.CarCount(), 1) << "the car that leads out is left out";
  ASSERT_EQ(f.msg.shown.size(), 1u);
  EXPECT_THAT(f.msg.shown[0].text, HasSubstr("<10000>"));
  EXPECT_THAT(f.msg.shown[0].text, HasSubstr("CAR= " + (dir / "broken.bmp")));

  // A car named by a line of 100 kB: the box shows the start of it.
  f.msg.shown.clear();
  dir.Write("long.trd", "Long\r\nsound\r\n" + std::string(100000, 'x') + ".bmp\r\nfine.bmp\r\n");
  TRDClass longName(DataPorts{f.msg, f.texts, f.clock});
  longName.TrainFileName = dir / "long.trd";
  EXPECT_TRUE(longName.LoadTrd());
  ASSERT_EQ(f.msg.shown.size(), 1u);
  EXPECT_LT(f.msg.shown[0].text.size(), 1000u);
  EXPECT_THAT(f.msg.shown[0].text, ::testing::EndsWith("xxx..."));
}

// "Num" at the bottom of the 32-bit range reads no set (it once overflowed into every set).
TEST(FileReadTest, ANegativeSetCountReadsNoSet) {
  TempDir dir;
  Fakes f;
  dir.Bitmap("el.bmp", 64, 16);
  LocoClass loco(DataPorts{f.msg, f.texts, f.clock});
  loco.LoadLstBytes("[Loco]\r\nNum=-2147483648\r\n[0]\r\nName=E\r\nImage=el.bmp\r\n", dir.str());
  EXPECT_EQ(loco.LocoSetCount(), 0);
}

// ---- the settings file --------------------------------------------------------------------------

TEST(SettingsFileTest, AFileThatCannotBeReadIsNeverReplaced) {
  TempDir dir;
  const std::string foreign = "[Kelvara]\r\nQuestionLevel=7\r\n[OtherTool]\r\nkept=yes\r\n";
  const std::string ini = dir.Write("kelvara.ini", foreign);
  ASSERT_EQ(::chmod(ini.c_str(), 0), 0);
  const int saved = AsOtherProcess(
      [&] {
        AppSettings s;
        s.QuestionLevel = 9;
        return SaveIni(s, ini) ? 1 : 0;
      },
      /*unprivileged=*/true);
  ::chmod(ini.c_str(), 0600);
  ASSERT_NE(saved, 99) << "could not become an ordinary user";
  EXPECT_EQ(saved, 0) << "the save is refused";
  EXPECT_EQ(ReadFileBytes(ini), foreign) << "the other tool's section is still there";

  // A folder or a FIFO where the settings file should be: refused, never waited on, left alone.
  fs::create_directory(dir / "folder.ini");
  ASSERT_EQ(::mkfifo((dir / "fifo.ini").c_str(), 0600), 0);
  for (const char* name : {"folder.ini", "fifo.ini"}) {
    AppSettings s;
    EXPECT_FALSE(SaveIni(s, dir / name)) << name;
    EXPECT_FALSE(fs::is_regular_file(dir / name)) << name;
  }
}

// Two programs saving at once take turns: every save reads what the one before wrote.
TEST(SettingsFileTest, TwoProcessesSaveInTurn) {
  TempDir dir;
  const std::string ini = dir.Write("kelvara.ini", "[OtherTool]\r\nkept=yes\r\n");
  auto saver = [&](const std::string& key) {
    return [&, key] {
      for (int i = 0; i < 150; ++i) {
        if (!IniFile::Update(ini, [&](IniFile& f) { f.Set(key, "n" + std::to_string(i), std::to_string(i)); })) return 1;
      }
      return 0;
    };
  };
  const pid_t a = ::fork();
  if (a == 0) ::_exit(saver("A")());
  EXPECT_EQ(saver("B")(), 0);
  int status = 0;
  ::waitpid(a, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const IniFile result = IniFile::Load(ini);
  EXPECT_EQ(result.Get("OtherTool", "kept"), "yes");
  // Temporaries of saves killed half way go with the next save; other files stay.
  const std::string stale = dir.Write("kelvara.ini.saving-q3xz9a", "[Half]\r\n");
  const std::string older = dir.Write("kelvara.ini.q3Xz9A", "[Half]\r\n"), other = dir.Write("kelvara.ini.backup", "x");
  ASSERT_TRUE(IniFile::Update(ini, [](IniFile& f) { f.Set("A", "again", "1"); }));
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_FALSE(fs::exists(older)) << "as an earlier version named them";
  EXPECT_TRUE(fs::exists(other));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.str()), fs::directory_iterator()), 2) << "the file and the other";
  for (int i = 0; i < 150; ++i) {
    ASSERT_EQ(result.Get("A", "n" + std::to_string(i)), std::to_string(i)) << "A's save " << i << " was lost";
    ASSERT_EQ(result.Get("B", "n" + std::to_string(i)), std::to_string(i)) << "B's save " << i << " was lost";
  }
}

// ---- the log -------------------------------------------------------------------------------------

// A second instance started while the first runs writes a log of its own and says whose it left.
TEST(LogFileTest, ASecondInstanceKeepsToALogOfItsOwn) {
  TempDir dir;
  MyLogClass first(dir / "kelvara.log");
  EXPECT_EQ(first.Claim(), "");
  first.Out("the first instance's line");
  const int second = AsOtherProcess([&] {
    MyLogClass log(dir / "kelvara.log");
    const std::string held = log.Claim();
    log.Out("the second instance's line");
    return held == dir / "kelvara.log" && log.LogFileName == dir / "kelvara-2.log" ? 0 : 1;
  });
  EXPECT_EQ(second, 0);
  EXPECT_EQ(ReadFileBytes(dir / "kelvara.log"), "1 : the first instance's line\r\n");
  EXPECT_EQ(ReadFileBytes(dir / "kelvara-2.log"), "1 : the second instance's line\r\n");

  // Once the first has ended, the next start takes the usual name again and empties it.
  first.Delete();
  dir.Write("kelvara.log", "an old run's lines\r\n");
  MyLogClass next(dir / "kelvara.log");
  EXPECT_EQ(next.Claim(), "");
  next.Out("new");
  EXPECT_EQ(ReadFileBytes(dir / "kelvara.log"), "1 : new\r\n");

  // Deleted or rotated away during the run, the log is made again for the lines that follow.
  fs::rename(dir / "kelvara.log", dir / "kelvara.log.1");
  next.Out("after the rotation");
  EXPECT_EQ(ReadFileBytes(dir / "kelvara.log"), "2 : after the rotation\r\n");
  EXPECT_EQ(ReadFileBytes(dir / "kelvara.log.1"), "1 : new\r\n");
}

}  // namespace
}  // namespace kelvara::testing
