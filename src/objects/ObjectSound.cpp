#include "objects/ObjectSound.h"

#include "audio/SoundPlayer.h"

namespace {
ObjectSoundListener soundListener = nullptr;
}

void PlayObjectSound(OSoundPlayer* player, i32 id) {
  if (soundListener != nullptr) soundListener(id);
  if (player != nullptr) player->Play(id);
}

void SetObjectSoundListener(ObjectSoundListener listener) { soundListener = listener; }
