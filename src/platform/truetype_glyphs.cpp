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

// The largest line height or glyph side, in pixels, a text font of this size can sensibly have.
int MaxSide(int pixel_size) { return 4 * pixel_size + 16; }

class TTrueTypeGlyphs : public TGlyphSource {
 public:
  TTrueTypeGlyphs(std::shared_ptr<const std::string> bytes, bool smooth) : bytes_(std::move(bytes)), smooth_(smooth) {}
  ~TTrueTypeGlyphs() override {
    if (face_) FT_Done_Face(face_);
  }

  bool Open(int pixel_size) {
    FT_Library lib = Library();
    if (!lib) return false;
    if (!bytes_ || FT_New_Memory_Face(lib, reinterpret_cast<const FT_Byte*>(bytes_->data()), FT_Long(bytes_->size()),
                                      0, &face_) != 0) {
      face_ = nullptr;
      return false;
    }
    if (!FT_IS_SCALABLE(face_) || FT_Set_Pixel_Sizes(face_, 0, FT_UInt(pixel_size)) != 0) return false;
    height_ = RoundUp26(face_->size->metrics.height);
    ascender_ = RoundUp26(face_->size->metrics.ascender);
    // A face reporting nonsense metrics is not usable as a text font.
    max_side_ = MaxSide(pixel_size);
    return height_ > 0 && height_ <= max_side_ && ascender_ >= 0 && ascender_ <= height_ + pixel_size;
  }

  int Height() const override { return height_; }

  TGlyphPicture Render(int character) override {
    TGlyphPicture out;
    const FT_UInt index = FT_Get_Char_Index(face_, FT_ULong(character));
    if (index == 0) return out;
    if (FT_Load_Glyph(face_, index, smooth_ ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO) != 0) return out;
    const FT_GlyphSlot slot = face_->glyph;
    out.present = true;
    out.advance = Round26(slot->advance.x);
    // A glyph far larger than the font's size (a broken or hostile font) keeps its advance but is
    // not rasterised: it would cost megabytes and could never fit on a glyph page.
    if (RoundUp26(slot->metrics.width) > max_side_ || RoundUp26(slot->metrics.height) > max_side_) return out;
    if (FT_Render_Glyph(slot, smooth_ ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0) return out;
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
  std::shared_ptr<const std::string> bytes_;  // the face reads from these for its whole life
  bool smooth_;
  FT_Face face_ = nullptr;
  int height_ = 0;
  int ascender_ = 0;
  int max_side_ = 0;
};

}  // namespace

std::unique_ptr<TGlyphSource> MakeTrueTypeGlyphs(std::shared_ptr<const std::string> bytes, int pixel_size,
                                                 bool smooth) {
  auto source = std::make_unique<TTrueTypeGlyphs>(std::move(bytes), smooth);
  if (!source->Open(pixel_size)) return nullptr;
  return source;
}
