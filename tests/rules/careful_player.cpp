#include "careful_player.h"

#include <fstream>
#include <sstream>
#include <string>

#include "rules/replay.h"
#include "rules/state_hash.h"

namespace {

void Frame(TRulesState& s, const TLevelSet& levels, const TFrameInput& input, TFrameEvents& events, TPlayedGame& game) {
  ReplayFrame(s, levels, input, events);
  if (events.levelDone || events.gameEnded) game.levelEnds.push_back(StateHash(s));
}

// Whether holding input for frames frames from s is survived.
bool Survives(TRulesState s, const TLevelSet& levels, const TFrameInput& input, int frames) {
  TFrameEvents events;
  events.wantPicture = false;
  for (int i = 0; i < frames && s.EndReason == END_RUNNING; ++i) {
    ReplayFrame(s, levels, input, events);
    if (s.DeathTimer > 0) return false;
  }
  return true;
}

}  // namespace

TLevelSet BuiltInLevels() {
  std::ifstream in(std::string(LAMBRISK_SOURCE_DIR) + "/data/levels/Lambrisk.txt", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return LevelSetOf(SplitLevelLines(bytes.str()));
}

TPlayedGame PlayCarefully(const TLevelSet& levels, int frames) {
  TPlayedGame game;
  TRulesState& s = game.end;
  StartGame(s, 1, 1, 20, levels.Text(1));
  TFrameEvents events;
  events.wantPicture = false;
  TFrameInput input;
  int onLevel = 0, level = s.LevelNumber;
  for (int frame = 0; frame < frames && s.EndReason == END_RUNNING; ++frame) {
    if (s.LevelNumber != level) level = s.LevelNumber, onLevel = 0;
    if (frame % 3 == 0) {
      // A level's first try walks on blindly where its number is a multiple of 4: deaths too.
      const bool blind = level % 4 == 0 && s.Lives >= 3;
      const TFrameInput choices[] = {{true, false, false, false}, {false, false, false, false},
                                     {true, true, false, false}, {false, true, false, false}};
      input = choices[0];
      for (const TFrameInput& c : choices)
        if (blind || Survives(s, levels, c, 12)) {
          input = c;
          break;
        }
      // A level that takes too long is skipped.
      input.skip = ++onLevel > 300;
    }
    TFrameInput now = input;
    now.pauseEnded = frame % 700 == 699;
    game.inputs.push_back(now);
    Frame(s, levels, now, events, game);
  }
  return game;
}

TPlayedGame Replay(const TLevelSet& levels, const std::vector<TFrameInput>& inputs) {
  TPlayedGame game;
  StartGame(game.end, 1, 1, 20, levels.Text(1));
  TFrameEvents events;
  for (const TFrameInput& input : inputs) {
    game.inputs.push_back(input);
    Frame(game.end, levels, input, events, game);
  }
  return game;
}
