// The music path: module bytes as they come out of the archive, loaded by the renderer and played
// for a moment, with a seek, as the music player does. (The song's duration is left out: the
// game never asks for it, and it plays a damaged song through to the end, seconds per input.)
#include "FuzzSupport.h"
#include "audio/Module.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  OModule* module = OModule::Load(data, size);
  if (module == nullptr) return 0;
  static i16 stereo[2 * 1024];
  for (int i = 0; i < 4 && module->Render(stereo, 1024) > 0; ++i) {
  }
  module->SetPosition(module->GetPosition() + 500);
  module->SetGain(-600);
  module->Render(stereo, 1024);
  delete module;
  return 0;
}
