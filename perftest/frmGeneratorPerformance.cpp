// The performance test as a command of the main window.

#include "app/frmGenerator.h"

#include "app/Application.h"
#include "app/CompanionFiles.h"
#include "perftest/PerformanceTarget.h"
#include "perftest/PerformanceTest.h"
#include "playback/frmSettings.h"

#include <filesystem>

namespace {

constexpr const char* CompatibilityFileName = "Compatibility Test.kav";
/// "Nul" of the test: the platform's null device, written in place.
constexpr const char* NullDevice = "/dev/null";

}  // namespace

/// The window's parts as the performance test uses them.
class TWindowPerformanceTarget final : public TPerformanceTarget {
public:
  explicit TWindowPerformanceTarget(TfrmGenerator& window) : G(window) {}

  std::string CompatibilityFile() const override {
    const std::string& exe = G.FServices.Application.ExeName;
    if (exe.empty()) return {};
    return FindCompanion(std::filesystem::path(exe).parent_path(), CompatibilityFileName).string();
  }
  bool LoadSettings(const std::string& fileName) override { return G.LoadSettings(fileName).IsPresetFile; }
  int32_t RateEntry() const override { return Rates().ItemIndex(); }
  void SelectRateEntry(int32_t entry) override { Rates().UserSelect(entry); }
  void SelectRate(int32_t hz) override {
    const auto& items = Rates().Items();
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i] == std::to_string(hz)) SelectRateEntry(static_cast<int32_t>(i));
  }
  void MemRecall(int n) override { G.MemRecall(n); }
  void ExportToNullDevice() override {
    G.ExportSignal([] { return std::optional<std::string>(NullDevice); });
  }
  void StartSignal() override { G.startsignal(); }
  bool OutputActive() const override { return G.AudioOut1->Active; }
  std::string DeviceText() const override { return G.WaveDevice.Text(); }

private:
  TComboBox& Rates() const { return G.frmSettings->cboFsList; }

  TfrmGenerator& G;
};

void TfrmGenerator::PerformanceTest1Click() {
  if (!FPerformanceTest) {
    FPerformanceTarget = std::make_unique<TWindowPerformanceTarget>(*this);
    FPerformanceTest = std::make_unique<TPerformanceTest>(*FPerformanceTarget, FServices.Dialogs, FServices.Clock,
                                                          FServices.Loop, FServices.Format);
  }
  FPerformanceTest->Run();
}
