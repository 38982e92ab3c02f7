// Reading and writing "Setup.ini".
#include "framework/setup_file.h"

#include <cctype>
#include <climits>

#include "base/debug_log.h"
#include "base/game_paths.h"
#include "base/game_speed.h"
#include "base/settings.h"
#include "platform/files.h"
#include "platform/stream.h"
#include "ui/controls.h"
#include "ui/text_fields.h"

int AudioDriverChosen = 0;
int SlowSystemChosen = 0;
int PauseOnFocusLoss = 1;
const std::string DefaultScoreServer = "localhost";
std::string ScoreServer = DefaultScoreServer;

namespace {

void ReadKeyLine(const std::string& value) {
  const int slot = SetupNumber(Field(value, ",", 1, 0));
  const int code = SetupNumber(Field(value, ",", 2, 0));
  // Slot 0 (player 1's Up) is written like every other slot, so it is read back too. 0 unbinds;
  // a hot key is never bound, so such a line keeps the slot as it was.
  if (slot >= 0 && slot < 100 && (code == 0 || BindableCode(code))) ControlTable[size_t(slot)] = code;
}

}  // namespace

int SetupNumber(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  // The sign is skipped: the absolute value is taken either way.
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  long long value = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
    value = value * 10 + (text[i++] - '0');
    if (value > INT_MAX) value = INT_MAX;
  }
  return int(value);
}

void ReadSetupLine(const std::string& line) {
  const std::string key = UpperText(TrimText(Field(line, "=", 1, 0)));
  const std::string value = TrimText(Field(line, "=", 2, 0));
  const std::string upper_value = UpperText(value);
  if (key == "SCORESERVER" && !value.empty()) ScoreServer = value;
  if (key == "AUDIODRIVER") {
    AudioDriverChosen = 1;
    for (size_t i = 0; i < AudioDriverList.size(); ++i)
      if (AudioDriverList[i] == value) Settings[SET_AUDIO_DRIVER] = int(i);
  }
  if (key == "FULLSCREEN" && (upper_value == "TRUE" || upper_value == "ON")) {
    Settings[SET_FULLSCREEN] = 1;
    LogLine("\tSetting to Fullscreen");
  }
  if (key == "GFX ENGINE" || key == "GFXENGINE") {
    if (upper_value == "DX9") {
      Settings[SET_GFX_ENGINE] = 1;
      LogLine("\tDirectX 9 Mode");
    } else if (upper_value == "DX7") {
      Settings[SET_GFX_ENGINE] = 2;
      LogLine("\tDirectX 7 Mode");
    }
  }
  if (key == "WIDTH") Settings[SET_WIDTH] = SetupNumber(value);
  if (key == "HEIGHT") Settings[SET_HEIGHT] = SetupNumber(value);
  if (key == "ESS") {
    Settings[SET_SLOW_SYSTEM] = 1;
    SlowSystemChosen = 1;
    LogLine("\tAssuming Emergency Slow System values.");
  }
  if (key == "PAUSEONFOCUSLOSS")
    PauseOnFocusLoss = !(upper_value == "FALSE" || upper_value == "OFF" || upper_value == "0");
  if (key == "GAMESPEED" || key == "GAME SPEED") {
    const int speed = GameSpeedOfPercent(SetupNumber(value));
    if (speed >= 0) Settings[SET_GAME_SPEED] = speed;
  }
  if (key == "KEY") ReadKeyLine(value);
  if (key == "MASTER") Settings[SET_MASTER_VOLUME] = SetupNumber(value);
  if (key == "SOUND") Settings[SET_SOUND_VOLUME] = SetupNumber(value);
  if (key == "MUSIC") Settings[SET_MUSIC_VOLUME] = SetupNumber(value);
}

void ReadSetupFile() {
  const std::string path = FilesPath("Setup.ini");
  if (FileType(path) != FILETYPE_FILE) return;
  TStreamPtr in = ReadFile(path);
  if (!in) return;
  LogLine("\tReading Setup File");
  do {
    ReadSetupLine(in->ReadLine());
  } while (!in->Eof());
  in->Close();
}

std::string SetupFileText() {
  std::string out;
  auto line = [&out](const std::string& text) { out += text + "\r\n"; };
  line("[Graphics]");
  if (Settings[SET_FULLSCREEN] == 0) line("Fullscreen = False");
  if (Settings[SET_FULLSCREEN] == 1) line("Fullscreen = True");
  const char* const engines[3] = {"OpenGL", "DX9", "DX7"};
  if (Settings[SET_GFX_ENGINE] >= 0 && Settings[SET_GFX_ENGINE] <= 2) line(std::string("GFX Engine = ") + engines[Settings[SET_GFX_ENGINE]]);
  line("Width=" + std::to_string(Settings[SET_WIDTH]));
  line("Height=" + std::to_string(Settings[SET_HEIGHT]));
  if (Settings[SET_SLOW_SYSTEM] == 1 || SlowSystemChosen == 1)
    line("ESS=1 ; This is a slow system, and things must run a wee bit slower for it.  Awww..");
  line("");
  line("[Audio]");
  line("Master = " + std::to_string(Settings[SET_MASTER_VOLUME]));
  line("Sound = " + std::to_string(Settings[SET_SOUND_VOLUME]));
  line("Music = " + std::to_string(Settings[SET_MUSIC_VOLUME]));
  const int driver = Settings[SET_AUDIO_DRIVER];
  const bool known = driver >= 0 && driver < int(AudioDriverList.size());
  line("AudioDriver = " + (known ? AudioDriverList[size_t(driver)] : std::string()));
  for (const std::string& name : AudioDriverList) line("; AudioDriver = " + name);
  line("");
  line("[Controls]");
  // An unbound slot is written too when it starts bound, or its default would come back.
  for (int slot = 0; slot < 100; ++slot)
    if (ControlTable[size_t(slot)] > 0 || DefaultControl(slot) > 0)
      line("Key=" + std::to_string(slot) + "," + std::to_string(ControlTable[size_t(slot)]));
  if (PauseOnFocusLoss == 0) line("PauseOnFocusLoss = False");
  // Written only for a slower game, so a setup at full speed reads as it always has.
  if (Settings[SET_GAME_SPEED] != 0) line("GameSpeed = " + std::to_string(GameSpeedPercent(Settings[SET_GAME_SPEED])));
  // Only a server the player chose is kept: the default may change with a new release.
  if (ScoreServer != DefaultScoreServer) {
    line("");
    line("[Online]");
    line("ScoreServer=" + ScoreServer);
  }
  return out;
}

bool WriteSetupFile() {
  const std::string path = FilesPath("Setup.ini"), temporary = path + ".new";
  bool written = false;
  if (TStreamPtr out = WriteFile(temporary)) {
    written = out->WriteString(SetupFileText()) && out->Flush();
    out->Close();
    written = written && RenameFile(temporary, path);
    if (!written) DeleteFile(temporary);
  }
  if (!written) LogLine("\tCan't write " + path);
  return written;
}
