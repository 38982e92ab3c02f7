// The farewell: every way out of the program passes through here.
#pragma once

// Saves what must survive the run, says goodbye, closes the display and the log, exits with 0.
[[noreturn]] void Farewell();
