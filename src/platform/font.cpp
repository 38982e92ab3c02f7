// Fonts as the drawing layer uses them: glyphs rendered on first use by the font's source (FreeType
// or the built-in bitmaps), packed into a few texture pages per font so a line of text draws as one
// run, and measured with whole advances.
#include "platform/font.h"

#include <algorithm>
#include <array>
#include <map>
#include <vector>

#include "platform/display.h"
#include "platform/draw_state.h"
#include "platform/files.h"
#include "platform/font_glyphs.h"
#include "platform/platform_log.h"

class TFont {
 public:
  TFont(std::unique_ptr<TGlyphSource> source, bool smooth) : source_(std::move(source)), smooth_(smooth) {}

  int Height() const { return source_->Height(); }

  int Advance(unsigned char ch) {
    const TGlyph& g = Glyph(ch);
    return g.picture.present ? g.picture.advance : 0;
  }

  // Draws one glyph with the pen at (pen_x, pen_y) in text space; returns the advance.
  int DrawGlyph(unsigned char ch, float pen_x, float pen_y, float tx, float ty) {
    TGlyph& g = Glyph(ch);
    if (!g.picture.present) return 0;
    if (g.picture.picture) {
      const TImageFramePtr& frame = Frame(g);
      if (frame) {
        const float x0 = pen_x + float(g.picture.left);
        const float y0 = pen_y + float(g.picture.top);
        CurrentDrawDriver().DrawFrame(*frame, x0, y0, x0 + float(g.picture.picture->width),
                                      y0 + float(g.picture.picture->height), tx, ty);
      }
    }
    return g.picture.advance;
  }

 private:
  struct TGlyph {
    bool rendered = false;
    TGlyphPicture picture;
    int page = -1;  // texture page and position, once placed
    int px = 0;
    int py = 0;
    TImageFramePtr frame;
  };
  // A page's pixels live only in its texture; placed glyphs keep their own pictures, from which a
  // grown page, or a new display's pages, are laid out again in the same order, to the same places.
  // A page is as wide as its side and grows downwards, doubling, up to square as shelves fill: a
  // font's hundred glyphs fill a fraction of the square, and an unfilled texture still costs its
  // whole area (and a third more for the mipmaps). Widths and places stay those of the square, so
  // a glyph samples the same texels either way.
  struct TPage {
    TImageFramePtr frame;
    int height = 0;
    int shelf_x = 0;
    int shelf_y = 0;
    int shelf_h = 0;
  };

  TGlyph& Glyph(unsigned char ch) {
    TGlyph& g = glyphs_[ch];
    if (!g.rendered) {
      g.picture = source_->Render(ch);
      g.rendered = true;
    }
    return g;
  }

  // A page holds about a hundred glyphs, the printable ASCII a screen's texts use; the rare others
  // open another page.
  int PageSide() const {
    int side = 256;
    while (side < 2048 && side < Height() * 10) side *= 2;
    return side;
  }

  int FrameFlags() const { return smooth_ ? (FRAME_FILTERED | FRAME_MIPMAPPED) : 0; }

  // Places a glyph's picture on a page with a clear pixel around it; false when it can't fit.
  bool Place(TGlyph& g) {
    const int w = g.picture.picture->width + 2;
    const int h = g.picture.picture->height + 2;
    const int side = PageSide();
    if (w > side || h > side) return false;
    if (pages_.empty() || !Fits(pages_.back(), w, h, side)) {
      pages_.emplace_back();
      if (!Grow(int(pages_.size()) - 1, std::max(side / 4, h))) {
        pages_.pop_back();
        return false;
      }
    }
    TPage& page = pages_.back();
    if (page.shelf_x + w > side) {
      page.shelf_y += page.shelf_h;
      page.shelf_x = 0;
      page.shelf_h = 0;
    }
    const int bottom = page.shelf_y + h;
    if (bottom > page.height && !Grow(int(pages_.size()) - 1, bottom)) return false;
    g.page = int(pages_.size()) - 1;
    g.px = page.shelf_x + 1;
    g.py = page.shelf_y + 1;
    page.shelf_x += w;
    if (h > page.shelf_h) page.shelf_h = h;
    if (page.frame) CurrentDrawDriver().UpdateFrame(*page.frame, g.px, g.py, *g.picture.picture);
    placed_.push_back(&g);
    return true;
  }

  // Gives page `index` a texture at least `rows` high (the height doubling, up to its side), its
  // glyphs copied to the same places in one upload; their frames are made again on next use.
  bool Grow(int index, int rows) {
    TPage& page = pages_[size_t(index)];
    const int side = PageSide();
    int height = std::max(page.height, 1);
    while (height < rows) height *= 2;
    height = std::min(height, side);
    TPixmapPtr pixels = CreatePixmap(side, height, 0, true);
    if (!pixels) return false;
    for (TGlyph* other : placed_) {
      if (other->page != index) continue;
      const TPixmap& picture = *other->picture.picture;
      for (int y = 0; y < picture.height; ++y)
        std::copy_n(picture.pixels.begin() + ptrdiff_t(y) * picture.width, picture.width,
                    pixels->pixels.begin() + ptrdiff_t(other->py + y) * side + other->px);
      other->frame.reset();
    }
    page.frame = CurrentDrawDriver().CreateFrameFromPixmap(*pixels, FrameFlags());
    page.height = height;
    return true;
  }

  static bool Fits(const TPage& page, int w, int h, int side) {
    if (page.shelf_x + w <= side) return page.shelf_y + std::max(page.shelf_h, h) <= side;
    return page.shelf_y + page.shelf_h + h <= side;
  }

  const TImageFramePtr& Frame(TGlyph& g) {
    TDrawDriver& driver = CurrentDrawDriver();
    if (generation_ != DrawDriverGeneration()) {
      // A new display: the glyphs placed so far go on new pages, in the order they were placed.
      generation_ = DrawDriverGeneration();
      std::vector<TGlyph*> placed;
      placed.swap(placed_);
      pages_.clear();
      for (TGlyph& other : glyphs_) {
        other.frame.reset();
        other.page = -1;
      }
      for (TGlyph* other : placed) Place(*other);
    }
    if (g.page < 0 && !Place(g)) return g.frame;
    if (!g.frame && g.page >= 0) {
      const TImageFramePtr& page = pages_[size_t(g.page)].frame;
      if (page)
        g.frame = driver.CreateSubFrame(page, g.px, g.py, g.picture.picture->width, g.picture.picture->height);
    }
    return g.frame;
  }

  std::unique_ptr<TGlyphSource> source_;
  bool smooth_;
  std::array<TGlyph, 256> glyphs_{};
  std::vector<TPage> pages_;
  std::vector<TGlyph*> placed_;  // in the order they were placed
  int generation_ = -1;
};

namespace {

// Even the largest font families stay well below this.
constexpr size_t kMaxFontFileBytes = size_t(64) << 20;

TFont& Resolve(const TFontPtr& font) { return font ? *font : *DefaultFont(); }

TFontPtr FontOf(std::shared_ptr<const std::string> bytes, int pixel_size, int style) {
  if (!bytes || bytes->empty() || pixel_size < 1 || pixel_size > 1024) return nullptr;
  const bool smooth = (style & SMOOTHFONT) != 0;
  std::unique_ptr<TGlyphSource> source = MakeTrueTypeGlyphs(std::move(bytes), pixel_size, smooth);
  if (!source) return nullptr;
  return std::make_shared<TFont>(std::move(source), smooth);
}

}  // namespace

TFontPtr LoadFontFromMemory(const void* data, size_t size, int pixel_size, int style) {
  if (!data) return nullptr;
  return FontOf(std::make_shared<const std::string>(static_cast<const char*>(data), size), pixel_size, style);
}

TFontPtr LoadFont(const std::string& path, int pixel_size, int style) {
  // The screens load each family at many sizes: they share one copy of its file while any lives.
  static std::map<std::string, std::weak_ptr<const std::string>> files;
  std::shared_ptr<const std::string> bytes = files[path].lock();
  std::string reason = "not a TrueType font at " + std::to_string(pixel_size) + " pixels";
  if (!bytes) {
    std::vector<uint8_t> read;
    if (ReadWholeFile(path, read, kMaxFontFileBytes, reason)) {
      bytes = std::make_shared<const std::string>(read.begin(), read.end());
      files[path] = bytes;
      reason = "not a TrueType font at " + std::to_string(pixel_size) + " pixels";
    }
  }
  TFontPtr font = FontOf(bytes, pixel_size, style);
  if (!font) PlatformWarning("Can't load the font " + path + ": " + reason);
  return font;
}

TFontPtr DefaultFont() {
  static const TFontPtr builtin = std::make_shared<TFont>(MakeBuiltinGlyphs(), false);
  return builtin;
}

int FontTextWidth(const TFontPtr& font, const std::string& text) {
  TFont& f = Resolve(font);
  int width = 0;
  for (char c : text) width += f.Advance(static_cast<unsigned char>(c));
  return width;
}

int FontTextHeight(const TFontPtr& font) { return Resolve(font).Height(); }

int TextWidth(const std::string& text) { return FontTextWidth(DrawState().image_font, text); }
int TextHeight() { return FontTextHeight(DrawState().image_font); }

void DrawText(const std::string& text, float x, float y) {
  const TDrawState& s = DrawState();
  TFont& font = Resolve(s.image_font);
  TDrawDriver& driver = CurrentDrawDriver();
  driver.BeginText(s.image_font, text, x, y);
  float pen = -s.handle_x;
  for (char c : text)
    pen += float(font.DrawGlyph(static_cast<unsigned char>(c), pen, -s.handle_y, x + s.origin_x, y + s.origin_y));
  driver.EndText();
}
