// Fuzzes the setup reader: any bytes, line by line as the file is read, must leave the settings
// and controls tables in bounds, and the file written afterwards must read back to the same
// tables.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/settings.h"
#include "framework/setup_file.h"
#include "frontend/main_program.h"
#include "ui/controls.h"

namespace {

// Every table the reader may touch, as the writer would put it down again.
void ApplyText(const std::string& text) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of(std::string("\n\0", 2), start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
    ReadSetupLine(line);
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ResetMainProgram();
  SetDefaultSettings();
  SetDefaultControls();
  AudioDriverList = {"OpenAL", "OSS", "Null"};
  ApplyText(std::string(reinterpret_cast<const char*>(data), size));
  for (int v : Settings)
    if (v < 0) std::abort();  // every number of the file is read as its absolute value

  const auto settings = Settings;
  const auto controls = ControlTable;
  const std::string written = SetupFileText();
  SetDefaultSettings();
  SetDefaultControls();
  ApplyText(written);
  // Slot 7 and the slots the file has no line for are not written back.
  for (int slot : {1, 5, 6, 11, 12, 13, 14})
    if (Settings[size_t(slot)] != settings[size_t(slot)] && !(slot == 1 && settings[1] > 1)) std::abort();
  for (size_t slot = 0; slot < 100; ++slot)
    if (controls[slot] > 0 && ControlTable[slot] != controls[slot]) std::abort();
  return 0;
}
