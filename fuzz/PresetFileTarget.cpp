// A preset file from anywhere (a download, a colleague, a damaged disk)
// through the window logic: load, recall, preparation, export.

#include "app/Application.h"
#include "app/GeneratorServices.h"
#include "app/frmGenerator.h"
#include "app/render/NullServices.h"
#include "export/frmWait.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/FuzzWindows.h"
#include "persistence/MemorySettingsStore.h"
#include "persistence/PresetFile.h"
#include "playback/frmSettings.h"
#include "tests/fakes/FakeMessageLoop.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

// Enough frames for every stage of the renderer (filters, pink rows,
// modulation) to run, few enough that any input renders in milliseconds.
constexpr int64_t kMaxFrames = 3000;

/// A file of this process for the preset image, removed at exit.
const std::string& ImagePath() {
  static const std::string path = [] {
    std::string p = "/tmp/zephyra-fuzz-preset-" + std::to_string(::getpid()) + ".zep";
    std::atexit([] { ::unlink(ImagePath().c_str()); });
    return p;
  }();
  return path;
}

/// Output settings from one byte: rate list entry and width.
void ChooseOutput(TWindows& w, uint8_t choice) {
  w.Settings.cboFsList.SetItemIndex(choice % 7);
  w.Settings.ApplySampleRate();
  w.Settings.cboQuant.SetItemIndex((choice >> 3) & 1);
}

void RecallAndExport(TWindows& w, int n) {
  w.App.Perform([&] {
    w.Gen.MemRecall(n);
    w.Gen.State.random.Seed(static_cast<uint32_t>(n));
    w.Gen.Preparevariables();
    w.Gen.State.totalFrames = std::clamp<int64_t>(w.Gen.State.totalFrames, 0, kMaxFrames);
    const auto outcome = w.Gen.WriteWaveData("/dev/null");
    FuzzCheck(outcome != TfrmGenerator::TWaveWriteOutcome::Cancelled, "nothing cancels the export");
  });
  FuzzCheck(w.Gen.Enabled(), "the export gives the window back");
  FuzzCheck(!w.Wait.Visible(), "the export hides the wait window");
}

}  // namespace

int FuzzPresetFile(const uint8_t* data, size_t size) {
  {
    std::ofstream out(ImagePath(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  TWindows w;
  if (size > kPresetFileSize) ChooseOutput(w, data[kPresetFileSize]);
  bool loaded = false;
  w.App.Perform([&] { loaded = w.Gen.LoadSettings(ImagePath()).IsPresetFile; });
  if (!loaded) return 0;
  for (int n = 1; n <= 4; ++n) RecallAndExport(w, n);
  return 0;
}
