// The size of the open display and the virtual resolution every screen draws in (1280 x 960 for
// 4:3 and other shapes, 1600 x 900 for 16:9, 1440 x 900 for 16:10). The display step sets them;
// every screen, the assets and the frame presentation read them.
#pragma once

extern int CurrentWidth;    // real display size, kept between mode changes (starts 800 x 600)
extern int CurrentHeight;
extern int VirtualWidth;    // drawing coordinates (starts 1280 x 960)
extern int VirtualHeight;
extern int DisplayOpen;     // 1 once the assets were loaded with a display open

// Start values, for tests.
void ResetScreenSize();
