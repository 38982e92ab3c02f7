// The application's title, shown by the window manager once a window is open.
#pragma once
#include <string>

void SetAppTitle(const std::string& title);
const std::string& AppTitle();
