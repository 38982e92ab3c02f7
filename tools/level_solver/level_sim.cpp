#include "level_sim.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#include "base/game_paths.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "framework/present_frame.h"
#include "frontend/main_program.h"
#include "game/game_session.h"
#include "game/game_state.h"
#include "game/level_files.h"
#include "platform/display.h"
#include "platform/draw_driver.h"
#include "platform/draw_state.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "platform/random.h"
#include "ui/controls.h"
#include "ui/draw_helpers.h"
#include "ui/messages.h"

namespace fs = std::filesystem;

namespace {

// Takes every drawing call and does nothing with it: the solver needs the rules, not pictures.
class TNullDriver : public TDrawDriver {
 public:
  std::string Name() const override { return "null"; }
  TImageFramePtr CreateFrameFromPixmap(const TPixmap& p, int) override { return Frame(p.width, p.height); }
  TImageFramePtr CreateSubFrame(const TImageFramePtr&, int, int, int w, int h) override { return Frame(w, h); }
  void UpdateFrame(TImageFrame&, int, int, const TPixmap&) override {}
  void SetBlend(int) override {}
  void SetAlpha(float) override {}
  void SetColor(int, int, int) override {}
  void SetClsColor(int, int, int) override {}
  void SetViewport(int, int, int, int) override {}
  void SetTransform(float, float, float, float) override {}
  void SetLineWidth(float) override {}
  void Cls() override {}
  void Plot(float, float) override {}
  void DrawLine(float, float, float, float, float, float) override {}
  void DrawRect(float, float, float, float, float, float) override {}
  void DrawOval(float, float, float, float, float, float) override {}
  void DrawPoly(const std::vector<float>&, float, float) override {}
  void DrawPixmap(const TPixmap&, int, int) override {}
  void DrawFrame(const TImageFrame&, float, float, float, float, float, float) override {}
  void BeginText(const std::shared_ptr<TFont>&, const std::string&, float, float) override {}
  void EndText() override {}
  TPixmapPtr GrabPixmap(int, int, int, int) override { return nullptr; }
  void SetResolution(float, float) override {}
  std::vector<TGraphicsMode> GraphicsModes() override { return {{800, 600, 0, 0}}; }
  bool CreateGraphics(int, int, int, int, int) override { return open_ = true; }
  void CloseGraphics() override { open_ = false; }
  bool GraphicsOpen() const override { return open_; }
  void Flip(int) override {}
  void MovePointer(int, int) override {}
  void ShowPointer(bool) override {}

 private:
  static TImageFramePtr Frame(int w, int h) {
    auto frame = std::make_shared<TImageFrame>();
    frame->width = w;
    frame->height = h;
    return frame;
  }
  bool open_ = false;
};

void SendKey(int key, bool down) { PostEvent({down ? EVENT_KEYDOWN : EVENT_KEYUP, key, 0, 0}); }

// The frame-skip flag of a slow machine: sprites cost a check and nothing more.
void SkipSprites() {
  Settings[SET_SLOW_SYSTEM] = 1;
  FrameSkipped = 1;
}

}  // namespace

TLevelSim::TLevelSim(const std::string& levelFile) {
  char pattern[] = "/tmp/lambrisk-solver-XXXXXX";
  if (!mkdtemp(pattern)) throw std::runtime_error("cannot make a folder for the work file");
  root_ = pattern;
  fs::create_directories(fs::path(root_) / "Levels");
  fs::copy_file(levelFile, fs::path(root_) / "Levels" / "WIP.txt");

  SetDrawDriver(std::make_shared<TNullDriver>());
  ResetMainProgram();
  SetDefaultSettings();
  SetDefaultControls();
  ResetInput();
  ResetDrawHelpers();
  ResetDrawState();
  ResetGameState();
  NoteGamePaths(root_ + "/");
  // A normal game whose every world is already reached, so no frame writes the saved world.
  GameMode = 1;
  StartWorldLimit = 20;
  WorkFileName = "WIP";
}

TLevelSim::~TLevelSim() {
  std::error_code ignored;
  fs::remove_all(root_, ignored);
  SetDrawDriver(nullptr);
}

void TLevelSim::StartLevel(int level) {
  LevelNumber = level;
  LoadLevel(WorkFileName, level);
  Lives = 3;
  GameScore = 0;
  CompleteTimer = 0;
  WalkLatch = true;
  JumpLatch = false;
  ReloadFlag = EditedFlag = false;
  EndReason = END_RUNNING;
  MessageList.clear();
}

std::string TLevelSim::Text() const { return LevelText.substr(0, 101); }

void TLevelSim::Step(unsigned input) {
  // Only the changes go through the event queue, as a keyboard sends them.
  if ((input ^ held_) & INPUT_LEFT) SendKey(VK_LEFT, (input & INPUT_LEFT) != 0);
  if ((input ^ held_) & INPUT_UP) SendKey(VK_UP, (input & INPUT_UP) != 0);
  held_ = input;
  PollSystem();
  SkipSprites();
  SimulateFrame();
  // Level-end messages pile up otherwise; nothing here ages them.
  MessageList.clear();
}

TSimState TLevelSim::Save() const {
  return {LevelNumber, GameScore, Lives, Bonus, CompleteTimer, EndReason, FrameTimer,
          WalkLatch, JumpLatch, ReloadFlag, SheepX, SheepY, JumpPhase, JumpStep,
          WalkFrame, DeathTimer, RndState(), LevelColumns};
}

void TLevelSim::Restore(const TSimState& s) {
  LevelNumber = s.levelNumber;
  GameScore = s.gameScore;
  Lives = s.lives;
  Bonus = s.bonus;
  CompleteTimer = s.completeTimer;
  EndReason = s.endReason;
  FrameTimer = s.frameTimer;
  WalkLatch = s.walkLatch;
  JumpLatch = s.jumpLatch;
  ReloadFlag = s.reloadFlag;
  SheepX = s.sheepX;
  SheepY = s.sheepY;
  JumpPhase = s.jumpPhase;
  JumpStep = s.jumpStep;
  WalkFrame = s.walkFrame;
  DeathTimer = s.deathTimer;
  SeedRnd(s.rnd);
  LevelColumns = s.columns;
}

unsigned long long TLevelSim::Key(const TSimState& s) {
  unsigned long long h = 1469598103934665603ull;
  auto mix = [&h](unsigned long long v) {
    h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
    h *= 1099511628211ull;
  };
  unsigned bits = 0;
  std::memcpy(&bits, &s.sheepX, sizeof bits);
  mix(bits);
  std::memcpy(&bits, &s.jumpPhase, sizeof bits);
  mix(bits);
  mix((s.walkLatch ? 1u : 0u) | (s.jumpLatch ? 2u : 0u) | unsigned(s.deathTimer) << 2);
  mix(unsigned(s.completeTimer) | unsigned(s.bonus) << 8);
  for (const TLevelColumn& col : s.columns)
    for (int v : col) mix(unsigned(v));
  return h;
}
