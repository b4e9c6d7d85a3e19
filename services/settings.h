// The settings record, one field per INI key, read directly by every part of the game.
#pragma once

#include <optional>
#include <string>

namespace kelvara {

struct AppSettings {
  std::string TrdFolder;
  int QuestionLevel = 5;
  bool CarNumGuide = false;
  bool LookCarNumber = false;
  bool CarNumOnMouse = false;
  bool ReplaceAnimate = false;
  bool DisMakeUpDraw = false;
  bool DisMakeUpDrawAnimate = false;
  bool CompleteRunMainLine = false;
  bool CompleteBigAnimaite = false;
  bool MakeLog = false;
  bool OneInput = false;
  bool GameSound = false;
  bool SuccessSound = false;
  // What the player chose for the two sounds, while a failing sound device has switched them off
  // for this run only: a save writes the choice, never the failure.
  struct Sounds {
    bool game, success;
  };
  std::optional<Sounds> SoundChosen;
  // The fewest moves from the position on the screen after each move, beside the quiz's own.
  bool ParFromHere = false;
  // How quizzes are chosen: 0 by the level (QuestionLevel), 1 to 4 by the band of their fewest
  // moves (easy, medium, hard, expert).
  int Difficulty = 0;
  // The window's size, 1 to 3 pixels a pixel of the yard; 0 until the first start has chosen one.
  int Zoom = 0;
};

}  // namespace kelvara
