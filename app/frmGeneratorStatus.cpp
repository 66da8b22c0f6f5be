// The generator's state as automation reads it (the bus's Status call).

#include "analysis/SignalAnalysis.h"
#include "app/frmGenerator.h"
#include "playback/frmSettings.h"
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
  // The outputs of the run while it plays, else those the next start takes.
  const TOutputChannels outputs =
      AudioOut1->Active || frmSettings == nullptr ? AudioOut1->OutputChannels() : frmSettings->Outputs();
  s.LeftOutput = outputs.Left == 0 ? 1 : outputs.Left;
  s.RightOutput = outputs.Right == 0 ? 2 : outputs.Right;
  for (int c = 0; c < s.Channels; ++c) {
    s.RmsDb[c] = Analysis().Levels(c).rmsDb;
    s.PeakDb[c] = Analysis().Levels(c).peakDb;
  }
  return s;
}
