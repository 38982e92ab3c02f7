#include "rules/random_generator.h"

void TRandom::Seed(int seed) {
  const int low = int(unsigned(seed) & 0x7fffffffu);
  state_ = (low == 0 || low == 0x7fffffff) ? kStartState : low;
}

// Schrage's method: no intermediate overflows 32 bits.
int TRandom::Step() {
  const int m = 2147483647, a = 48271, q = 44488, r = 3399;
  const int hi = state_ / q;
  const int lo = state_ % q;
  int next = a * lo - r * hi;
  if (next < 0) next += m;
  state_ = next;
  return state_;
}

double TRandom::Double() {
  const int b = Step();
  const int d = Step();
  return ((b & 0x1FFFFFFC) + (d & 0x1FFFFFF8) / 134217728.0) / 536870912.0;
}

int TRandom::Int(int lo, int hi) {
  if (lo > hi) {
    const int t = lo;
    lo = hi;
    hi = t;
  }
  return lo + int(Double() * (double(hi) - lo + 1));
}

double TRandom::Real(double a, double b) {
  if (a > b) {
    const double t = a;
    a = b;
    b = t;
  }
  return a + Double() * (b - a);
}
