// The input queue and the polled state it feeds.
#include "platform/input.h"

#include "platform/clock.h"

#include <algorithm>
#include <array>
#include <deque>
#include <vector>

namespace {

struct TInputState {
  std::array<int, 256> key_down{};
  std::array<int, 256> key_hits{};
  std::array<int, 256> char_queue{};
  int char_get = 0;
  int char_put = 0;
  std::array<int, 4> mouse_down{};
  std::array<int, 4> mouse_hits{};
  int mouse_x = 0;
  int mouse_y = 0;
  int mouse_z = 0;
  int suspended = 0;
  int focus_lost = 0;  // a focus loss not yet read by FocusLostHit
  int terminate = 0;
};

TInputState input;
std::deque<TEvent> queue;
std::vector<TEventSource*> sources;
int frames = 0;

bool ValidKey(int key) { return key >= 0 && key < 256; }
bool ValidButton(int button) { return button >= 1 && button <= 3; }

void FlushAll() {
  input.key_down.fill(0);
  input.key_hits.fill(0);
  input.char_get = input.char_put = 0;
  input.mouse_down.fill(0);
  input.mouse_hits.fill(0);
}

void Apply(const TEvent& e) {
  switch (e.id) {
    case EVENT_APPSUSPEND:
      FlushAll();
      input.suspended = 1;
      input.focus_lost = 1;
      break;
    case EVENT_APPRESUME:
      FlushAll();
      input.suspended = 0;
      break;
    case EVENT_APPTERMINATE:
      input.terminate = 1;
      break;
    case EVENT_KEYDOWN:
      if (ValidKey(e.data) && !input.key_down[e.data]) {
        input.key_down[e.data] = 1;
        ++input.key_hits[e.data];
      }
      break;
    case EVENT_KEYUP:
      if (ValidKey(e.data)) input.key_down[e.data] = 0;
      break;
    case EVENT_KEYCHAR:
      // 256 slots, one always free to tell full from empty: 255 characters may wait.
      if ((input.char_put + 1) % 256 != input.char_get) {
        input.char_queue[input.char_put] = e.data;
        input.char_put = (input.char_put + 1) % 256;
      }
      break;
    case EVENT_MOUSEDOWN:
      if (ValidButton(e.data) && !input.mouse_down[e.data]) {
        input.mouse_down[e.data] = 1;
        ++input.mouse_hits[e.data];
      }
      break;
    case EVENT_MOUSEUP:
      if (ValidButton(e.data)) input.mouse_down[e.data] = 0;
      break;
    case EVENT_MOUSEMOVE:
      input.mouse_x = e.x;
      input.mouse_y = e.y;
      break;
    case EVENT_MOUSEWHEEL:
      input.mouse_z += e.data;
      break;
    default:
      break;
  }
}

}  // namespace

std::string EventName(int id) {
  switch (id) {
    case EVENT_APPSUSPEND: return "AppSuspend";
    case EVENT_APPRESUME: return "AppResume";
    case EVENT_APPTERMINATE: return "AppTerminate";
    case EVENT_KEYDOWN: return "KeyDown";
    case EVENT_KEYUP: return "KeyUp";
    case EVENT_KEYCHAR: return "KeyChar";
    case EVENT_MOUSEDOWN: return "MouseDown";
    case EVENT_MOUSEUP: return "MouseUp";
    case EVENT_MOUSEMOVE: return "MouseMove";
    case EVENT_MOUSEWHEEL: return "MouseWheel";
    default: return "Unknown";
  }
}

void PostEvent(const TEvent& event) { queue.push_back(event); }

void AddEventSource(TEventSource* source) {
  if (source && std::find(sources.begin(), sources.end(), source) == sources.end())
    sources.push_back(source);
}

void RemoveEventSource(TEventSource* source) {
  sources.erase(std::remove(sources.begin(), sources.end(), source), sources.end());
}

void PollSystem() {
  // A source may remove itself while pumping, so walk a copy.
  std::vector<TEventSource*> pumping = sources;
  for (TEventSource* s : pumping) s->Pump();
  // A key or button let go in the same poll that pressed it stays down until the next poll, so
  // a quick tap is held for at least one frame. Its release and everything after it wait.
  std::array<bool, 256> pressed_now{};
  std::array<bool, 4> clicked_now{};
  while (!queue.empty()) {
    const TEvent& e = queue.front();
    if ((e.id == EVENT_KEYUP && ValidKey(e.data) && pressed_now[size_t(e.data)]) ||
        (e.id == EVENT_MOUSEUP && ValidButton(e.data) && clicked_now[size_t(e.data)]))
      break;
    if (e.id == EVENT_KEYDOWN && ValidKey(e.data)) pressed_now[size_t(e.data)] = true;
    if (e.id == EVENT_MOUSEDOWN && ValidButton(e.data)) clicked_now[size_t(e.data)] = true;
    Apply(e);
    queue.pop_front();
  }
}

void CountFrame() { ++frames; }
int FrameCount() { return frames; }

int KeyDown(int key) { return ValidKey(key) ? input.key_down[key] : 0; }

int KeyHit(int key) {
  if (!ValidKey(key)) return 0;
  int n = input.key_hits[key];
  input.key_hits[key] = 0;
  return n;
}

int GetChar() {
  if (input.char_get == input.char_put) return 0;
  int c = input.char_queue[input.char_get];
  input.char_get = (input.char_get + 1) % 256;
  return c;
}

void DrainEvents() {
  // A tap takes two polls (its release waits for the next one); the bound only guards against a
  // source that never runs dry.
  for (int polls = 0; polls < 1000; ++polls) {
    PollSystem();
    if (queue.empty()) return;
  }
}

void FlushKeys() {
  input.key_hits.fill(0);
  input.char_get = input.char_put = 0;
}

int WaitKey() {
  FlushKeys();
  for (;;) {
    PollSystem();
    for (int key = 1; key < 256; ++key) {
      if (input.key_hits[key]) {
        input.key_hits[key] = 0;
        return key;
      }
    }
    if (input.terminate) return 0;
    Delay(1);
  }
}

int MouseDown(int button) { return ValidButton(button) ? input.mouse_down[button] : 0; }

int MouseHit(int button) {
  if (!ValidButton(button)) return 0;
  int n = input.mouse_hits[button];
  input.mouse_hits[button] = 0;
  return n;
}

int MouseX() { return input.mouse_x; }
int MouseY() { return input.mouse_y; }
int MouseZ() { return input.mouse_z; }

void FlushMouse() {
  input.mouse_down.fill(0);
  input.mouse_hits.fill(0);
}

int AppTerminate() {
  int t = input.terminate;
  input.terminate = 0;
  return t;
}

int AppSuspended() { return input.suspended; }

int FocusLostHit() {
  const int lost = input.focus_lost;
  input.focus_lost = 0;
  return lost;
}

void ResetInput() {
  input = TInputState{};
  queue.clear();
  frames = 0;
}
