// The game's random generator as a value: a multiplicative congruential generator (multiplier
// 48271 modulo 2^31 - 1), so the same seed always gives the same draws. The rules keep one in
// their state, so a copy of the state draws on exactly as the original would.
#pragma once

class TRandom {
 public:
  // The seed is taken modulo 2^31; one whose low 31 bits are all zeros or all ones becomes 4660
  // (the start state).
  void Seed(int seed);
  // A double in [0, 1).
  double Double();
  // A whole number in [lo, hi], arguments in either order.
  int Int(int lo, int hi);
  // A number in [a, b), arguments in either order.
  double Real(double a, double b);
  int State() const { return state_; }

 private:
  static constexpr int kStartState = 4660;
  int Step();
  int state_ = kStartState;
};
