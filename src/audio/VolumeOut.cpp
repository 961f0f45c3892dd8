#include "audio/VolumeOut.h"

#include <alsa/asoundlib.h>

namespace {

// alsa-lib writes its set-up failures (no card, no such element) to standard error; a machine
// without sound is normal for the game, so they are dropped.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

// The default card's simple mixer through alsa-lib.
class OAlsaMixer : public OMixer {
public:
  explicit OAlsaMixer(snd_mixer_t* handle) : handle(handle) {}
  ~OAlsaMixer() override { snd_mixer_close(handle); }
  OAlsaMixer(const OAlsaMixer&) = delete;
  OAlsaMixer& operator=(const OAlsaMixer&) = delete;

  bool Has(const std::string& name) const override { return Find(name) != nullptr; }
  bool HasVolume(const std::string& name) const override {
    snd_mixer_elem_t* e = Find(name);
    return e != nullptr && snd_mixer_selem_has_playback_volume(e);
  }
  bool Range(const std::string& name, long& lo, long& hi) const override {
    snd_mixer_elem_t* e = Find(name);
    return e != nullptr && snd_mixer_selem_get_playback_volume_range(e, &lo, &hi) == 0;
  }
  bool Volume(const std::string& name, long& value) const override {
    snd_mixer_elem_t* e = Find(name);
    return e != nullptr &&
           snd_mixer_selem_get_playback_volume(e, SND_MIXER_SCHN_FRONT_LEFT, &value) >= 0;
  }
  void SetVolume(const std::string& name, long value) override {
    if (snd_mixer_elem_t* e = Find(name)) snd_mixer_selem_set_playback_volume_all(e, value);
  }
  void SetSwitch(const std::string& name, bool on) override {
    snd_mixer_elem_t* e = Find(name);
    if (e != nullptr && snd_mixer_selem_has_playback_switch(e))
      snd_mixer_selem_set_playback_switch_all(e, on ? 1 : 0);
  }
  void TakeEvents() override { snd_mixer_handle_events(handle); }

private:
  snd_mixer_elem_t* Find(const std::string& name) const {
    snd_mixer_selem_id_t* id = nullptr;
    snd_mixer_selem_id_alloca(&id);
    snd_mixer_selem_id_set_index(id, 0);
    snd_mixer_selem_id_set_name(id, name.c_str());
    return snd_mixer_find_selem(handle, id);
  }

  snd_mixer_t* handle;
};

}  // namespace

std::unique_ptr<OMixer> OpenSystemMixer() {
  snd_lib_error_set_handler(QuietAlsa);
  snd_mixer_t* handle = nullptr;
  if (snd_mixer_open(&handle, 0) < 0) return nullptr;
  // Non-blocking, so that taking change events never waits for one (HandleEvents).
  snd_hctl_t* control = nullptr;
  if (snd_hctl_open(&control, "default", SND_CTL_NONBLOCK) < 0) {
    snd_mixer_close(handle);
    return nullptr;
  }
  if (snd_mixer_attach_hctl(handle, control) < 0) {  // on failure the control is closed for us
    snd_mixer_close(handle);
    return nullptr;
  }
  if (snd_mixer_selem_register(handle, nullptr, nullptr) < 0 || snd_mixer_load(handle) < 0) {
    snd_mixer_close(handle);
    return nullptr;
  }
  return std::unique_ptr<OMixer>(new OAlsaMixer(handle));
}

OVolumeOut::OVolumeOut(u32 lineKind) : OVolumeOut(lineKind, OpenSystemMixer()) {}

OVolumeOut::OVolumeOut(u32 lineKind, std::unique_ptr<OMixer> mixer)
    : lineKind(lineKind), mixer(std::move(mixer)) {
  if (this->mixer != nullptr && !FindVolumeControl()) this->mixer.reset();
}

OVolumeOut::~OVolumeOut() = default;

bool OVolumeOut::FindVolumeControl() {
  const char* names[2] = {nullptr, nullptr};
  switch (lineKind) {
    case VOLUME_LINE_WAVE: names[0] = "PCM"; names[1] = "Master"; break;
    case VOLUME_LINE_SYNTH: names[0] = "Synth"; break;
    case VOLUME_LINE_SPEAKERS: names[0] = "Master"; names[1] = "Speaker"; break;
    default: return false;
  }
  const char* found = nullptr;
  for (const char* name : names) {
    if (name == nullptr || !mixer->Has(name)) continue;
    if (mixer->HasVolume(name)) {
      found = name;
      break;
    }
    if (found == nullptr) found = name;  // a line without volume still counts as found
  }
  if (found == nullptr) return false;
  element = found;
  long lo = 0;
  long hi = 0;
  if (mixer->HasVolume(element) && mixer->Range(element, lo, hi) && lo >= 0 && hi >= lo) {
    minimum = static_cast<u32>(lo);
    maximum = static_cast<u32>(hi);
    steps = maximum - minimum;
    hasVolume = 1;
  }
  lastVolume = GetVolume();
  return true;
}

bool OVolumeOut::HasVolume() const { return hasVolume != 0; }
void OVolumeOut::Enable() { SetLineState(true); }
void OVolumeOut::Disable() { SetLineState(false); }
u32 OVolumeOut::GetSteps() const { return hasVolume ? steps : VOLUME_NONE; }
u32 OVolumeOut::GetMinimum() const { return hasVolume ? minimum : VOLUME_NONE; }
u32 OVolumeOut::GetMaximum() const { return hasVolume ? maximum : VOLUME_NONE; }

u32 OVolumeOut::GetVolume() const {
  if (!hasVolume) return VOLUME_NONE;
  long value = 0;
  if (!mixer->Volume(element, value) || value < 0) return VOLUME_NONE;
  return static_cast<u32>(value);
}

void OVolumeOut::SetVolume(u32 v) {
  if (!hasVolume || v < minimum || v > maximum) return;
  mixer->SetVolume(element, static_cast<long>(v));
  lastVolume = v;
}

void OVolumeOut::SetCallback(OVolumeCallback function, u32 user) {
  callback = function;
  callbackUser = user;
}

void OVolumeOut::SetLineState(bool enabled) {
  if (mixer != nullptr) mixer->SetSwitch(element, enabled);
}

void OVolumeOut::HandleEvents() {
  if (mixer == nullptr) return;
  mixer->TakeEvents();
  const u32 now = GetVolume();
  if (now == VOLUME_NONE || now == lastVolume) return;
  lastVolume = now;
  if (callback != nullptr) callback(now, callbackUser);
}
