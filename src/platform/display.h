// The display: choosing the driver, listing modes, opening a window or full screen, flipping,
// the virtual resolution and the mouse in virtual pixels, the pointer.
#pragma once
#include <memory>
#include <string>

#include "platform/draw_driver.h"

// Selects the OpenGL driver (flags: 2 back buffer), unless a driver was installed with
// SetDrawDriver. Closes any open display of another driver.
void UseOpenGLDriver(int flags = 2);
// Installs a driver (tests install a TRecordingDriver), which UseOpenGLDriver then leaves in
// place; null goes back to the OpenGL driver.
void SetDrawDriver(const TDrawDriverPtr& driver);
// The driver in use (the OpenGL one when nothing else was chosen). Never null.
TDrawDriver& CurrentDrawDriver();
// Counts display changes; textures made under an older value are remade on use.
int DrawDriverGeneration();

// Display modes the driver offers, in its order.
int CountGraphicsModes();
bool GetGraphicsMode(int index, TGraphicsMode& mode);
// True when a mode matches; 0 in any argument matches any value.
bool GraphicsModeExists(int width, int height, int depth, int hertz);

// Opens a window (depth 0) or a full-screen mode. False, with a platform warning, when it
// can't; nothing is left open then. The virtual resolution starts as the real size.
bool OpenGraphics(int width, int height, int depth = 0, int hertz = 60, int flags = 0);
void CloseGraphics();
bool GraphicsOpen();
// For telling the player why no display opened: the X display asked for ($DISPLAY, "" when
// unset) and whether the program could connect to it at all.
std::string XDisplayName();
bool XDisplayReachable();
int GraphicsWidth();   // real size
int GraphicsHeight();

// Shows the back buffer, then counts the frame and polls the input (every driver, every flip).
void Flip(int sync = -1);

// Drawing coordinates: (0, 0) top left, (width, height) bottom right of the window.
void SetVirtualResolution(float width, float height);
float VirtualResolutionWidth();
float VirtualResolutionHeight();

// The mouse in virtual pixels, and moving the pointer to a virtual position.
float VirtualMouseX();
float VirtualMouseY();
void MoveMouse(float x, float y);
// Pointer visibility; remembered when no window is open and applied when one opens.
void ShowPointer();
void HidePointer();
bool PointerShown();
