// Sine and cosine of angles in degrees, as every rule and every drawing point of the game computes
// them: one definition, in one place, so the same angle gives the same bits wherever it is used.
#pragma once

double SinDegrees(double degrees);
double CosDegrees(double degrees);
// Single precision, as the sheep's height is computed: its end frames depend on it.
float SinDegreesF(float degrees);
