#include "scores/scramble.h"

#include "protocol/game_identity.h"

std::string ScrambleKey;

void BuildScrambleKey() { ScrambleKey = GameScrambleKey(); }

std::string Scramble(const std::string& text, const std::string& key) {
  return ScrambleText(text, key.empty() ? ScrambleKey : key);
}

std::string Unscramble(const std::string& text, const std::string& key) {
  return UnscrambleText(text, key.empty() ? ScrambleKey : key);
}
