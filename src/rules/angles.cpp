#include "rules/angles.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

double SinDegrees(double degrees) { return std::sin(degrees * kPi / 180.0); }

double CosDegrees(double degrees) { return std::cos(degrees * kPi / 180.0); }

float SinDegreesF(float degrees) { return std::sin(degrees * 3.14159265f / 180.0f); }
