// Shared inside the drawing layer only: the writable state and the OpenGL driver's factory.
// Screens use draw_state.h and display.h instead.
#pragma once
#include "platform/draw_driver.h"
#include "platform/draw_state.h"

// The state record the setters change.
TDrawState& MutableDrawState();
// Sends the whole state to the current driver (after a driver change or a display open).
void PushDrawState();
// Makes the OpenGL driver (an X11 window with GLX).
TDrawDriverPtr MakeOpenGLDriver();
