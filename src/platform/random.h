// The program's random generator for what is not the game's rules: the pause menu's scatter, music
// picks and the editor's generators. The same seed always gives the same draws.
#pragma once

// Seeds the generator; the seed is taken modulo 2^31, and one whose low 31 bits are all zeros or
// all ones becomes 4660 (the start state).
void SeedRnd(int seed);
// A double in [0, 1).
double RndDouble();
// A whole number in [lo, hi], arguments in either order.
int Rand(int lo, int hi);
// A number in [a, b), arguments in either order.
double Rnd(double a, double b);
// The generator's state, for tests.
int RndState();
