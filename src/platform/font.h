// Fonts: TrueType fonts rasterised through FreeType at a pixel size, glyph by glyph on first use,
// and the built-in bitmap font that a null font stands for. Text is one byte a character
// (Latin-1).
#pragma once
#include <cstddef>
#include <memory>
#include <string>

class TFont;
using TFontPtr = std::shared_ptr<TFont>;

enum { SMOOTHFONT = 4 };  // style bit: filtered, mipmapped glyph images

// Null when the file is missing or not a font the rasteriser accepts, or the size is not 1..1024.
TFontPtr LoadFont(const std::string& path, int pixel_size, int style = SMOOTHFONT);
TFontPtr LoadFontFromMemory(const void* data, size_t size, int pixel_size, int style = SMOOTHFONT);
// The built-in font (ASCII 32..126 and a box for other characters); never null.
TFontPtr DefaultFont();

// Measures with a given font (null = the built-in one): the whole advances summed, and the
// font's height.
int FontTextWidth(const TFontPtr& font, const std::string& text);
int FontTextHeight(const TFontPtr& font);
// The same with the current font.
int TextWidth(const std::string& text);
int TextHeight();

// Draws text with the current font from (x, y) minus the handle, glyph by glyph under the current
// state.
void DrawText(const std::string& text, float x, float y);
