// Where the program keeps its files, installing rolling stock: the drop rules and the move that
// never loses a file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "base/folders.h"
#include "base/movefile.h"
#include "base/textfile.h"
#include "data/install.h"
#include "fakes.h"
#include "tempdir.h"

namespace kelvara::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

namespace fs = std::filesystem;

std::string Read(const std::string& path) { return ReadFileBytes(path).value_or("<missing>"); }

// The real calls, but one of them fails as a file system can.
struct FailingCalls : FileCalls {
  std::string failOpenOf;     // opening this path fails with `openErrno`
  bool failCreate = false;    // and so does making any new file
  int openErrno = EACCES;
  int renameErrno = 0;        // every rename fails with this, when set
  bool corruptWrites = false;  // the copy's bytes come out wrong
  int RenameNoReplace(const char* from, const char* to) override {
    if (renameErrno != 0) {
      errno = renameErrno;
      return -1;
    }
    return FileCalls::RenameNoReplace(from, to);
  }
  int Open(const char* path, int flags, mode_t mode) override {
    if ((!failOpenOf.empty() && failOpenOf == path) || (failCreate && (flags & O_CREAT) != 0)) {
      errno = openErrno;
      return -1;
    }
    return FileCalls::Open(path, flags, mode);
  }
  ssize_t Write(int fd, const void* buffer, std::size_t size) override {
    if (!corruptWrites) return FileCalls::Write(fd, buffer, size);
    std::string bad(static_cast<const char*>(buffer), size);
    bad[0] ^= 1;
    return FileCalls::Write(fd, bad.data(), size);
  }
};

struct MoveTest : ::testing::Test {
  TempDir from, data;
  // A folder on another file system when the machine has one (a tmpfs under /dev/shm).
  std::string Elsewhere() {
    struct stat a {}, b {};
    if (::stat("/dev/shm", &b) != 0 || ::stat(data.str().c_str(), &a) != 0 || a.st_dev == b.st_dev) return {};
    other = "/dev/shm/kelvara-move-" + std::to_string(::getpid());
    fs::create_directories(other);
    return other + "/";
  }
  void TearDown() override {
    std::error_code ec;
    if (!other.empty()) fs::remove_all(other, ec);
  }
  std::string other;
};

TEST_F(MoveTest, WithinAndAcrossFileSystems) {
  const std::string a = from.Write("a.trd", "train");
  EXPECT_EQ(MoveFileInto(a, data.str()), "");
  EXPECT_FALSE(fs::exists(a));
  EXPECT_EQ(Read(data / "a.trd"), "train");

  const std::string elsewhere = Elsewhere();
  if (elsewhere.empty()) GTEST_SKIP() << "no second file system here";
  const std::string big(300000, 'x');
  std::ofstream(elsewhere + "b.bmp", std::ios::binary) << big;
  ::chmod((elsewhere + "b.bmp").c_str(), 0640);
  EXPECT_EQ(MoveFileInto(elsewhere + "b.bmp", data.str()), "");
  EXPECT_FALSE(fs::exists(elsewhere + "b.bmp")) << "moved, not copied";
  EXPECT_EQ(Read(data / "b.bmp"), big);
  EXPECT_EQ(fs::status(data / "b.bmp").permissions() & fs::perms::all, fs::perms(0640));
}

// In every failure the file is where it was, or in both places; the player gets the reason.
TEST_F(MoveTest, NothingIsLostWhenAMoveFails) {
  const std::string mine = data.Write("a.trd", "mine");
  const std::string theirs = from.Write("a.trd", "theirs");
  EXPECT_THAT(MoveFileInto(theirs, data.str()), HasSubstr(std::strerror(EEXIST)));
  EXPECT_EQ(Read(mine), "mine");
  EXPECT_EQ(Read(theirs), "theirs");

  FailingCalls readOnly;  // a data folder on a read-only mount
  readOnly.renameErrno = EROFS;
  const std::string b = from.Write("b.bmp", "bitmap");
  EXPECT_THAT(MoveFileInto(b, data.str(), readOnly), HasSubstr(std::strerror(EROFS)));
  EXPECT_EQ(Read(b), "bitmap");
  EXPECT_FALSE(fs::exists(data / "b.bmp"));

  const std::string elsewhere = Elsewhere();
  if (elsewhere.empty()) GTEST_SKIP() << "no second file system here";
  const std::string c = elsewhere + "c.bmp";
  std::ofstream(c, std::ios::binary) << "bitmap c";
  FailingCalls unreadable;  // root reads anything, so the refusal is staged
  unreadable.failOpenOf = c;
  EXPECT_THAT(MoveFileInto(c, data.str(), unreadable), HasSubstr(std::strerror(EACCES)));
  EXPECT_EQ(Read(c), "bitmap c");
  EXPECT_FALSE(fs::exists(data / "c.bmp"));

  FailingCalls noRoom;  // the data folder cannot take a new file
  noRoom.failCreate = true;
  noRoom.openErrno = ENOSPC;
  EXPECT_THAT(MoveFileInto(c, data.str(), noRoom), HasSubstr(std::strerror(ENOSPC)));
  EXPECT_EQ(Read(c), "bitmap c");

  FailingCalls garbled;  // a copy that does not read back as the source is taken back
  garbled.corruptWrites = true;
  EXPECT_NE(MoveFileInto(c, data.str(), garbled), "");
  EXPECT_EQ(Read(c), "bitmap c");
  EXPECT_FALSE(fs::exists(data / "c.bmp"));

  EXPECT_THAT(MoveFileInto(from.str(), data.str()), HasSubstr(std::strerror(EISDIR))) << "a folder";
  EXPECT_THAT(MoveFileInto(from / "gone.trd", data.str()), HasSubstr(std::strerror(ENOENT)));
}

// Another program puts a file of the same name into the data folder while the copy runs (a file
// manager's "replace"): that file survives, and so does the source.
TEST_F(MoveTest, AFileThatTakesTheNameDuringACopyIsLeftAlone) {
  const std::string elsewhere = Elsewhere();
  if (elsewhere.empty()) GTEST_SKIP() << "no second file system here";
  const std::string source = elsewhere + "a.bmp";
  std::ofstream(source, std::ios::binary) << std::string(200000, 's');
  struct Intruder : FileCalls {
    std::string target;
    bool done = false;
    ssize_t Write(int fd, const void* buffer, std::size_t size) override {
      if (!done) {
        done = true;
        std::ofstream(target + ".theirs", std::ios::binary) << "their file";
        std::rename((target + ".theirs").c_str(), target.c_str());
      }
      return FileCalls::Write(fd, buffer, size);
    }
  } intruder;
  intruder.target = data / "a.bmp";
  EXPECT_THAT(MoveFileInto(source, data.str(), intruder), HasSubstr(std::strerror(EEXIST)));
  EXPECT_EQ(Read(data / "a.bmp"), "their file");
  EXPECT_EQ(Read(source), std::string(200000, 's'));
  for (const auto& e : fs::directory_iterator(data.str())) {
    EXPECT_FALSE(e.path().filename().string().starts_with(kInstallTempPrefix)) << "our temporary is gone";
  }
}

// A kill at any moment of a copy between file systems: the source is whole every time, and the
// data folder holds the whole file or none under its name; the next install window removes what
// the kill left.
TEST_F(MoveTest, AKillDuringACopyLosesNothing) {
  const std::string elsewhere = Elsewhere();
  if (elsewhere.empty()) GTEST_SKIP() << "no second file system here";
  std::string bytes(24 << 20, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 2654435761u >> 24);
  std::mt19937 random(5);
  int whole = 0, none = 0;
  for (int trial = 0; trial < 16; ++trial) {
    const std::string source = elsewhere + "big.bmp";
    if (!fs::exists(source)) std::ofstream(source, std::ios::binary) << bytes;
    fs::remove(data / "big.bmp");
    const pid_t child = ::fork();
    if (child == 0) ::_exit(MoveFileInto(source, data.str()).empty() ? 0 : 1);
    ::usleep(static_cast<useconds_t>(random() % 60000));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const bool there = fs::exists(data / "big.bmp");
    if (there) {
      EXPECT_EQ(Read(data / "big.bmp"), bytes) << "trial " << trial << ": a short file under the name";
    }
    if (fs::exists(source)) {
      EXPECT_EQ(Read(source), bytes) << "trial " << trial << ": the source was cut";
    }
    EXPECT_TRUE(there || fs::exists(source)) << "trial " << trial << ": lost";
    (there ? whole : none)++;
    FakeMessageBox msg;
    FakeTexts texts;
    FileCalls calls;
    DataInstall cleanUp(msg, texts, data.str(), calls);
    for (const auto& e : fs::directory_iterator(data.str())) {
      EXPECT_FALSE(e.path().filename().string().starts_with(kInstallTempPrefix)) << "trial " << trial;
    }
  }
  std::cout << "[ kills    ] 16 kills: " << whole << " left the whole file installed, " << none << " none\n";
}

TEST(DataInstallTest, WhatIsMovedIgnoredOrRefused) {
  TempDir from, data;
  FakeMessageBox msg;
  FakeTexts texts;
  FileCalls calls;
  DataInstall install(msg, texts, data.str(), calls);
  for (const char* name : {"a.trd", "b.bmp", "c.zip", "d.BMP", "e.lzh", "f.wav"}) {
    install.DropFile(from.Write(name, name));
  }
  install.DropFile(from.str() + "folder");
  EXPECT_TRUE(fs::exists(data / "a.trd"));
  EXPECT_TRUE(fs::exists(data / "b.bmp"));
  EXPECT_TRUE(fs::exists(data / "f.wav"));
  EXPECT_FALSE(fs::exists(from / "a.trd")) << "gone from where it was dragged";
  EXPECT_TRUE(fs::exists(from / "d.BMP")) << "capitals are another extension";
  EXPECT_TRUE(fs::exists(from / "e.lzh"));
  EXPECT_THAT(msg.Texts(), ElementsAre("<6500>\r\nzip", "<6500>\r\nBMP", "<6500>\r\n"));
  for (const auto& box : msg.shown) EXPECT_EQ(box.icon, MsgIcon::Exclamation);

  msg.shown.clear();
  install.DropFile(from.Write("a.trd", "another"));  // a name the data folder has already
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_THAT(msg.shown[0].text, HasSubstr(std::strerror(EEXIST)));
  EXPECT_EQ(Read(data / "a.trd"), "a.trd");
  EXPECT_EQ(Read(from / "a.trd"), "another");

  // A link dropped on the window installs the bytes of the file it names, never the link.
  const std::string named = from.Write("kept/g.bmp", "the picture");
  fs::create_symlink(named, from / "g.bmp");
  install.DropFile(from / "g.bmp");
  EXPECT_FALSE(fs::is_symlink(data / "g.bmp"));
  EXPECT_EQ(Read(data / "g.bmp"), "the picture");
  EXPECT_EQ(Read(named), "the picture") << "the file the link named stays";

  // Installed, but the original could not be removed: the player is told both.
  struct KeepsSources : FileCalls {
    std::string from;
    int Unlink(const char* path) override {
      if (std::string(path).starts_with(from)) {
        errno = EACCES;
        return -1;
      }
      return FileCalls::Unlink(path);
    }
  } keeps;
  keeps.from = from.str();
  msg.shown.clear();
  DataInstall stubborn(msg, texts, data.str(), keeps);
  fs::create_symlink(from.Write("kept/h.bmp", "h"), from / "h.bmp");
  stubborn.DropFile(from / "h.bmp");
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_THAT(msg.shown[0].text, StartsWith("<6040>\r\n"));
  EXPECT_EQ(Read(data / "h.bmp"), "h");
}

// ---- the program's folders ----------------------------------------------------------------------

struct FoldersTest : ::testing::Test {
  TempDir root;
  std::map<std::string, std::string> vars{{"HOME", root / "home"}};
  Environment env = [this](const char* name) -> const char* {
    const auto it = vars.find(name);
    return it == vars.end() ? nullptr : it->second.c_str();
  };
};

TEST_F(FoldersTest, APortableCopyKeepsEverythingBesideItself) {
  const Folders f = FindFolders(root / "game/", true, "../share/kelvara", env);
  EXPECT_TRUE(f.portable);
  for (const std::string& folder : {f.settings, f.log, f.temp, f.userData}) EXPECT_EQ(folder, root / "game");
  EXPECT_EQ(f.installedSet, "") << "the Cars beside it is the player's own folder";
  EXPECT_EQ(f.help, root / "game/help");
  EXPECT_EQ(IconPath(f, 16), root / "game/icons/kelvara-16.png");
}

TEST_F(FoldersTest, AnInstalledProgramWritesOnlyIntoTheUsersFolders) {
  fs::create_directories(root / "usr/bin");
  fs::create_directories(root / "usr/share/kelvara/Cars");
  fs::create_directories(root / "run");
  vars["XDG_CONFIG_HOME"] = root / "cfg/";
  vars["XDG_RUNTIME_DIR"] = root / "run";
  vars["XDG_STATE_HOME"] = "relative/state";  // not absolute: ignored, as the XDG rules say
  // Writable or not (root can write anywhere), an installation is never written to.
  for (const bool writable : {true, false}) {
    const Folders f = FindFolders(root / "usr/bin", writable, "../share/kelvara", env);
    EXPECT_FALSE(f.portable);
    EXPECT_EQ(f.settings, root / "cfg/kelvara");
    EXPECT_EQ(f.log, root / "home/.local/state/kelvara");
    EXPECT_EQ(f.userData, root / "home/.local/share/kelvara");
    EXPECT_EQ(f.temp, root / "run");
    EXPECT_EQ(f.installedSet, root / "usr/share/kelvara/Cars");
    EXPECT_EQ(f.help, root / "usr/share/kelvara/help");
    EXPECT_EQ(IconPath(f, 256), root / "usr/share/icons/hicolor/256x256/apps/kelvara.png");
  }
  vars["XDG_RUNTIME_DIR"] = root / "gone";
  EXPECT_EQ(FindFolders(root / "usr/bin", true, "../share/kelvara", env).temp, "/tmp") << "a runtime folder not there";
}

TEST_F(FoldersTest, ACopyThePlayerCannotWriteReadsItsOwnSet) {
  fs::create_directories(root / "ro/cars");
  vars["XDG_DATA_HOME"] = root / "data";
  const Folders f = FindFolders(root / "ro", false, "../share/kelvara", env);
  EXPECT_FALSE(f.portable);
  EXPECT_EQ(f.installedSet, root / "ro/cars") << "in the letter case it has";
  EXPECT_EQ(f.userData, root / "data/kelvara");
  EXPECT_EQ(f.settings, root / "home/.config/kelvara");
}

TEST_F(FoldersTest, FoldersAreMadeForTheOwnerOnly) {
  const std::string deep = root / "a/b/c";
  ASSERT_TRUE(MakeFolder(deep));
  ASSERT_TRUE(MakeFolder(deep)) << "once more: it is there";
  struct stat st {};
  ASSERT_EQ(::stat(deep.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  root.Write("file", "x");
  EXPECT_FALSE(MakeFolder(root / "file/sub")) << "a file in the way";
}

}  // namespace
}  // namespace kelvara::testing
