// Choosing and loading trains, the picture list (which keeps the bellows the yard leaves out), and
// the default train set that ships with the game.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "base/paths.h"
#include "fakes.h"
#include "model/game.h"
#include "tempdir.h"
#include "yard_builder.h"

namespace kelvara::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct ChoiceTest : ::testing::Test {
  Fakes f;
  TempDir dir;
  std::unique_ptr<Game> game;

  void SetUp() override {
    dir.Bitmap("e.bmp", 64, 16);
    dir.Bitmap("d.bmp", 64, 16);
    dir.Bitmap("car.bmp", 64, 16);
    dir.Bitmap("bellows.bmp", 6, 16);
    dir.Write("loco.lst", "[Loco]\nNum=2\n[0]\nName=Single\nImage=e.bmp\n[1]\nName=Triple\nImage=e.bmp\n"
                          "Image1=d.bmp\nImage2=e.bmp\n");
    f.settings.TrdFolder = dir.str();
    game = std::make_unique<Game>(f.ports(), f.settings);
    game->lib().Seed(1);
    game->Loco.LoadLst(f.settings.TrdFolder);
  }
  std::string Train(const std::string& name, int cars, bool bellows = false) {
    std::string body = name + "\nsound\n";
    for (int i = 0; i < cars; ++i) body += std::string(bellows && i ? "bellows.bmp\n" : "") + "car.bmp;c\n";
    return dir.Write(name + ".trd", body);
  }
};

TEST_F(ChoiceTest, ChangeTrainLoadsPlacesAndRemembersTheStart) {
  const std::string p = Train("short", 3);
  game->ChangeTrain(1, p);
  EXPECT_THAT(f.msg.shown, IsEmpty());
  EXPECT_EQ(game->LocoUnits, 3);
  EXPECT_EQ(game->TrainCars, 3);
  EXPECT_EQ(LineText(game->yard, 0), ". . . . . . . . . . . . . . . . . L1 L2 L3");
  EXPECT_EQ(LineText(game->yard, 1), ". . . . . . . . . . . . . . . . . 1 2 3");
  EXPECT_EQ(game->StartYard, game->yard);
  EXPECT_TRUE(game->TrainChanged);
  EXPECT_EQ(f.controls.Text("lblMsg"), "<5230> : Triple     \r\n<5240> : short");
  EXPECT_TRUE(f.controls.IsEnabled("cmdBack"));
  EXPECT_FALSE(f.controls.IsEnabled("mnuViewClearAnimation"));
  EXPECT_EQ(f.scene.draws, 1);
  EXPECT_EQ(f.sound.stops, 1);
}

TEST_F(ChoiceTest, UnplayableChoicesKeepThePreviousTrain) {
  game->ChangeTrain(0, Train("good", 4));
  const Yard before = game->yard;
  f.msg.shown.clear();

  game->ChangeTrain(1, dir / "missing.trd");
  game->ChangeTrain(1, dir.Write("empty.trd", "Empty\nsound\n; no cars\n"));
  game->ChangeTrain(1, Train("long", 18));  // 3 units + 18 cars do not fit a siding
  game->ChangeTrain(1, "");  // no train file to choose from: where none was found is named
  EXPECT_THAT(f.msg.Texts(), ElementsAre(HasSubstr("<10110>"), "<5220>", "None cars in TRD",
                                         "<5760>\r\n<5230> : 3\r\n<5240> : 18",
                                         "<10110>\r\nFolder= " + game->TrainFolders().front(), "<5220>"));
  EXPECT_EQ(game->TRD.TrainComment, "good");
  EXPECT_EQ(game->TRD.CarCount(), 4);
  EXPECT_EQ(game->Loco.LocoSetIndex(), 0);
  EXPECT_EQ(game->yard, before);

  game->ChangeTrain(0, Train("seventeen", 17));  // one unit and 17 cars still fit
  EXPECT_EQ(game->TrainCars, 17);
}

// The automatic choice in the middle of a game: No to "stop this game?", a set that cannot pull
// the train, a train file that cannot be read. None of them may change the running game.
TEST_F(ChoiceTest, AutomaticChoiceThatDoesNotGoThroughChangesNothing) {
  game->ChangeTrain(0, Train("long", 18));  // 18 cars fit behind one unit, not behind three
  dir.Write("broken.trd", "");
  game->mnuGameReDisMakeUp_Click();
  std::set<std::string> outcomes;
  for (std::uint64_t seed = 1; seed <= 40; ++seed) {
    game->lib().Seed(seed);
    const Yard before = game->yard;
    const std::string label = f.controls.Text("lblMsg");
    f.msg.shown.clear();
    f.msg.answers = {seed % 4 == 0 ? MsgAnswer::No : MsgAnswer::Yes};
    game->mnuGameChangeTrainAuto_Click();
    const auto texts = f.msg.Texts();
    if (game->TrainChanged) {  // it went through: start a game with it again
      outcomes.insert("loaded");
      game->mnuGameReDisMakeUp_Click();
      continue;
    }
    EXPECT_EQ(game->yard, before) << "seed " << seed;
    outcomes.insert(texts.empty() ? "?" : texts.back());
    EXPECT_EQ(game->Loco.LocoSetIndex(), 0) << "seed " << seed;
    EXPECT_EQ(game->Loco.CarCount(), game->LocoUnits) << "seed " << seed;
    EXPECT_EQ(game->TRD.TrainComment, "long");
    EXPECT_EQ(f.controls.Text("lblMsg"), label);
  }
  EXPECT_THAT(outcomes, ::testing::IsSupersetOf({std::string("loaded"), std::string("<5210>"),
                                                 std::string("<5220>"), std::string("<5760>\r\n<5230> : 3\r\n<5240> : 18")}));
}

TEST_F(ChoiceTest, RandomChoiceTakesOnlyLowerCaseTrdListingTakesEveryAndAMissingFolderIsReported) {
  Train("a", 3);
  dir.Write("b.TRD", "b\ns\ncar.bmp\n");
  dir.Write("c.txt", "x");
  for (int i = 0; i < 50; ++i) EXPECT_EQ(GetFileName(game->GetTrainRandom()), "a.trd");
  std::vector<std::string> names;
  for (const auto& e : game->ListTrainFiles()) names.push_back(e.comment);
  EXPECT_THAT(names, ElementsAre("a", "b"));

  f.settings.TrdFolder = dir / "gone";
  EXPECT_EQ(game->GetTrainRandom(), "");
  EXPECT_THAT(f.msg.Texts(), ElementsAre("<5670>\r\n" + (dir / "gone")));
}

TEST_F(ChoiceTest, TheDefaultSetStandsBehindThePlayersFolder) {
  // The fixture's folder is the installed set; the player's own folder starts empty.
  Train("shipped", 3);
  Train("both", 2);
  game->DefaultSetFolder = dir.str();
  TempDir mine;
  f.settings.TrdFolder = mine / "Cars";
  EXPECT_THAT(game->TrainFolders(), ElementsAre(dir.str())) << "a folder not made yet is left out";
  EXPECT_EQ(game->LocoListFolder(), dir.str()) << "no list of the player's own";
  EXPECT_NE(game->GetTrainRandom(), "");
  EXPECT_THAT(f.msg.shown, IsEmpty()) << "no 'folder not found' while the default set is there";

  // A train of the player's, naming a car of its own and one of the default set; and the player's
  // copy of a shipped train, which stands in for it.
  mine.Bitmap("Cars/own.bmp", 64, 16);
  mine.Write("Cars/mine.trd", "mine\nsound\nown.bmp\ncar.bmp\nown.bmp\n");
  mine.Write("Cars/BOTH.trd", "my both\nsound\nown.bmp\n");
  EXPECT_THAT(game->TrainFolders(), ElementsAre(mine / "Cars", dir.str()));
  // A train file that is a link out of the folder is not offered.
  TempDir elsewhere;
  std::filesystem::create_symlink(elsewhere.Write("away.trd", "away\nsound\ncar.bmp\n"), mine / "Cars/away.trd");
  std::vector<std::string> names;
  for (const auto& e : game->ListTrainFiles()) names.push_back(e.comment);
  EXPECT_THAT(names, ElementsAre("my both", "mine", "shipped"));
  std::set<std::string> drawn;
  for (int i = 0; i < 60; ++i) drawn.insert(game->GetTrainRandom());
  EXPECT_EQ(drawn, (std::set<std::string>{mine / "Cars/BOTH.trd", mine / "Cars/mine.trd", dir / "shipped.trd"}))
      << "the shipped 'both' is hidden by the player's";

  game->ChangeTrain(0, mine / "Cars/mine.trd");
  EXPECT_THAT(f.msg.shown, IsEmpty());
  ASSERT_EQ(game->TRD.CarCount(), 3);
  EXPECT_EQ(game->TRD.Cars.FileNameOf(game->TRD.CarIndex(1)), dir / "car.bmp");
  EXPECT_EQ(game->TRD.Cars.FileNameOf(game->TRD.CarIndex(0)), mine / "Cars/own.bmp");

  // A car found nowhere is reported under the name the file asked for.
  mine.Write("Cars/broken.trd", "broken\nsound\nown.bmp\nnowhere.bmp\n");
  game->ChangeTrain(0, mine / "Cars/broken.trd");
  EXPECT_THAT(f.msg.Texts(), Contains(HasSubstr("CAR= " + (mine / "Cars/nowhere.bmp"))));

  // The player's own list wins once there is one, and its cars are found in the default set too.
  mine.Write("Cars/loco.lst", "[Loco]\nNum=1\n[0]\nName=Mine\nImage=d.bmp\nImage1=own.bmp\n");
  EXPECT_EQ(game->LocoListFolder(), mine / "Cars");
  game->Loco.Refresh();
  game->LoadLocoList();
  ASSERT_EQ(game->Loco.LocoSetCount(), 1);
  game->Loco.LocoSetIndex(0);
  EXPECT_EQ(game->Loco.CarCount(), 2);
}

TEST_F(ChoiceTest, PictureListKeepsBellowsAndScalesToTheView) {
  game->ViewHeight = 64;
  game->ChangeTrain(1, Train("coaches", 5, true));  // 5 coaches, 4 bellows
  EXPECT_EQ(game->TrainCars, 5);
  EXPECT_EQ(game->Pelm.CarCount(), 3 + 9);
  ASSERT_EQ(game->AnimePictures.size(), 12u);
  EXPECT_EQ(GetFileName(game->AnimePictures[1]), "d.bmp");
  EXPECT_EQ(GetFileName(game->AnimePictures[4]), "bellows.bmp");
  EXPECT_EQ(game->gAnimeSrcRect[0].Right, 256);
  EXPECT_EQ(game->gAnimeSrcRect[0].Bottom, 64);
  EXPECT_EQ(game->gAnimeSrcRect[4].Right, 24);
  EXPECT_EQ(game->gAnimeSrcRect[12].Right, 0) << "end marker";

  game->ChangeTrain(0, Train("short", 2));
  EXPECT_EQ(game->Pelm.CarCount(), 3);
  EXPECT_EQ(game->AnimePictures.size(), 3u);
  EXPECT_EQ(game->gAnimeSrcRect[3].Right, 0);
}

// Sizes from headers are whatever a file says: the list stays within bounds and no arithmetic
// overflows on the way (the sanitizer build checks the second).
TEST(PictureListTest, ExtremeHeaderSizes) {
  constexpr std::int32_t kMin = -2147483647 - 1, kMax = 2147483647;
  const std::vector<PictureSize> headers = {{64, 16}, {kMin, 16}, {kMax, 1}, {1, kMin}, {64, -16},
                                            {0, 16},  {5, 0},     {1, 1000}, {kMin, kMin}};
  AnimeRects rects{};
  rects[6] = {0, 0, 77, 77};  // a picture without height keeps what its entry held
  FillPictureList(headers, 386, rects);
  const std::vector<PictureSize> expected = {{1544, 386}, {kMaxPictureSide, 386}, {kMaxPictureSide, 386},
                                             {1, 386},    {1544, 386},            {0, 386},
                                             {77, 77},    {1, 386},               {386, 386}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ((PictureSize{rects[i].Right, rects[i].Bottom}), expected[i]) << "picture " << i;
  }
  EXPECT_EQ(rects[9].Right, 0) << "end marker";
  EXPECT_EQ(CalcTrainLength(rects), 2 * 1544 + 2 * kMaxPictureSide + 1) << "up to the picture of no width";
}

// Every train of the shipped set with every locomotive set loads without a word and stands
// in its correct formation; a quiz of each is solved through a command string to the end, and
// Restart brings it back.
TEST(DefaultTrainSetTest, EveryTrainWithEveryLocomotiveSet) {
  Fakes f;
  f.settings.TrdFolder = KELVARA_CARS_DIR;
  f.settings.QuestionLevel = 10;
  f.settings.OneInput = true;
  Game game(f.ports(), f.settings);
  game.Loco.LoadLst(f.settings.TrdFolder);
  ASSERT_GE(game.Loco.LocoSetCount(), 5);
  std::set<int> unitCounts;
  const auto trains = game.ListTrainFiles();
  ASSERT_GE(trains.size(), 10u);
  for (const auto& train : trains) {
    for (int set = 0; set < game.Loco.LocoSetCount(); ++set) {
      game.ChangeTrain(set, train.path);
      ASSERT_THAT(f.msg.shown, IsEmpty()) << train.path << " with set " << set;
      const int m = game.LocoUnits, n = game.TrainCars;
      unitCounts.insert(m);
      EXPECT_GE(n, 3);
      EXPECT_LE(n, 16);
      EXPECT_LE(m + n, 20);
      EXPECT_FALSE(game.TRD.TrainComment.empty());
    }
    game.lib().Seed(train.path.size());
    game.mnuGameNewGame_Click();
    const Yard quiz = game.StartYard;
    const auto solved = SolveOneInput(game.yard, game.LocoUnits, game.TrainCars);
    ASSERT_TRUE(solved.has_value()) << train.path;
    game.RunOneInput(*solved);
    EXPECT_THAT(f.msg.shown, IsEmpty()) << train.path << ": " << *solved;
    EXPECT_TRUE(game.ChkGameEnd()) << train.path << ": " << *solved;
    game.mnuGameRestart_Click();
    EXPECT_EQ(game.yard, quiz) << "Restart after completion brings the same quiz back";
    game.RunOneInput(*solved);
    EXPECT_TRUE(game.ChkGameEnd()) << "and the same string solves it again";
  }
  EXPECT_EQ(unitCounts, (std::set<int>{1, 2, 3, 4}));
}

}  // namespace
}  // namespace kelvara::testing
