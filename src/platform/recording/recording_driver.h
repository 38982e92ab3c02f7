// A drawing driver that draws nothing and keeps every call with the state it was made in, so
// tests can ask what was drawn where, in which frame and how, without a window.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "platform/draw_driver.h"
#include "platform/null/null_driver.h"
#include "platform/draw_state.h"
#include "platform/font.h"
#include "platform/image.h"

enum class TDrawKind { Cls, Plot, Line, Rect, Oval, Poly, Pixmap, Image, Glyph, Text, Grab };

struct TDrawRecord {
  TDrawKind kind = TDrawKind::Cls;
  int frame = 0;             // flips done before the call
  float x = 0.0f;            // drawing position as the caller gave it (origin not added)
  float y = 0.0f;
  float x0 = 0.0f;           // shape corners in shape space (handle subtracted, untransformed)
  float y0 = 0.0f;
  float x1 = 0.0f;
  float y1 = 0.0f;
  const TImage* image = nullptr;  // Image: which image and frame
  int image_frame = -1;
  std::string text;          // Text: the whole text; Glyph: the text it belongs to
  TFontPtr font;             // Text and Glyph: the font asked for (null = built-in)
  TDrawState state;          // the whole drawing state at the call
};

// The modes it offers are the null driver's (modes), which tests may change.
class TRecordingDriver : public TNullDriver {
 public:
  std::vector<TDrawRecord> records;    // every draw, in order
  int flips = 0;                       // Flip calls so far
  int last_sync = -2;                  // sync argument of the last Flip
  bool pointer_visible = true;
  int pointer_x = 0;                   // last MovePointer, real pixels
  int pointer_y = 0;
  bool fail_open = false;              // makes CreateGraphics fail (tests of failure paths)
  // Most records kept: past it the oldest half is dropped, so a loop drawing 20000 sprites a frame
  // for hundreds of frames stays in bounds. Count stays exact for every frame regardless.
  size_t record_limit = 250000;
  size_t dropped = 0;                  // records dropped so far

  // Queries. frame -1 means any frame.
  std::vector<const TDrawRecord*> Find(TDrawKind kind, int frame = -1) const;
  const TDrawRecord* FindText(const std::string& text, int frame = -1) const;
  std::vector<const TDrawRecord*> ImageDraws(const TImagePtr& image, int frame = -1) const;
  // Calls of a kind made in a frame (or in all frames), whether their records are kept or not.
  int Count(TDrawKind kind, int frame = -1) const;
  // Forgets all records and counts.
  void Clear();

  std::string Name() const override { return "Recording"; }
  void Cls() override;
  void Plot(float x, float y) override;
  void DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) override;
  void DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) override;
  void DrawOval(float x0, float y0, float x1, float y1, float tx, float ty) override;
  void DrawPoly(const std::vector<float>& xy, float tx, float ty) override;
  void DrawPixmap(const TPixmap& pixmap, int x, int y) override;
  void DrawFrame(const TImageFrame& frame, float x0, float y0, float x1, float y1, float tx,
                 float ty) override;
  void BeginText(const TFontPtr& font, const std::string& text, float x, float y) override;
  void EndText() override;
  TPixmapPtr GrabPixmap(int x, int y, int w, int h) override;
  bool CreateGraphics(int width, int height, int depth, int hertz, int flags) override;
  void Flip(int sync) override;
  void MovePointer(int x, int y) override;
  void ShowPointer(bool visible) override { pointer_visible = visible; }

 private:
  TDrawRecord& Add(TDrawKind kind, float tx, float ty);
  // A record with its shape-space corners.
  TDrawRecord& AddShape(TDrawKind kind, float x0, float y0, float x1, float y1, float tx, float ty);
  static constexpr size_t kKinds = size_t(TDrawKind::Grab) + 1;
  std::vector<std::array<int, kKinds>> counts_;  // by frame, then kind
  bool in_text_ = false;
  std::string text_;
  TFontPtr text_font_;
};
