// Cars, train files, the locomotive list, bitmap measurement and the helpers they stand on.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include <array>
#include <functional>

#include "data/bmp.h"
#include "data/cars.h"
#include "data/loco.h"
#include "base/paths.h"
#include "base/textfile.h"
#include "data/trd.h"
#include "fakes.h"
#include "tempdir.h"

namespace kelvara::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

TEST(PathsTest, FindsFilesTheWayWindowsWould) {
  TempDir dir;
  const std::string real = dir.Write("Car1.bmp", "x");
  EXPECT_EQ(FindLikeWindows(real), real);
  EXPECT_EQ(FindLikeWindows(dir / "car1.BMP"), real);
  EXPECT_EQ(FindLikeWindows(dir / "car1.bmp  "), real);
  EXPECT_EQ(FindLikeWindows(dir / "car2.bmp"), dir / "car2.bmp");
  // Two names that differ only in letter case: the exact one, else the first in name order.
  const std::string lower = dir.Write("car1.bmp", "y");
  EXPECT_EQ(FindLikeWindows(lower), lower);
  EXPECT_EQ(FindLikeWindows(dir / "CAR1.BMP"), real);
}

TEST(TextFileTest, DecodesUtf8AndCp932AndSplitsEveryLineEnd) {
  const std::string utf8 = "急行「しおかぜ」";
  const std::string cp932 = EncodeCp932(utf8);
  ASSERT_NE(cp932, utf8);
  EXPECT_FALSE(IsValidUtf8(cp932));
  EXPECT_EQ(DecodeText(cp932), utf8);
  EXPECT_EQ(DecodeText(utf8), utf8);
  EXPECT_EQ(DecodeText("\xEF\xBB\xBF" "abc"), "abc");
  EXPECT_EQ(DecodeText("\x82"), "\xEF\xBF\xBD") << "a cut-off double byte becomes U+FFFD";
  EXPECT_THAT(SplitLines("a\r\nb\nc\rd\r\n"), ElementsAre("a", "b", "c", "d"));
  EXPECT_THAT(SplitLines("a\r\n\r\nb"), ElementsAre("a", "", "b"));
  EXPECT_THAT(SplitLines(""), IsEmpty());
}

TEST(BitmapTest, KindsFromTheHeaderAlone) {
  TempDir dir;
  EXPECT_EQ(TrdImageKind(20, 41), 0);
  EXPECT_EQ(TrdImageKind(20, 40), 1);
  EXPECT_EQ(TrdImageKind(280, 40), 1);
  EXPECT_EQ(TrdImageKind(281, 40), 2);
  EXPECT_EQ(TrdImageKind(64, -16), 0) << "top-down bitmap: negative ratio";
  EXPECT_EQ(TrdImageKind(0, 16), 0) << "zero width makes bellows for a train file";
  EXPECT_EQ(LocoImageKind(0, 16), -1) << "but is unusable for the locomotive list";
  EXPECT_EQ(TrdImageKind(16, 0), -1);

  const std::string bmp = dir.Bitmap("c.bmp", 300, 40);
  EXPECT_EQ(GetBMPWidth(bmp), 300);
  EXPECT_EQ(GetBMPHeight(bmp), 40);
  EXPECT_EQ(GetBMPWidth(dir / "missing.bmp"), 0);
  // Short files read the bytes that are there and 0 for the rest.
  const std::string shortFile = dir.Write("short.bmp", std::string("BM\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x40\x01", 20));
  EXPECT_EQ(GetBMPWidth(shortFile), 0x140);
  EXPECT_EQ(GetBMPHeight(shortFile), 0);
}

// ---- train files -------------------------------------------------------------------------

struct TrdTest : ::testing::Test {
  Fakes f;
  TempDir dir;
  TRDClass trd{DataPorts{f.msg, f.texts, f.clock}};

  bool Load(const std::string& name, const std::string& body) {
    trd.Refresh();
    trd.TrainFileName = dir.Write(name, body);
    return trd.LoadTrd();
  }
  std::vector<std::string> CarNames() {
    std::vector<std::string> out;
    for (int i = 0; i < trd.CarCount(); ++i) {
      trd.Cars.Index(trd.CarIndex(i));
      out.push_back(GetFileName(trd.Cars.CarFileName()));
    }
    return out;
  }
};

// The header lines, then a car a line: its bitmap and comment, or a box naming the physical line.
// A 24-bit bitmap in memory: rows bottom-up for a positive height, padded to four bytes.
std::string Bitmap24(std::int32_t w, std::int32_t h, const std::function<std::uint32_t(int x, int y)>& rgb) {
  const int rows = std::abs(h), stride = (w * 3 + 3) / 4 * 4;
  std::string b(54 + static_cast<std::size_t>(stride * rows), '\0');
  auto put = [&b](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  b[0] = 'B', b[1] = 'M';
  put(10, 54), put(14, 40), put(18, static_cast<std::uint32_t>(w)), put(22, static_cast<std::uint32_t>(h));
  b[26] = 1, b[28] = 24;
  for (int y = 0; y < rows; ++y) {
    const std::size_t row = 54 + static_cast<std::size_t>(stride * (h > 0 ? rows - 1 - y : y));
    for (int x = 0; x < w; ++x) {
      const std::uint32_t v = rgb(x, y);
      for (int c = 0; c < 3; ++c) b[row + static_cast<std::size_t>(3 * x + c)] = static_cast<char>((v >> (8 * c)) & 0xFF);
    }
  }
  return b;
}

TEST(BitmapTest, ShrunkByTheAreaEachNewPixelCovers) {
  // Three pixels into two: each new one takes two thirds of an outer pixel and a third of the middle.
  const std::string three = Bitmap24(3, 1, [](int x, int) { return std::array<std::uint32_t, 3>{0x000000, 0x306090, 0xFFFFFF}[x]; });
  EXPECT_THAT(ShrinkPlainBitmap(three, 2, 1).pixels, ElementsAre(0xFF102030u, 0xFFBACADAu));
  // Whole blocks are plain averages; top-down rows read the same as bottom-up ones.
  auto checker = [](int x, int y) { return ((x / 2 + y / 2) % 2) != 0 ? 0x204060u : 0x6080A0u; };
  auto mixed = [](int x, int y) { return static_cast<std::uint32_t>(x * 40 + y * 0x1000 + 0x30000); };
  EXPECT_THAT(ShrinkPlainBitmap(Bitmap24(4, 4, checker), 2, 2).pixels, ElementsAre(0xFF6080A0u, 0xFF204060u, 0xFF204060u, 0xFF6080A0u));
  EXPECT_EQ(ShrinkPlainBitmap(Bitmap24(5, 3, mixed), 2, 2).pixels, ShrinkPlainBitmap(Bitmap24(5, -3, mixed), 2, 2).pixels);
  // Uneven shares, against the area integrated new pixel by new pixel.
  auto overlap = [](double a0, double a1, double b0, double b1) { return std::max(0.0, std::min(a1, b1) - std::max(a0, b0)); };
  const PlainBitmap uneven = ShrinkPlainBitmap(Bitmap24(7, 5, mixed), 3, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      for (int c = 0; c < 3; ++c) {
        double sum = 0;
        for (int j = 0; j < 5; ++j) {
          for (int i = 0; i < 7; ++i) {
            sum += overlap(x * 7 / 3.0, (x + 1) * 7 / 3.0, i, i + 1) * overlap(y * 5 / 2.0, (y + 1) * 5 / 2.0, j, j + 1) *
                   ((mixed(i, j) >> (8 * c)) & 0xFF);
          }
        }
        EXPECT_NEAR((uneven.pixels[static_cast<std::size_t>(y * 3 + x)] >> (8 * c)) & 0xFF, sum / (7 * 5 / 6.0), 0.5);
      }
    }
  }
  // One colour stays that colour at any size: the shares of every new pixel add up to its area.
  const std::string grey = Bitmap24(37, 29, [](int, int) { return 0x7F7F7Fu; });
  for (const auto& [w, h] : {std::pair{1, 1}, {5, 7}, {36, 28}, {37, 29}, {13, 29}}) {
    const PlainBitmap shrunk = ShrinkPlainBitmap(grey, w, h);
    ASSERT_EQ(shrunk.pixels.size(), static_cast<std::size_t>(w * h));
    EXPECT_THAT(shrunk.pixels, ::testing::Each(0xFF7F7F7Fu)) << w << "x" << h;
  }
  // Everything else is left to a general reader.
  std::string eightBit = three, rle = three, shortFile = three.substr(0, three.size() - 1);
  eightBit[28] = 8;
  rle[30] = 1;
  for (const std::string& other : {eightBit, rle, shortFile, std::string("BM")}) EXPECT_THAT(ShrinkPlainBitmap(other, 1, 1).pixels, IsEmpty());
  EXPECT_THAT(ShrinkPlainBitmap(three, 4, 1).pixels, IsEmpty()) << "larger than the picture";
  EXPECT_THAT(ShrinkPlainBitmap(three, 0, 1).pixels, IsEmpty());
}

TEST_F(TrdTest, HeaderAndCarLines) {
  for (const char* name : {"a.bmp", "b.bmp", "Car.BMP", "sub/x.bmp", "plain"}) dir.Bitmap(name, 64, 16);
  // Outside the data folder: a picture the pack may not reach, even by a link of its own.
  TempDir outside;
  fs::create_symlink(outside.Bitmap("x.bmp", 64, 16), dir / "out.bmp");
  fs::create_symlink(dir / "a.bmp", dir / "in.bmp");
  auto box = [&](int line, const std::string& car) {
    return "<10000>\r\nTRD= " + (dir / "t.trd") + "\r\nLine= " + std::to_string(line) + "\r\nCAR= " + car;
  };
  struct Case {
    const char* what;
    std::string body, comment, sound;
    std::vector<std::string> cars, comments, boxes;
  };
  const Case cases[] = {
      {"in order; a blank after a name finds the file as Windows would; one bitmap is one car",
       "Express\r\nhorn.wav\r\na.bmp;car a\r\nb.bmp ; car b \r\na.bmp;again\r\n", "Express", "horn.wav",
       {"a.bmp", "b.bmp", "a.bmp"}, {"car a", "car b", "car a"}, {}},
      {"a comma ends the name, and the next line is a car", "Name, sound\nsecond line\na.bmp\n", "Name", "sound",
       {"a.bmp"}, {}, {box(3, dir / "second line")}},
      {"quotes keep the comma", "\"Name, with comma\"\n  sound\na.bmp\n", "Name, with comma", "sound", {"a.bmp"}, {}, {}},
      {"blank and comment lines count", "T\nS\n\n;comment\ngone.bmp;x\n", "T", "S", {}, {}, {box(5, dir / "gone.bmp")}},
      {"a folder and a name without an extension are looked up in the train's folder",
       "T\nS\nsub\\x.bmp\nplain\n", "T", "S", {"x.bmp", "plain"}, {}, {}},
      {"a name that is absolute or climbs out names nothing of the pack",
       "T\nS\n" + (dir / "a.bmp") + "\n/etc/passwd\n\\etc\\passwd\n..\\outside.bmp\nsub/../../outside.bmp\nC:\\x.bmp\n", "T",
       "S", {}, {},
       {box(3, dir / "a.bmp"), box(4, "/etc/passwd"), box(5, "/etc/passwd"), box(6, "../outside.bmp"),
        box(7, "sub/../../outside.bmp"), box(8, "C:/x.bmp")}},
      {"a link that leads out of the folder is no car of it", "T\nS\nout.bmp\nin.bmp\n", "T", "S", {"in.bmp"}, {},
       {box(3, dir / "out.bmp")}},
      {"Japanese from Windows", EncodeCp932("急行「しおかぜ」\r\n汽笛.wav\r\n; 客車\r\ncar.bmp;スハ44 1号車\r\n"),
       "急行「しおかぜ」", "汽笛.wav", {"Car.BMP"}, {"スハ44 1号車"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    f.msg.shown.clear();
    ASSERT_TRUE(Load("t.trd", c.body));
    EXPECT_EQ(trd.TrainComment, c.comment);
    EXPECT_EQ(trd.TrainSoundFileName, c.sound);
    EXPECT_EQ(CarNames(), c.cars);
    for (std::size_t i = 0; i < c.comments.size(); ++i) {
      trd.Cars.Index(trd.CarIndex(static_cast<int>(i)));
      EXPECT_EQ(trd.Cars.CarComment(), c.comments[i]);
    }
    EXPECT_EQ(f.msg.Texts(), c.boxes);
    for (const ShownBox& b : f.msg.shown) EXPECT_EQ(b.icon, MsgIcon::Exclamation);
  }
}

TEST_F(TrdTest, FilesThatFail) {
  trd.TrainFileName = "alone.trd";
  EXPECT_FALSE(trd.LoadTrd());
  trd.TrainFileName = dir / "none.trd";
  EXPECT_FALSE(trd.LoadTrd());
  EXPECT_FALSE(Load("one.trd", "Only a name\r\n"));
  ASSERT_EQ(f.msg.shown.size(), 3u);
  EXPECT_EQ(f.msg.shown[0].text, "<10100>\r\nFolder= ");
  EXPECT_EQ(f.msg.shown[1].text, "<10110>\r\nTRD= " + (dir / "none.trd"));
  EXPECT_THAT(f.msg.shown[2].text, HasSubstr("Err.Number= 62Description= "));
  EXPECT_THAT(f.msg.shown[2].text, HasSubstr("LastDllError= "));
  EXPECT_EQ(f.msg.shown[2].icon, MsgIcon::Critical);

  f.msg.shown.clear();
  trd.NoErrorMsg = true;
  EXPECT_FALSE(Load("one.trd", "Only a name"));
  EXPECT_THAT(f.msg.shown, IsEmpty());

  // A formation longer than the list fails instead of overrunning it.
  dir.Bitmap("a.bmp", 64, 16);
  std::string body = "T\nS\n";
  for (int i = 0; i < 150; ++i) body += "a.bmp\n";
  EXPECT_FALSE(Load("long.trd", body));
  EXPECT_EQ(trd.CarCount(), TRDClass::kSlots);
}

// ---- locomotive list ---------------------------------------------------------------------

struct LocoTest : ::testing::Test {
  Fakes f;
  TempDir dir;
  LocoClass loco{DataPorts{f.msg, f.texts, f.clock}};

  void Load(const std::string& lst) {
    dir.Write("loco.lst", lst);
    loco.Refresh();
    loco.LoadLst(dir.str());
  }
};

// "Num" is the leading decimal number of its text, rounded half to even.
TEST_F(LocoTest, NumIsTheLeadingDecimalNumber) {
  dir.Bitmap("e.bmp", 64, 16);
  std::string sets;
  for (int i = 0; i < 5; ++i) sets += "[" + std::to_string(i) + "]\nImage=e.bmp\n";
  const std::pair<const char*, int> cases[] = {{"abc", 0}, {"", 0}, {"0x2", 0}, {" 2abc", 2}, {"2.5", 2},
                                               {"3.5", 4}, {"1e1", 5}, {"-3", 0}, {"4 ", 4}};
  for (const auto& [num, count] : cases) {
    f.msg.shown.clear();
    Load(std::string("[Loco]\nNum=") + num + "\n" + sets);
    EXPECT_EQ(loco.LocoSetCount(), count) << "Num=" << num;
    EXPECT_EQ(f.msg.Texts() == std::vector<std::string>{"<10020>"}, count == 0 && std::string(num) != "-3") << num;
  }
}

TEST_F(LocoTest, SetsWithoutCarsAreDroppedAndTheRestRenumbered) {
  dir.Bitmap("e.bmp", 64, 16);
  dir.Bitmap("d.bmp", 64, 16);
  Load("[LOCO]\nnum = 4 \n[0]\nName=First\nHorn=h0\nImage=e.bmp;unit\n[1]\nName=Empty\n"
       "[2]\nNAME=Third\nimage5=d.bmp;only five\n");
  EXPECT_EQ(loco.LocoSetCount(), 2);
  EXPECT_EQ(loco.LocoSetIndex(), 2) << "one past the last set";
  loco.LocoSetIndex(0);
  EXPECT_EQ(loco.LocoComment(), "First");
  EXPECT_EQ(loco.LocoSoundFileName(), "h0");
  loco.LocoSetIndex(1);
  EXPECT_EQ(loco.LocoComment(), "Third");
  EXPECT_EQ(loco.CarCount(), 1);
  loco.Cars.Index(loco.CarIndex(0));
  EXPECT_EQ(loco.Cars.CarComment(), "only five");
  EXPECT_EQ(loco.CarIndex(11), 0);
  loco.LocoSetIndex(-1);
  EXPECT_EQ(loco.CarCount(), 0);
  EXPECT_EQ(loco.LocoComment(), "");
}

TEST_F(LocoTest, AMissingListAndMissingCarsAreReported) {
  loco.LoadLst(dir.str());
  EXPECT_EQ(loco.LocoSetCount(), 0);
  EXPECT_THAT(f.msg.Texts(), ElementsAre("<10010>\r\n File= " + (dir / "loco.lst")));
  f.msg.shown.clear();
  // Each missing car per key, with the section.
  dir.Bitmap("e.bmp", 64, 16);
  Load("[Loco]\nNum=4\n[3]\nName=x\nImage=gone.bmp\nImage1=e.bmp\nImage2=gone2.bmp\n");
  EXPECT_THAT(f.msg.Texts(), ElementsAre("<10000>\r\nSection= 3\r\nCAR= " + (dir / "gone.bmp"),
                                         "<10000>\r\nSection= 3\r\nCAR= " + (dir / "gone2.bmp")));
  loco.LocoSetIndex(0);
  EXPECT_EQ(loco.CarCount(), 1);
}

TEST_F(LocoTest, BellowsFilteringAndUnmeasurablePictures) {
  dir.Bitmap("bellows.bmp", 6, 16);
  dir.Bitmap("flat.bmp", 0, 16);
  dir.Bitmap("e.bmp", 64, 16);
  loco.NoLoadCouplerBellows = true;
  Load("[Loco]\nNum=2\n[0]\nImage=bellows.bmp\nImage1=flat.bmp\n[1]\nImage=e.bmp\n");
  EXPECT_EQ(loco.LocoSetCount(), 2);
  loco.LocoSetIndex(0);
  ASSERT_EQ(loco.CarCount(), 1) << "the zero-width picture stays, the bellows go";
  loco.Cars.Index(loco.CarIndex(0));
  EXPECT_EQ(GetFileName(loco.Cars.CarFileName()), "flat.bmp");
}

TEST_F(LocoTest, FiftyOneSetsAtMostAndAHugeNumReadsOnlyTheSectionsThereAre) {
  dir.Bitmap("e.bmp", 64, 16);
  Load("[Loco]\nNum=2000000000\n[0]\nImage=e.bmp\n");
  EXPECT_EQ(loco.LocoSetCount(), 1);
  EXPECT_THAT(f.msg.shown, IsEmpty());
  // Sections far apart (the gap between them once took minutes to walk), out of order, and one
  // past Num that is not read.
  Load("[Loco]\nNum=2000000000\n[1999999998]\nName=far\nImage=e.bmp\n[7]\nName=near\nImage=e.bmp\n"
       "[2000000000]\nName=past\nImage=e.bmp\n");
  ASSERT_EQ(loco.LocoSetCount(), 2);
  loco.LocoSetIndex(0);
  EXPECT_EQ(loco.LocoComment(), "near");
  loco.LocoSetIndex(1);
  EXPECT_EQ(loco.LocoComment(), "far");

  std::string lst = "[Loco]\nNum=60\n";
  for (int i = 0; i < 60; ++i) lst += "[" + std::to_string(i) + "]\nName=n" + std::to_string(i) + "\nImage=e.bmp\n";
  f.msg.shown.clear();
  Load(lst);
  EXPECT_EQ(loco.LocoSetCount(), 51);
  EXPECT_THAT(f.msg.Texts(), ElementsAre("<10030>"));
  loco.LocoSetIndex(50);
  EXPECT_EQ(loco.LocoComment(), "n50");
}

}  // namespace
}  // namespace kelvara::testing
