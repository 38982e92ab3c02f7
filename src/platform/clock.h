// Milliseconds, sleeping and the date behind a replaceable clock, so that tests can play a loop
// frame by frame without waiting: a manual clock advances only when something sleeps on it, and
// its calendar is whatever the test set.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>

class TClock {
 public:
  virtual ~TClock() = default;
  virtual int64_t NowMs() = 0;         // milliseconds since the clock started
  virtual void SleepMs(int ms) = 0;    // waits (or pretends to) for ms milliseconds
  virtual bool LocalTime(std::tm& out) = 0;  // the local date and time; false when unknown
};

// A clock for tests: time stands still until Sleep or Advance moves it. Its calendar starts at
// the given date and time (6 Dec 2026 14:03:59 unless set) and moves on with it.
class TManualClock : public TClock {
 public:
  int64_t NowMs() override { return now_; }
  void SleepMs(int ms) override { if (ms > 0) now_ += ms; }
  bool LocalTime(std::tm& out) override;
  void Advance(int64_t ms) { now_ += ms; }
  // The calendar reading at the clock's present moment.
  void SetLocalTime(int year, int month, int day, int hour, int minute, int second);
 private:
  int64_t now_ = 0;
  int64_t calendar_at_zero_ = 1796565839;  // seconds, read as UTC: 2026-12-06 14:03:59
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
