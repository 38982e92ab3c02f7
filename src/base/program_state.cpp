#include "base/program_state.h"

const std::string TitleLine = "#" + std::to_string(WeekNumber) + " : " + GameTitle + " " + Subtitle;

int StartWorldLimit = 1;
int StartWorld = 1;
int GameMode = 1;
int GameFlags = 0;
int GameState = 0;
int GameClockStart = 0;

std::string GameFolder() {
  std::string padded = "000" + std::to_string(WeekNumber);
  return padded.substr(padded.size() - 3) + "/";
}

void ResetProgramState() {
  StartWorldLimit = 1;
  StartWorld = 1;
  GameMode = 1;
  GameFlags = 0;
  GameState = 0;
  GameClockStart = 0;
}
