// Builds PNG files byte by byte (any colour type and bit depth, optional palette and
// transparency, optional damage), so the loader can be tested on inputs our own encoder never
// writes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct TPngLayout {
  uint32_t width = 1;
  uint32_t height = 1;
  int bit_depth = 8;
  int colour_type = 2;                  // 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
  std::vector<uint8_t> palette;         // RGB triples (colour type 3)
  std::vector<uint8_t> transparency;    // tRNS chunk contents, empty for none
  std::vector<uint8_t> raw_rows;        // unfiltered samples, row after row (no filter bytes)
};

// The whole file.
std::vector<uint8_t> BuildPng(const TPngLayout& layout);
// Only the signature and a header claiming the given size (no image data).
std::vector<uint8_t> BuildPngHeaderOnly(uint32_t width, uint32_t height);
