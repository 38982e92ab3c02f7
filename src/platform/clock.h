// Milliseconds and sleeping behind a replaceable clock, so that tests can play a loop frame by
// frame without waiting: a manual clock advances only when something sleeps on it.
#pragma once
#include <cstdint>
#include <string>

class TClock {
 public:
  virtual ~TClock() = default;
  virtual int64_t NowMs() = 0;         // milliseconds since the clock started
  virtual void SleepMs(int ms) = 0;    // waits (or pretends to) for ms milliseconds
};

// A clock for tests: time stands still until Sleep or Advance moves it.
class TManualClock : public TClock {
 public:
  int64_t NowMs() override { return now_; }
  void SleepMs(int ms) override { if (ms > 0) now_ += ms; }
  void Advance(int64_t ms) { now_ += ms; }
 private:
  int64_t now_ = 0;
};

// Milliseconds since program start, from the current clock. Every timer of the game reads this.
int Millisecs();
// Sleeps on the current clock.
void Delay(int ms);
// Replaces the clock (tests install a TManualClock); nullptr restores the real clock.
void SetClock(TClock* clock);

// The current date as "%d %b %Y" and time as "%H:%M:%S", in English whatever the locale.
std::string CurrentDate();
std::string CurrentTime();
