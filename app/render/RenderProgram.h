#pragma once
// zephyra-render: one memory of a preset file, rendered through the
// generator's window logic into a WAV file, without display or sound device.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct TRenderOptions {
  std::string PresetFile;
  int Memory = 0;            ///< 1..4
  std::string OutputFile;
  int32_t SampleRate = 44100;
  int32_t Bits = 16;
  std::optional<uint32_t> Seed;  ///< none: from the clock
  bool Help = false;
  bool Stats = false;            ///< print the file's levels per channel after writing
};

/// Exit codes.
enum TRenderExit : int { reWritten = 0, reFailed = 1, reUsage = 2, reCancelled = 3 };

/// The options of the command line (without the program name); nothing, with
/// a one-line reason in error, when they are not usable.
std::optional<TRenderOptions> ParseRenderArguments(const std::vector<std::string>& args, std::string& error);

/// Renders as the options say; messages go to err, the help text to out.
/// Returns a TRenderExit.
int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// The use, as --help prints it.
std::string RenderUsage();
