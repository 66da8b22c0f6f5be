#pragma once
// Keeps the sound libraries quiet while PortAudio probes its devices. ALSA
// reports every configured device that the machine lacks, and JACK every
// failed attempt to reach (or start) its server, each on stderr: a hundred
// lines at every start on a desktop without those devices. While an object
// of this class lives, ALSA's error handler and JACK's error and information
// output go nowhere; the destructor restores what was there. Failures that
// matter still reach the user as PortAudio errors. JACK starts no server
// either way: PortAudio and ALSA's JACK plug-in ask it not to when they
// connect. The environment is left alone: a probe also runs on the thread
// that reopens a lost device, while other threads read the environment.

class TQuietProbe {
public:
  TQuietProbe();
  ~TQuietProbe();
  TQuietProbe(const TQuietProbe&) = delete;
  TQuietProbe& operator=(const TQuietProbe&) = delete;

private:
  using TJackOutput = void (*)(const char*);
  /// One of JACK's two outputs (errors, information): where its current
  /// function lives and how to change it. Empty without a JACK library.
  struct TJackChannel {
    TJackOutput* Current = nullptr;
    void (*Set)(TJackOutput) = nullptr;
    TJackOutput Saved = nullptr;
    void Silence(const char* variable, const char* setter);
    void Restore();
  };

  /// ALSA's handler before, kept without ALSA's header.
  void (*FAlsaHandler)();
  TJackChannel FJackErrors, FJackInfo;
};
