// The event layer and the polled input state. Window events (from the X11 reader) and test
// scripts push events into one queue; PollSystem folds them into key, mouse and window state that
// the game polls. Key codes are Windows-style virtual-key numbers (8 backspace ... 254).
#pragma once
#include <string>

enum TEventId {
  EVENT_APPSUSPEND = 257,
  EVENT_APPRESUME = 258,
  EVENT_APPTERMINATE = 259,
  EVENT_KEYDOWN = 513,
  EVENT_KEYUP = 514,
  EVENT_KEYCHAR = 515,
  EVENT_MOUSEDOWN = 1025,
  EVENT_MOUSEUP = 1026,
  EVENT_MOUSEMOVE = 1027,
  EVENT_MOUSEWHEEL = 1028,
};

struct TEvent {
  int id = 0;    // one of TEventId
  int data = 0;  // key code, character, mouse button (1 left, 2 right, 3 middle) or wheel delta
  int x = 0;     // mouse position in window pixels (MouseMove)
  int y = 0;
};

// "KeyDown", "MouseWheel", ...; "Unknown" for an id that is not an event.
std::string EventName(int id);

// Something that produces events when asked: the X11 window reader, a joystick reader, a test
// script. Pump pushes whatever is pending with PostEvent.
class TEventSource {
 public:
  virtual ~TEventSource() = default;
  virtual void Pump() = 0;
};

// Appends an event to the queue; it takes effect at the next PollSystem.
void PostEvent(const TEvent& event);
// Registers a source that PollSystem pumps (a source may be added once); remove before deleting.
void AddEventSource(TEventSource* source);
void RemoveEventSource(TEventSource* source);
// Pumps every source, then applies the queued events in order to the input state. A key or
// button released in the same poll that pressed it reads as held until the next poll.
void PollSystem();

// Frames shown so far: the display's flip counts them. Scripts key their events on it.
void CountFrame();
int FrameCount();

// Keyboard.
int KeyDown(int key);   // 1 while held
int KeyHit(int key);    // presses since the last call for this key; resets the count
int GetChar();          // next typed Latin-1 character, 0 when none
// Clears the key counters and the character queue. Keys still held stay held, so a held key's
// repeats are no new press.
void FlushKeys();
// Takes in every event that is waiting (presses made while nothing polled, as during a pause),
// so a flush that follows clears them too.
void DrainEvents();
int WaitKey();          // flushes, then polls until a key is hit and returns its code

// Mouse, in window pixels (the display converts to virtual pixels).
int MouseDown(int button);
int MouseHit(int button);
int MouseX();
int MouseY();
int MouseZ();
void FlushMouse();

// Window state: the close button was pressed (reading resets it), focus lost.
int AppTerminate();
int AppSuspended();
// 1 once after the window lost the focus, however briefly; reading resets it.
int FocusLostHit();

// Puts the whole input state, the queue and the frame count back to the start (tests).
void ResetInput();
