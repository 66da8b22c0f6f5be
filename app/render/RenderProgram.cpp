#include "app/render/RenderProgram.h"

#include "app/Application.h"
#include "app/GeneratorServices.h"
#include "app/frmGenerator.h"
#include "app/render/CommandLine.h"
#include "app/render/NullServices.h"
#include "app/render/ReferenceCommands.h"
#include "export/frmWait.h"
#include "persistence/FileError.h"
#include "persistence/MemorySettingsStore.h"
#include "platform/Clock.h"
#include "platform/PlainMessageLoop.h"
#include "playback/frmSettings.h"

#include <exception>

namespace {

bool ApplyOption(TRenderOptions& o, const std::vector<std::string>& args, size_t& i, std::string& error) {
  const std::string name = args[i];
  std::string text;
  if (!OptionValue(args, i, text, error)) return false;
  const auto number = WholeNumber(text);
  if (name == "--rate") {
    for (int32_t rate : {8000, 11025, 22050, 44100, 48000, 96000, 192000}) {
      if (number != rate) continue;
      o.SampleRate = rate;
      return true;
    }
    error = "--rate must be 8000, 11025, 22050, 44100, 48000, 96000 or 192000, not '" + text + "'";
  } else if (name == "--bits") {
    if (number == 16 || number == 24) {
      o.Bits = static_cast<int32_t>(*number);
      return true;
    }
    error = "--bits must be 16 or 24, not '" + text + "'";
  } else if (number && *number >= 0 && *number <= UINT32_MAX) {
    o.Seed = static_cast<uint32_t>(*number);
    return true;
  } else {
    error = "--seed must be a whole number from 0 to 4294967295, not '" + text + "'";
  }
  return false;
}

bool IsOption(const std::string& arg) { return arg == "--rate" || arg == "--bits" || arg == "--seed"; }

/// The output settings the options ask for, chosen as the user would in the settings window.
void ApplyOutputOptions(TfrmSettings& settings, const TRenderOptions& o) {
  const auto& rates = settings.cboFsList.Items();
  for (size_t i = 0; i < rates.size(); ++i)
    if (rates[i] == std::to_string(o.SampleRate)) settings.cboFsList.SetItemIndex(static_cast<int32_t>(i));
  settings.ApplySampleRate();
  settings.cboQuant.SetItemIndex(o.Bits == 24 ? 1 : 0);
}

int ExitCodeOf(TfrmGenerator::TWaveWriteOutcome outcome) {
  switch (outcome) {
    case TfrmGenerator::TWaveWriteOutcome::Written:
      return reWritten;
    case TfrmGenerator::TWaveWriteOutcome::Cancelled:
      return reCancelled;
    case TfrmGenerator::TWaveWriteOutcome::Failed:
      break;
  }
  return reFailed;
}

int Render(const TRenderOptions& o, std::ostream& out, std::ostream& err) {
  TStreamDialogs dialogs(err, RenderProgramName);
  TPlainMessageLoop plainLoop;
  TNoWaitMessageLoop loop(plainLoop);
  TNullShell shell;
  TSteadyClock clock;
  TNullWaveOutDevice device;
  TMemorySettingsStore store;  // never the user's settings
  TApplication application(dialogs);
  const TGeneratorServices services{application, loop, dialogs, shell, clock, device, store, TNumberFormat{'.'}};
  // Creating the windows notes the missing sound device, which is expected here.
  dialogs.Quiet = true;
  TfrmGenerator generator(services);
  TfrmSettings settings(generator, shell);
  TfrmWait wait(generator);
  dialogs.Quiet = false;

  ApplyOutputOptions(settings, o);
  try {
    const TPresetImageCheck check = generator.LoadSettings(o.PresetFile);
    if (const std::string problem = PresetFileProblem(o.PresetFile, check); !problem.empty()) {
      if (!check || o.Memory > check.WholeMemories) {
        Report(err, problem + (check ? "; memory " + std::to_string(o.Memory) + " is not among them" : ""));
        return reFailed;
      }
      Report(err, problem);
    }
    generator.MemRecall(o.Memory);
    generator.State.random.Seed(o.Seed ? *o.Seed : static_cast<uint32_t>(clock.HighResolutionCounter()));
    generator.Preparevariables();
  } catch (const std::exception& e) {
    Report(err, e.what());
    return reFailed;
  }
  const int written = ExitCodeOf(generator.WriteWaveData(o.OutputFile));
  if (written != reWritten || !o.Stats) return written;
  return PrintStats(o.OutputFile, generator.LastExportClipped(), out, err) ? reWritten : reFailed;
}

}  // namespace

std::optional<TRenderOptions> ParseRenderArguments(const std::vector<std::string>& args, std::string& error) {
  TRenderOptions o;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      o.Help = true;
      return o;
    }
    if (args[i] == "--stats") {
      o.Stats = true;
    } else if (IsOption(args[i])) {
      if (!ApplyOption(o, args, i, error)) return std::nullopt;
    } else if (LooksLikeOption(args[i])) {
      error = UnknownOption(args[i], "--rate, --bits, --seed, --stats, --reference, --check, --help, --version");
      return std::nullopt;
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 3) {
    error = "expected PRESET_FILE MEMORY OUT.wav (see --help)";
    return std::nullopt;
  }
  const auto memory = WholeNumber(positional[1]);
  if (!memory || *memory < 1 || *memory > 4) {
    error = "MEMORY must be 1, 2, 3 or 4, not '" + positional[1] + "'";
    return std::nullopt;
  }
  o.PresetFile = positional[0];
  o.Memory = static_cast<int>(*memory);
  o.OutputFile = positional[2];
  return o;
}

std::string RenderUsage() {
  return "Usage: zephyra-render PRESET_FILE MEMORY OUT.wav [--rate HZ] [--bits 16|24] [--seed N] [--stats]\n" +
         ReferenceUsage() +
         "\n"
         "Renders one pass of memory MEMORY (1 to 4) of the preset file PRESET_FILE into\n"
         "the WAV file OUT.wav, exactly as the generator window exports it, without a\n"
         "display or a sound device. The preset is recalled without starting anything;\n"
         "its duration sets the length of the file.\n"
         "\n"
         "  --rate HZ    sample rate: 8000, 11025, 22050, 44100 (default), 48000, 96000, 192000\n"
         "  --bits B     sample width: 16 (default) or 24\n"
         "  --seed N     start of the random sequence (0 to 4294967295); the same seed gives\n"
         "               the same file. Default: taken from the clock.\n"
         "  --stats      after writing, print one line per channel of the file (left and\n"
         "               right, or mono) with its RMS and peak level in dBFS, its crest\n"
         "               factor and the samples cut at full scale:\n"
         "               left rms=-12.04 peak=-0.01 crest=4.00 clipped=0\n"
         "  --help       this text\n"
         "  --version    the version and the licence\n"
         "\n"
         "Exit status: 0 written, 1 failed (file, preset or write error), 2 bad command line.\n"
         "\n" +
         ReferenceHelp();
}

int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << RenderUsage();
    return reUsage;
  }
  if (IsReferenceCommand(args)) return RunReferenceCommand(args, out, err);
  std::string error;
  const auto options = ParseRenderArguments(args, error);
  if (!options) {
    Report(err, error);
    return reUsage;
  }
  if (options->Help) {
    out << RenderUsage();
    return reWritten;
  }
  return Render(*options, out, err);
}
