// Contact sheets for people, not for the game: every image at the scale the game draws it, and a
// mock game screen per world pair, written into the build folder.
#pragma once
#include <string>

#include "art.h"

namespace ag {

struct AllImages {
  Canvas sprites, icons, badges, buttons, frameworkLogo, communityLogo, titleLogo, warn;
  Canvas tops[10], bots[10];
};

bool WritePreviews(const std::string& dir, const AllImages& a, const Fonts& f);

}  // namespace ag
