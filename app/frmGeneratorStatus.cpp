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
  s.Channels = Analysis().Channels();
  for (int c = 0; c < 2; ++c) {
    s.RmsDb[c] = Analysis().Levels(c).rmsDb;
    s.PeakDb[c] = Analysis().Levels(c).peakDb;
  }
  return s;
}
