// Installing rolling stock: the drop rules and the move that never loses a file.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

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

namespace fs = std::filesystem;

std::string Read(const std::string& path) { return ReadFileBytes(path).value_or("<missing>"); }

// The real calls, but one of them fails as a file system can.
struct FailingCalls : FileCalls {
  std::string failOpenOf;     // opening this path fails with `openErrno`
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
    if (!failOpenOf.empty() && failOpenOf == path) {
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
  noRoom.failOpenOf = data / "c.bmp";
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
}

}  // namespace
}  // namespace kelvara::testing
