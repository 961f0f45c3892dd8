#pragma once
// One tracker module (MOD, XM, IT, ...) ready to render: the music of the game is made of these.
// Loading is a plain function over bytes, so damaged or hostile files can be tried without an
// archive or an audio device.
#include <cstddef>

#include "core/Types.h"

struct openmpt_module;

class OModule {
public:
  // Null when the bytes are not a module the renderer understands. The bytes are copied.
  static OModule* Load(const u8* bytes, size_t size);
  ~OModule();
  OModule(const OModule&) = delete;
  OModule& operator=(const OModule&) = delete;

  // Renders up to `frames` stereo frames at 44100 Hz into `stereo` (2 * frames samples).
  // Returns the frames written; 0 once the song has ended (it plays once and stops).
  size_t Render(i16* stereo, size_t frames);
  // Play position in milliseconds from the start of the song.
  u32 GetPosition() const;
  void SetPosition(u32 ms);
  // The whole song, played once, in seconds.
  double Duration() const;
  // Output gain in thousandths of a bel (0 = as written, -600 = half amplitude).
  void SetGain(i32 millibel);

private:
  explicit OModule(openmpt_module* mod) : mod(mod) {}

  openmpt_module* mod;
};
