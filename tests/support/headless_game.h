// The whole program's state set up for headless play: the recording draw driver opened at a real
// size, a manual clock, a scripted input source and a recording audio driver, every module back
// at its start values, and a fresh start folder with "Files/003/" as the working directory, as the
// running game has it. The destructor undoes all of it.
#pragma once
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/recording/recording_driver.h"
#include "platform/scripted_input.h"
#include "support/child_process.h"
#include "support/sound_fixtures.h"
#include "support/temp_dir.h"

struct THeadlessOptions {
  int width = 800;   // real display size; the virtual resolution follows its shape
  int height = 600;
  // Copies the staged game data ("Files/Common/", "Files/003/") so the real fonts, images and
  // sounds load; without it both folders are empty.
  bool real_data = false;
  // A driver of the test's own (a subclass that watches or slows the drawing); null for a plain one.
  std::shared_ptr<TRecordingDriver> driver;
};

class THeadlessGame {
 public:
  explicit THeadlessGame(const THeadlessOptions& options = {});
  ~THeadlessGame();
  THeadlessGame(const THeadlessGame&) = delete;
  THeadlessGame& operator=(const THeadlessGame&) = delete;

  TRecordingDriver& driver() { return *driver_; }
  TManualClock& clock() { return clock_; }
  TScriptedInput& script() { return script_; }
  TAudioLog& audio() { return *audio_; }
  // The start folder (the one holding "Files/").
  const std::string& Root() const { return dir_.Path(); }
  // Reads a file by its path below the start folder ("Files/Debug.txt").
  std::string ReadFile(const std::string& path) const;
  // The debug log written so far.
  std::string Log() const { return ReadFile("Files/Debug.txt"); }

  // One screen frame: a cleared frame, then PresentFrame; returns what PresentFrame returned.
  int Frame(int showPointer = 0);

 private:
  TTempDir dir_;
  TManualClock clock_;
  TScriptedInput script_;
  std::shared_ptr<TAudioLog> audio_;
  std::shared_ptr<TRecordingDriver> driver_;
};
