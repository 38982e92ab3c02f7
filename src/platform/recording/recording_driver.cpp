// The recording driver: keeps each draw with a copy of the drawing state and counts flips as
// frames; the null driver under it makes the texture frames, which hold only their size.
#include "platform/recording/recording_driver.h"

#include "platform/input.h"

std::vector<const TDrawRecord*> TRecordingDriver::Find(TDrawKind kind, int frame) const {
  std::vector<const TDrawRecord*> out;
  for (const TDrawRecord& r : records)
    if (r.kind == kind && (frame < 0 || r.frame == frame)) out.push_back(&r);
  return out;
}

const TDrawRecord* TRecordingDriver::FindText(const std::string& text, int frame) const {
  for (const TDrawRecord& r : records)
    if (r.kind == TDrawKind::Text && r.text == text && (frame < 0 || r.frame == frame)) return &r;
  return nullptr;
}

std::vector<const TDrawRecord*> TRecordingDriver::ImageDraws(const TImagePtr& image, int frame) const {
  std::vector<const TDrawRecord*> out;
  for (const TDrawRecord& r : records)
    if (r.kind == TDrawKind::Image && r.image == image.get() && (frame < 0 || r.frame == frame))
      out.push_back(&r);
  return out;
}

int TRecordingDriver::Count(TDrawKind kind, int frame) const {
  int total = 0;
  for (size_t f = 0; f < counts_.size(); ++f)
    if (frame < 0 || size_t(frame) == f) total += counts_[f][size_t(kind)];
  return total;
}

void TRecordingDriver::Clear() {
  records.clear();
  counts_.clear();
  dropped = 0;
}

TDrawRecord& TRecordingDriver::Add(TDrawKind kind, float tx, float ty) {
  if (counts_.size() <= size_t(flips)) counts_.resize(size_t(flips) + 1, std::array<int, kKinds>{});
  ++counts_[size_t(flips)][size_t(kind)];
  if (record_limit > 0 && records.size() >= record_limit) {
    const size_t half = records.size() / 2;
    records.erase(records.begin(), records.begin() + long(half));
    dropped += half;
  }
  TDrawRecord r;
  r.kind = kind;
  r.frame = flips;
  r.state = DrawState();
  r.x = tx - r.state.origin_x;
  r.y = ty - r.state.origin_y;
  records.push_back(std::move(r));
  return records.back();
}

TDrawRecord& TRecordingDriver::AddShape(TDrawKind kind, float x0, float y0, float x1, float y1,
                                        float tx, float ty) {
  TDrawRecord& r = Add(kind, tx, ty);
  r.x0 = x0;
  r.y0 = y0;
  r.x1 = x1;
  r.y1 = y1;
  return r;
}

void TRecordingDriver::Cls() { Add(TDrawKind::Cls, 0.0f, 0.0f); }

void TRecordingDriver::Plot(float x, float y) { Add(TDrawKind::Plot, x, y); }

void TRecordingDriver::DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) {
  AddShape(TDrawKind::Line, x0, y0, x1, y1, tx, ty);
}

void TRecordingDriver::DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) {
  AddShape(TDrawKind::Rect, x0, y0, x1, y1, tx, ty);
}

void TRecordingDriver::DrawOval(float x0, float y0, float x1, float y1, float tx, float ty) {
  AddShape(TDrawKind::Oval, x0, y0, x1, y1, tx, ty);
}

void TRecordingDriver::DrawPoly(const std::vector<float>&, float tx, float ty) {
  Add(TDrawKind::Poly, tx, ty);
}

void TRecordingDriver::DrawPixmap(const TPixmap& pixmap, int x, int y) {
  TDrawRecord& r = Add(TDrawKind::Pixmap, float(x), float(y));
  r.x1 = float(pixmap.width);
  r.y1 = float(pixmap.height);
}

void TRecordingDriver::DrawFrame(const TImageFrame& frame, float x0, float y0, float x1, float y1,
                                 float tx, float ty) {
  TDrawRecord& r = AddShape(in_text_ ? TDrawKind::Glyph : TDrawKind::Image, x0, y0, x1, y1, tx, ty);
  r.image = frame.image;
  r.image_frame = frame.index;
  if (in_text_) {
    r.text = text_;
    r.font = text_font_;
  }
}

void TRecordingDriver::BeginText(const TFontPtr& font, const std::string& text, float x, float y) {
  const TDrawState& s = DrawState();
  TDrawRecord& r = Add(TDrawKind::Text, x + s.origin_x, y + s.origin_y);
  r.text = text;
  r.font = font;
  in_text_ = true;
  text_ = text;
  text_font_ = font;
}

void TRecordingDriver::EndText() {
  in_text_ = false;
  text_.clear();
  text_font_.reset();
}

TPixmapPtr TRecordingDriver::GrabPixmap(int x, int y, int w, int h) {
  Add(TDrawKind::Grab, float(x), float(y));
  return TNullDriver::GrabPixmap(x, y, w, h);
}

bool TRecordingDriver::CreateGraphics(int width, int height, int depth, int hertz, int flags) {
  return !fail_open && TNullDriver::CreateGraphics(width, height, depth, hertz, flags);
}

void TRecordingDriver::Flip(int sync) {
  last_sync = sync;
  ++flips;
}

void TRecordingDriver::MovePointer(int x, int y) {
  pointer_x = x;
  pointer_y = y;
  PostEvent({EVENT_MOUSEMOVE, 0, x, y});
}
