// Screenshots: F11 saves the current frame as a PNG file named after the game, the date and the
// time, in "Files/".
#pragma once
#include <string>

// The text without the characters # ' , ` . \ / : | * ? and the double quote.
std::string CleanFileName(const std::string& text);
// The file name for a shot taken at the given date ("06 Dec 2026") and time ("14:03:59"):
// "Lambrisk  (Screenshot_06 Dec 2026_140359).png".
std::string ScreenshotName(const std::string& date, const std::string& time);
// The name itself when no file of that name is in the files folder, else the name with " 2", " 3", ... before ".png".
std::string FreeFileName(const std::string& name);
// Grabs, makes opaque, shows a notice, saves and logs. Called by PresentFrame on F11.
void TakeScreenshot();
