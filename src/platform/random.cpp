// The program's one generator for what is not the game's rules (the pause menu's scatter, music
// picks, the editor's generators); the rules draw from their own, of the same kind.
#include "platform/random.h"

#include "rules/random_generator.h"

namespace {

TRandom generator;

}  // namespace

void SeedRnd(int seed) { generator.Seed(seed); }

double RndDouble() { return generator.Double(); }

int Rand(int lo, int hi) { return generator.Int(lo, hi); }

double Rnd(double a, double b) { return generator.Real(a, b); }

int RndState() { return generator.State(); }
