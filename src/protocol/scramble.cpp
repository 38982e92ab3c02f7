#include "protocol/scramble.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "protocol/text_fields.h"

const std::string HeaderCode = "7QD42HN8";
// Changing it makes every saved score file unreadable, and the score server uses the same.
const std::string KeyPhrase = "Wool on the wind 003";
const std::string ScrambleFailed = "XXX";

namespace {

using TCodes = std::vector<int>;

TCodes CodesOf(const std::string& text) {
  TCodes codes;
  codes.reserve(text.size());
  for (unsigned char c : text) codes.push_back(c);
  return codes;
}

// Positions weighted by 3 i, modulo 4096.
int Checksum(const TCodes& codes) {
  int64_t c = 0;
  for (size_t i = 0; i < codes.size(); ++i) c = (c + int64_t(codes[i]) * int64_t(i + 1) * 3) % 4096;
  return int(c);
}

// Position i counts from 1 and uses key character (i mod m) + 1: the second one first.
int KeyCode(const std::string& key, size_t position) {
  return static_cast<unsigned char>(key[position % key.size()]);
}

void Mask(TCodes& codes, const std::string& key) {
  for (size_t i = 0; i < codes.size(); ++i) codes[i] ^= KeyCode(key, i + 1);
}

TCodes RotateLeft(const TCodes& codes, int64_t by) {
  const size_t n = codes.size();
  if (n == 0) return codes;
  TCodes out(n);
  const size_t r = size_t(by % int64_t(n));
  for (size_t i = 0; i < n; ++i) out[i] = codes[(i + r) % n];
  return out;
}

// Undoing a left rotation by s is a left rotation by L - s.
TCodes Unrotate(const TCodes& codes, int64_t s) {
  const int64_t n = int64_t(codes.size());
  return n == 0 ? codes : RotateLeft(codes, n - s % n);
}

void AppendSixDigits(TCodes& codes, int value) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%06d", value % 1000000);
  for (const char* p = digits; *p; ++p) codes.push_back(*p);
}

// Takes the last six codes off and reads them as a decimal number (blanks skipped, digits up to
// the first other character).
int64_t TakeSixDigits(TCodes& codes) {
  const size_t take = codes.size() < 6 ? codes.size() : 6;
  TCodes tail(codes.end() - long(take), codes.end());
  codes.resize(codes.size() - take);
  size_t i = 0;
  while (i < tail.size() && tail[i] == ' ') ++i;
  if (i < tail.size() && (tail[i] == '-' || tail[i] == '+')) ++i;
  int64_t value = 0;
  for (; i < tail.size() && tail[i] >= '0' && tail[i] <= '9'; ++i) value = value * 10 + (tail[i] - '0');
  return value;
}

}  // namespace

std::string DeriveScrambleKey(const std::string& a, const std::string& b, int w) {
  std::string key;
  if (a.empty() || b.empty()) return key;
  for (int i = 1; i <= int(a.size() + b.size()); ++i) {
    int ca = static_cast<unsigned char>(a[size_t(i) % a.size()]);
    ca = ((ca + w + 7 * i) % 76) + 32;
    ca = ((ca + w + 5 * i) % 75) + 31;
    key += char(ca);
    int cb = static_cast<unsigned char>(b[size_t(i) % b.size()]);
    cb = ((cb + w + 3 * i) % 74) + 34;
    cb = ((cb + w + 11 * i) % 71) + 36;
    key += char(cb);
  }
  return key;
}

std::string ScrambleText(const std::string& text, const std::string& key) {
  if (key.empty()) return "";
  const TCodes plain = CodesOf(text);
  const int c1 = Checksum(plain);
  TCodes v = RotateLeft(plain, c1);
  AppendSixDigits(v, c1);
  Mask(v, key);
  const int c2 = Checksum(v);
  TCodes x = RotateLeft(v, c2);
  AppendSixDigits(x, c2);
  std::string out;
  out.reserve(x.size() * 2);
  for (size_t i = 0; i < x.size(); ++i) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%02X", (x[i] ^ KeyCode(key, i + 1)) & 0xFF);
    out += hex;
  }
  return out;
}

std::string UnscrambleText(const std::string& text, const std::string& key) {
  if (key.empty()) return ScrambleFailed;
  TCodes x;
  x.reserve(text.size() / 2);
  for (size_t i = 1; i <= text.size() / 2; ++i)
    x.push_back(HexToInt(text.substr(2 * i - 2, 2)) ^ KeyCode(key, i));
  const int64_t d = TakeSixDigits(x);
  TCodes y = Unrotate(x, d);
  if (Checksum(y) != d) return ScrambleFailed;
  Mask(y, key);
  const int64_t e = TakeSixDigits(y);
  const TCodes z = Unrotate(y, e);
  if (Checksum(z) != e) return ScrambleFailed;
  std::string out;
  out.reserve(z.size());
  for (int c : z) out += char(c);
  return out;
}
