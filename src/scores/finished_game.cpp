#include "scores/finished_game.h"

#include <memory>

#include "base/program_state.h"
#include "game/game_state.h"
#include "scores/name_entry.h"
#include "scores/score_file.h"
#include "scores/score_records.h"
#include "scores/score_time.h"

void AddFinishedGame(int endReason) {
  auto record = std::make_shared<TScores>();
  record->Score = Game.GameScore;
  record->Timestamp = MakeTimestamp();
  record->Badges = GameBadges;
  record->Name = PlayerName;
  for (size_t i = 1; i <= 30 && i < BestTable.size(); ++i) record->Best[i] = BestTable[i];
  record->Level = StartWorld;
  record->GameMode = GameMode;
  record->GameFlags = kGameFlags;
  record->Quit = endReason == END_QUIT ? 1 : 0;
  LocalScores.push_back(record);
  SortScores(LocalScores);
  // Saved before the name is asked for, so that closing the program at the prompt, a crash or a
  // power cut keeps the game; saved again with the name.
  SaveScores();
  HoldScoreList(true);
  EnterName();
  HoldScoreList(false);
  record->Name = PlayerName;
  SaveScores();
}
