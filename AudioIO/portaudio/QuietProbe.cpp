#include "AudioIO/portaudio/QuietProbe.h"

#include <cstdarg>  // before ALSA's error header, which uses va_list
#include <alsa/error.h>
#include <dlfcn.h>

namespace {
void SilentAlsa(const char*, int, const char*, int, const char*, ...) {}
void SilentJack(const char*) {}
}  // namespace

// JACK is PortAudio's dependency, not the program's: its functions are looked
// up in the running process, and there is nothing to silence without them.
void TQuietProbe::TJackChannel::Silence(const char* variable, const char* setter) {
  Current = reinterpret_cast<TJackOutput*>(dlsym(RTLD_DEFAULT, variable));
  Set = reinterpret_cast<void (*)(TJackOutput)>(dlsym(RTLD_DEFAULT, setter));
  if (Current == nullptr || Set == nullptr) return;
  Saved = *Current;
  Set(&SilentJack);
}

void TQuietProbe::TJackChannel::Restore() {
  // PortAudio installs its own error function once it reaches a server; that one stays.
  if (Current != nullptr && Set != nullptr && *Current == &SilentJack) Set(Saved);
}

TQuietProbe::TQuietProbe() : FAlsaHandler(reinterpret_cast<void (*)()>(snd_lib_error)) {
  snd_lib_error_set_handler(&SilentAlsa);
  FJackErrors.Silence("jack_error_callback", "jack_set_error_function");
  FJackInfo.Silence("jack_info_callback", "jack_set_info_function");
}

TQuietProbe::~TQuietProbe() {
  FJackInfo.Restore();
  FJackErrors.Restore();
  snd_lib_error_set_handler(reinterpret_cast<snd_lib_error_handler_t>(FAlsaHandler));
}
