#include "scores/finished_game.h"

#include <memory>

#include "base/program_state.h"
#include "game/game_session.h"
#include "game/game_state.h"
#include "scores/name_entry.h"
#include "scores/replay_files.h"
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
  record->GameFlags = GameFlags;
  record->Quit = endReason == END_QUIT ? 1 : 0;
  LocalScores.push_back(record);
  SortScores(LocalScores);
  // Saved before the name is asked for, so that closing the program at the prompt, a crash or a
  // power cut keeps the game; saved again with the name.
  SaveScores();
  // The replay goes beside its record at once, and again under the name entered, before the
  // save that drops the first one.
  if (const TReplay* replay = FinishedReplay(record->Timestamp, record->Name)) SaveReplay(*record, *replay);
  HoldScoreList(true);
  EnterName();
  HoldScoreList(false);
  record->Name = PlayerName;
  if (const TReplay* replay = FinishedReplay(record->Timestamp, record->Name)) SaveReplay(*record, *replay);
  SaveScores();
}
