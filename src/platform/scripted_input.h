// A scripted event source for tests and replays: "frame 12: key down 37; frame 200: key up 37".
// Each event is posted once, at the first pump after the display has shown that many frames, or,
// for events keyed on time, once the clock has reached that millisecond (waits that show no frames,
// such as the farewell's, still get their input).
#pragma once
#include <vector>

#include "platform/clock.h"
#include "platform/input.h"

class TScriptedInput : public TEventSource {
 public:
  // Adds an event for the given frame; events are posted in frame order, ties in insertion order.
  TScriptedInput& At(int frame, const TEvent& event) { return Add(Step{frame, -1, event}); }
  // Adds an event for the given time on the clock (Millisecs).
  TScriptedInput& AtTime(int ms, const TEvent& event) { return Add(Step{-1, ms, event}); }

  TScriptedInput& KeyDownAt(int frame, int key) { return At(frame, {EVENT_KEYDOWN, key, 0, 0}); }
  TScriptedInput& KeyUpAt(int frame, int key) { return At(frame, {EVENT_KEYUP, key, 0, 0}); }
  // Down at one frame and up a few frames later: a press the game sees as one hit.
  TScriptedInput& PressAt(int frame, int key, int held_frames = 2) {
    return KeyDownAt(frame, key).KeyUpAt(frame + held_frames, key);
  }
  TScriptedInput& CloseAt(int frame) { return At(frame, {EVENT_APPTERMINATE, 0, 0, 0}); }

  void Pump() override {
    for (Step& s : steps_) {
      if (s.posted) continue;
      if ((s.frame >= 0 && s.frame <= FrameCount()) || (s.ms >= 0 && s.ms <= Millisecs())) {
        PostEvent(s.event);
        s.posted = true;
      }
    }
  }
  bool Finished() const {
    for (const Step& s : steps_)
      if (!s.posted) return false;
    return true;
  }

 private:
  struct Step {
    int frame;  // -1 when keyed on time
    int ms;     // -1 when keyed on frames
    TEvent event;
    bool posted = false;
  };
  TScriptedInput& Add(const Step& step) {
    auto at = steps_.begin();
    while (at != steps_.end() && at->frame <= step.frame && at->ms <= step.ms) ++at;
    steps_.insert(at, step);
    return *this;
  }
  std::vector<Step> steps_;
};
