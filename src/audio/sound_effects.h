// Sound effects: every effect of the program starts through PlaySfx, on a ring of channel slots,
// at the player's master and effect volumes. The channel table is shared with the music player
// (slots 0 to 4) and the start-up jingle (slot 256).
#pragma once
#include <array>

#include "platform/sound.h"

// Loaded effects by number, 1 to 200 (filled by the asset loader); null when not loaded.
extern std::array<TSoundPtr, 201> SfxTable;
// Channel slots: 0..4 music voices, 20..255 the effect ring, 256 the jingle; null until first used.
extern std::array<TChannelPtr, 260> ChannelTable;
// The volume (0..1) last asked for on each slot, before the setup volumes scale it.
extern std::array<float, 260> ChannelVolume;
// The slot of the most recent effect; starts at 20 so the first effect uses slot 21.
extern int NextSfxSlot;

enum { SFX_RING_FIRST = 20, SFX_RING_END = 256, JINGLE_SLOT = 256 };

// Plays effect number effect (an index into SfxTable) at rate (1 recorded pitch, 2 an octave up;
// kept to 0.25..4), volume (0..1) and pan (-1 left..1 right), cutting off the oldest effect of the
// ring if it still sounds. Does nothing with the effect volume at 0 or no such effect loaded.
void PlaySfx(int effect, float rate, float volume, float pan);
// Starts the jingle on slot 256 at the effect volume (the asset loader, on the first display).
void PlayJingle(const TSoundPtr& jingle);
// Empties every table and puts the ring back at its start.
void ResetSoundEffects();
