// The generator's state as automation reads it (the bus's Status call).

#include "analysis/SignalAnalysis.h"
#include "app/frmGenerator.h"
#include "sync/GeneratorStatus.h"

TGeneratorStatus TfrmGenerator::Status() const {
  TGeneratorStatus s;
  s.Playing = AudioOut1->Active;
  s.Paused = AudioOut1->Paused();
  s.SampleRate = State.sampleRate;
  s.BufferCount = AudioOut1->NumBuffers();
  s.BufferSize = AudioOut1->BufferSize();
  const TDropouts dropouts = AudioOut1->Dropouts();
  s.Dropouts = dropouts.Count;
  s.DropoutMs = dropouts.Milliseconds;
  s.DeviceLost = AudioOut1->DeviceLost();
  // The channels the output plays (or would play): figures of a channel it
  // does not play, or has not played yet, read as silence.
  s.Channels = cboChannels.ItemIndex() == cmStereo ? 2 : 1;
  for (int c = 0; c < s.Channels; ++c) {
    s.RmsDb[c] = Analysis().Levels(c).rmsDb;
    s.PeakDb[c] = Analysis().Levels(c).peakDb;
  }
  return s;
}
