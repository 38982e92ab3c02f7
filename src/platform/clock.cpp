// The real clock and the date and time texts.
#include "platform/clock.h"

#include <ctime>
#include <cerrno>
#include <cstdio>

namespace {

// Monotonic rather than time of day: a clock set back while the game runs must not freeze the
// frame pacing, which waits for the clock to pass a mark.
class TRealClock : public TClock {
 public:
  TRealClock() : start_(Raw()) {}
  int64_t NowMs() override { return Raw() - start_; }
  void SleepMs(int ms) override {
    if (ms <= 0) return;
    timespec req{ms / 1000, (ms % 1000) * 1000000L};
    timespec rem{};
    while (nanosleep(&req, &rem) != 0 && errno == EINTR) req = rem;
  }
  bool LocalTime(std::tm& out) override {
    const std::time_t t = std::time(nullptr);
    return localtime_r(&t, &out) != nullptr;
  }
 private:
  static int64_t Raw() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
  }
  int64_t start_;
};

TRealClock& RealClock() {
  static TRealClock clock;
  return clock;
}

// Created during static initialisation, so "since program start" means from the process start.
TClock* current_clock = &RealClock();

const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string TwoDigits(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

}  // namespace

// Kept as UTC so a test's calendar reads the same in every time zone.
bool TManualClock::LocalTime(std::tm& out) {
  const std::time_t t = std::time_t(calendar_at_zero_ + now_ / 1000);
  return gmtime_r(&t, &out) != nullptr;
}

void TManualClock::SetLocalTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  calendar_at_zero_ = int64_t(timegm(&tm)) - now_ / 1000;
}

int Millisecs() { return int(current_clock->NowMs()); }

void Delay(int ms) { current_clock->SleepMs(ms); }

void SetClock(TClock* clock) { current_clock = clock ? clock : &RealClock(); }

std::string CurrentDate() {
  std::tm tm{};
  if (!current_clock->LocalTime(tm)) return "";
  return TwoDigits(tm.tm_mday) + " " + kMonths[tm.tm_mon % 12] + " " + std::to_string(tm.tm_year + 1900);
}

std::string CurrentTime() {
  std::tm tm{};
  if (!current_clock->LocalTime(tm)) return "";
  return TwoDigits(tm.tm_hour) + ":" + TwoDigits(tm.tm_min) + ":" + TwoDigits(tm.tm_sec);
}
