// TrueType glyphs through FreeType: one face per font at a fixed pixel size, each glyph rendered
// (anti-aliased or monochrome) into a white picture whose alpha is the coverage.
#include <ft2build.h>
#include FT_FREETYPE_H

#include "platform/font_glyphs.h"

namespace {

FT_Library Library() {
  static FT_Library library = nullptr;
  static bool tried = false;
  if (!tried) {
    tried = true;
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
  }
  return library;
}

int RoundUp26(FT_Pos v) { return int((v + 63) >> 6); }
int Round26(FT_Pos v) { return int((v + 32) >> 6); }

class TTrueTypeGlyphs : public TGlyphSource {
 public:
  TTrueTypeGlyphs(std::string bytes, bool smooth) : bytes_(std::move(bytes)), smooth_(smooth) {}
  ~TTrueTypeGlyphs() override {
    if (face_) FT_Done_Face(face_);
  }

  bool Open(int pixel_size) {
    FT_Library lib = Library();
    if (!lib) return false;
    if (FT_New_Memory_Face(lib, reinterpret_cast<const FT_Byte*>(bytes_.data()), FT_Long(bytes_.size()), 0,
                           &face_) != 0) {
      face_ = nullptr;
      return false;
    }
    if (!FT_IS_SCALABLE(face_) || FT_Set_Pixel_Sizes(face_, 0, FT_UInt(pixel_size)) != 0) return false;
    height_ = RoundUp26(face_->size->metrics.height);
    ascender_ = RoundUp26(face_->size->metrics.ascender);
    // A face reporting nonsense metrics is not usable as a text font.
    return height_ > 0 && height_ <= 4 * pixel_size + 16 && ascender_ >= 0 && ascender_ <= height_ + pixel_size;
  }

  int Height() const override { return height_; }

  TGlyphPicture Render(int character) override {
    TGlyphPicture out;
    const FT_UInt index = FT_Get_Char_Index(face_, FT_ULong(character));
    if (index == 0) return out;
    const FT_Int32 load = FT_LOAD_RENDER | (smooth_ ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
    if (FT_Load_Glyph(face_, index, load) != 0) return out;
    const FT_GlyphSlot slot = face_->glyph;
    out.present = true;
    out.advance = Round26(slot->advance.x);
    out.left = slot->bitmap_left;
    out.top = ascender_ - slot->bitmap_top;
    const FT_Bitmap& bm = slot->bitmap;
    const int w = int(bm.width);
    const int h = int(bm.rows);
    if (w < 1 || h < 1 || !bm.buffer) return out;
    out.picture = CreatePixmap(w, h, 0x00ffffffu, true);
    if (!out.picture) return out;
    for (int y = 0; y < h; ++y) {
      const unsigned char* row = bm.buffer + (bm.pitch >= 0 ? y * bm.pitch : (y - h + 1) * bm.pitch);
      for (int x = 0; x < w; ++x) {
        unsigned coverage = 0;
        if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
          coverage = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
          coverage = bm.num_grays > 1 ? row[x] * 255u / unsigned(bm.num_grays - 1) : row[x];
        WritePixel(*out.picture, x, y, coverage << 24 | 0xffffffu);
      }
    }
    return out;
  }

 private:
  std::string bytes_;  // the face reads from these for its whole life
  bool smooth_;
  FT_Face face_ = nullptr;
  int height_ = 0;
  int ascender_ = 0;
};

}  // namespace

std::unique_ptr<TGlyphSource> MakeTrueTypeGlyphs(std::string bytes, int pixel_size, bool smooth) {
  auto source = std::make_unique<TTrueTypeGlyphs>(std::move(bytes), smooth);
  if (!source->Open(pixel_size)) return nullptr;
  return source;
}
