// The game whose scores the protocol carries. Its week in the series is in every request's path
// and query (and names the game's folder); its title and the week key the scrambling, so a file or
// request of another game, or another week, reads as damaged. The program shows them too.
#pragma once
#include <string>

extern const int WeekNumber;  // 3: names the game folder "003/" and the requests' week
// Inline, so that they are made before any text built from them at start-up (the title line).
inline const std::string GameTitle = "Lambrisk";
inline const std::string Subtitle = "";

// ScrambleKey as this game derives it: from GameTitle, Subtitle, KeyPhrase and WeekNumber.
std::string GameScrambleKey();
