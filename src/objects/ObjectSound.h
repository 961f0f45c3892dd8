#pragma once
// The game objects play their sound effects by id through the program's sound player. All their
// sounds go through this one function, which tolerates a missing player and lets tests listen in.
#include "core/Types.h"

class OSoundPlayer;

// Plays id on the player (nothing when the player is null) and tells the listener, if one is set.
void PlayObjectSound(OSoundPlayer* player, i32 id);

// A listener that hears every id played by the objects (tests); null removes it.
using ObjectSoundListener = void (*)(i32 id);
void SetObjectSoundListener(ObjectSoundListener listener);
