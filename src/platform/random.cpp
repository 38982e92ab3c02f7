// Multiplicative congruential generator, multiplier 48271 modulo 2^31 - 1, stepped with Schrage's
// method so no intermediate overflows 32 bits.
#include "platform/random.h"

namespace {

const int kStartState = 4660;
int state = kStartState;

int Step() {
  const int m = 2147483647, a = 48271, q = 44488, r = 3399;
  int hi = state / q;
  int lo = state % q;
  int next = a * lo - r * hi;
  if (next < 0) next += m;
  state = next;
  return state;
}

}  // namespace

void SeedRnd(int seed) {
  int low = int(unsigned(seed) & 0x7fffffffu);
  state = (low == 0 || low == 0x7fffffff) ? kStartState : low;
}

double RndDouble() {
  int b = Step();
  int d = Step();
  return ((b & 0x1FFFFFFC) + (d & 0x1FFFFFF8) / 134217728.0) / 536870912.0;
}

int Rand(int lo, int hi) {
  if (lo > hi) { int t = lo; lo = hi; hi = t; }
  return lo + int(RndDouble() * (double(hi) - lo + 1));
}

double Rnd(double a, double b) {
  if (a > b) { double t = a; a = b; b = t; }
  return a + RndDouble() * (b - a);
}

int RndState() { return state; }
