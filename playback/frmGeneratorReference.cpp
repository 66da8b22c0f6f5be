// The reference noise window as a tool of the main window: it plays through
// the window's own output, whose fill then renders the reference noise
// instead of the signal.

#include "app/frmGenerator.h"

#include "analysis/SignalAnalysis.h"
#include "engine/Numbers.h"
#include "platform/Clock.h"
#include "platform/MessageLoop.h"
#include "platform/WaveOutDevice.h"
#include "playback/OutputChannelChoice.h"
#include "playback/RenderFeed.h"
#include "playback/ReferenceOutput.h"
#include "playback/frmReferenceNoise.h"
#include "playback/frmSettings.h"

namespace {

/// The sample width of the output settings, when it is one the reference defines.
uint16_t ReferenceBits(const TfrmSettings* settings) {
  const auto bits = settings ? settings->QuantizationBits() : std::nullopt;
  return bits == 16 ? 16 : 24;
}

}  // namespace

/// The window's output as the reference noise window uses it.
class TWindowReferenceOutput final : public TReferenceOutput {
public:
  explicit TWindowReferenceOutput(TfrmGenerator& window) : G(window) {}

  int32_t OutputRate() const override { return G.State.sampleRate; }
  std::string DeviceText() const override { return G.WaveDevice.Text(); }
  bool HasDevice() const override { return G.FHasWaveDevice; }
  bool PlayReference(int32_t rate, uint32_t channelMask) override {
    return Play(rate, 2, channelMask, G.frmSettings ? G.frmSettings->OutputsForStart(true) : TOutputChannels{});
  }
  bool PlayReferenceOn(int32_t rate, uint16_t output) override { return Play(rate, 1, 1, {output, 0}); }
  std::vector<std::string> OutputNames() override {
    return OutputListEntries(G.FServices.WaveOut.ChannelNames(G.AudioOut1->WaveDevice()));
  }
  uint32_t TickCount() override { return G.FServices.Clock.TickCount(); }
  void StopReference() override {
    if (G.FFeed->PlaysReference()) G.AudioOut1->StopAtOnce();
  }
  bool ReferencePlaying() const override { return G.FFeed->PlaysReference() && G.AudioOut1->Active; }
  int64_t Dropouts() const override { return G.AudioOut1->Dropouts().Count; }

private:
  /// Stops what plays, then plays the reference on channels (the ones of channelMask) on outputs.
  bool Play(int32_t rate, int channels, uint32_t channelMask, TOutputChannels outputs) {
    TAudioOut& out = *G.AudioOut1;
    out.StopAtOnce();
    out.SetStereo(channels == 2);
    out.SetOutputChannels(outputs);
    out.SetFrameRate(rate);
    out.SetQuantization(ReferenceBits(G.frmSettings));
    if (G.frmSettings) {
      out.SetNumBuffers(StrToInt(G.frmSettings->cboBuffers.Text()));
      out.SetBufferSize(StrToInt(G.frmSettings->cboBufferSize.Text()));
    }
    // The stop's notifications are handled before the new run opens.
    G.FServices.Loop.ProcessMessages();
    const int32_t bytes = out.Quantization() / 8;
    G.FAnalysis->Start({rate, channels, bytes, (1 << (out.Quantization() - 1)) - 1, out.NumBuffers(), out.BufferSize()});
    G.FFeed->StartReference(rate, channels, bytes, channelMask);
    if (out.Start(G.AudioOut1)) return true;
    G.ShowStartFailure();
    return false;
  }

  TfrmGenerator& G;
};

void TfrmGenerator::CreateReferenceNoise() {
  FReferenceOutput = std::make_unique<TWindowReferenceOutput>(*this);
  FReferenceNoise = std::make_unique<TfrmReferenceNoise>(*FReferenceOutput, FServices.Shell, FServices.Format);
  ReferenceNoise1.OnClick = [this] { FReferenceNoise->Show(); };
  // The meter's refresh also brings the window the dropouts of a run.
  FAnalysis->OnLevels.Add([this] {
    if (FReferenceNoise && FReferenceNoise->Visible()) FReferenceNoise->OutputChanged();
  });
}

void TfrmGenerator::ReferenceOutputChanged() {
  if (FReferenceNoise) FReferenceNoise->OutputChanged();
}
