#pragma once
// The main window with its wait window, exporting through the menu command
// into a fresh folder, and the samples of the files it writes.

#include "export/frmWait.h"
#include "tests/app/GeneratorFixture.h"
#include "tests/export/LittleEndian.h"
#include "tests/persistence/TempDir.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ExportFixture : public GeneratorFixture {
protected:
  void SetUp() override {
    GeneratorFixture::SetUp();
    Wait = std::make_unique<TfrmWait>(*Gen);
  }
  void TearDown() override { Wait.reset(); }

  /// The program started afresh (new windows on the same store).
  void Restart() {
    Wait.reset();
    Create();
    Wait = std::make_unique<TfrmWait>(*Gen);
  }

  /// Rate list entry, channel mode and duration of the next export.
  void Choose(int rateIndex, int quantIndex, int32_t channels, const std::string& seconds) {
    Settings->cboFsList.UserSelect(rateIndex);
    Settings->cboQuant.UserSelect(quantIndex);
    Gen->cboChannels.UserSelect(channels);
    Gen->Duration.SetText(seconds);
  }

  /// Runs the menu command with the save dialog answering path.
  void Export(const std::string& path) {
    Dialogs.Paths.push_back(path);
    App.Perform([&] { Gen->SaveToneAsWaveFile1.Click(); });
  }

  /// Exports with the random sequence starting at seed; the file's bytes.
  std::vector<uint8_t> ExportSeeded(uint32_t seed, const std::string& name) {
    Gen->State.random.Seed(seed);
    Export(Dir.File(name));
    return ReadBytes(Dir.File(name));
  }

  TTempDir Dir;
  std::unique_ptr<TfrmWait> Wait;
};

/// The samples of one channel (0 left, 1 right) of a PCM WAV file, sign-extended.
inline std::vector<int32_t> ChannelSamples(const std::vector<uint8_t>& wav, int channel) {
  if (wav.size() < 44) return {};
  const uint32_t channels = U16(wav, 22), bytes = U16(wav, 34) / 8;
  std::vector<int32_t> samples;
  for (size_t at = 44 + channel * bytes; at + bytes <= wav.size(); at += channels * bytes) {
    uint32_t bits = 0;
    for (uint32_t b = 0; b < bytes; ++b) bits |= uint32_t{wav[at + b]} << (8 * b);
    const uint32_t sign = 1u << (8 * bytes - 1);
    samples.push_back(static_cast<int32_t>((bits ^ sign) - sign));
  }
  return samples;
}
