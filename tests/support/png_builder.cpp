// The PNG builder: chunks with their CRCs, the samples deflated through zlib.
#include "support/png_builder.h"

#include <zlib.h>

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  Put32(out, uint32_t(data.size()));
  std::vector<uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  Put32(out, uint32_t(crc32(0, body.data(), uInt(body.size()))));
}

std::vector<uint8_t> Header(uint32_t w, uint32_t h, int depth, int colour) {
  std::vector<uint8_t> ihdr;
  Put32(ihdr, w);
  Put32(ihdr, h);
  ihdr.push_back(uint8_t(depth));
  ihdr.push_back(uint8_t(colour));
  ihdr.push_back(0);
  ihdr.push_back(0);
  ihdr.push_back(0);
  return ihdr;
}

const uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

}  // namespace

std::vector<uint8_t> BuildPng(const TPngLayout& layout) {
  const int channels = layout.colour_type == 2 ? 3 : layout.colour_type == 4 ? 2 : layout.colour_type == 6 ? 4 : 1;
  const size_t row_bytes = (size_t(layout.width) * channels * layout.bit_depth + 7) / 8;
  std::vector<uint8_t> filtered;
  for (uint32_t y = 0; y < layout.height; ++y) {
    filtered.push_back(0);
    const size_t at = y * row_bytes;
    for (size_t i = 0; i < row_bytes; ++i)
      filtered.push_back(at + i < layout.raw_rows.size() ? layout.raw_rows[at + i] : 0);
  }
  uLongf packed_size = compressBound(uLong(filtered.size()));
  std::vector<uint8_t> packed(packed_size);
  compress(packed.data(), &packed_size, filtered.data(), uLong(filtered.size()));
  packed.resize(packed_size);

  std::vector<uint8_t> out(kSignature, kSignature + 8);
  Chunk(out, "IHDR", Header(layout.width, layout.height, layout.bit_depth, layout.colour_type));
  if (!layout.palette.empty()) Chunk(out, "PLTE", layout.palette);
  if (!layout.transparency.empty()) Chunk(out, "tRNS", layout.transparency);
  Chunk(out, "IDAT", packed);
  Chunk(out, "IEND", {});
  return out;
}

std::vector<uint8_t> BuildPngHeaderOnly(uint32_t width, uint32_t height) {
  std::vector<uint8_t> out(kSignature, kSignature + 8);
  Chunk(out, "IHDR", Header(width, height, 8, 6));
  Chunk(out, "IDAT", std::vector<uint8_t>(64, 0));
  Chunk(out, "IEND", {});
  return out;
}
