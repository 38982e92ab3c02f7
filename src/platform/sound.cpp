// The driver registry. Only the silent driver exists so far.
#include "platform/sound.h"

#include <strings.h>

std::vector<std::string> AudioDrivers() { return {"Null"}; }

bool AudioDriverExists(const std::string& name) { return strcasecmp(name.c_str(), "Null") == 0; }

bool OpenALInstalled() { return false; }

bool SetAudioDriver(const std::string& name) { return AudioDriverExists(name); }

std::string CurrentAudioDriver() { return "Null"; }

TSoundPtr LoadSound(const std::string&, int) { return nullptr; }

TChannelPtr AllocChannel() { return nullptr; }
