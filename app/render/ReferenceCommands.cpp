#include "app/render/ReferenceCommands.h"

#include "analysis/LevelText.h"
#include "analysis/ReferenceCheck.h"
#include "app/render/CommandLine.h"
#include "app/render/RenderProgram.h"
#include "engine/ReferenceNoise.h"
#include "export/ReferenceExport.h"
#include "export/WavFileWriter.h"
#include "export/WavHeader.h"
#include "persistence/FileError.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr const char* StandardName = "st2095";

struct TReferenceOptions {
  bool Check = false;
  std::string File;
  int32_t Rate = 48000;
  int Bits = 24;
  double Seconds = 10;
  std::string SecondsText = "10";
  int Channels = 1;
  bool Stats = false;
};

std::optional<double> Seconds(const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

bool ApplyRate(TReferenceOptions& o, const std::string& text, std::string& error) {
  const auto rate = WholeNumber(text);
  if (rate && *rate > 0 && *rate < ReferenceLowestRate) {
    error = "the reference noise is defined from 48000 Hz on; --rate " + text + " is below it";
    return false;
  }
  if (!rate || !TReferenceNoise::SupportsRate(static_cast<int32_t>(*rate))) {
    error = "--rate must be 48000, 96000 or 192000, not '" + text + "'";
    return false;
  }
  o.Rate = static_cast<int32_t>(*rate);
  return true;
}

bool ApplyOption(TReferenceOptions& o, const std::vector<std::string>& args, size_t& i, std::string& error) {
  const std::string name = args[i];
  std::string text;
  if (!OptionValue(args, i, text, error)) return false;
  const auto number = WholeNumber(text);
  if (name == "--rate") return ApplyRate(o, text, error);
  if (name == "--bits" && (number == 16 || number == 24)) {
    o.Bits = static_cast<int>(*number);
    return true;
  }
  if (name == "--channels" && (number == 1 || number == 2)) {
    o.Channels = static_cast<int>(*number);
    return true;
  }
  const auto seconds = Seconds(text);
  if (name == "--seconds" && seconds && *seconds > 0) {
    o.Seconds = *seconds;
    o.SecondsText = text;
    return true;
  }
  error = name == "--bits"       ? "--bits must be 16 or 24, not '" + text + "'"
          : name == "--channels" ? "--channels must be 1 or 2, not '" + text + "'"
                                 : "--seconds must be a number of seconds above 0, not '" + text + "'";
  return false;
}

TWavFormat WavFormatOf(const TReferenceOptions& o) {
  return {static_cast<uint32_t>(o.Rate), static_cast<uint16_t>(o.Channels), static_cast<uint16_t>(o.Bits / 8)};
}

/// The length asked for, rounded up to whole periods, fits in one WAV file.
bool FitsInWav(const TReferenceOptions& o, std::string& error) {
  const TWavFormat format = WavFormatOf(o);
  const double maxSeconds = static_cast<double>(MaxWavFrames(format)) / o.Rate;
  // Compared in seconds first: a huge S would overflow the frame count.
  if (o.Seconds <= maxSeconds && ReferenceFrames(o.Rate, o.Seconds) <= static_cast<int64_t>(MaxWavFrames(format)))
    return true;
  error = "--seconds " + o.SecondsText + " is too long. " + WavTooLongMessage(format);
  return false;
}

std::optional<TReferenceOptions> Parse(const std::vector<std::string>& args, std::string& error) {
  TReferenceOptions o;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--check" || arg == "--reference") {
      o.Check = arg == "--check";
    } else if (arg == "--stats") {
      o.Stats = true;
    } else if (arg == "--rate" || arg == "--bits" || arg == "--seconds" || arg == "--channels") {
      if (!ApplyOption(o, args, i, error)) return std::nullopt;
    } else if (LooksLikeOption(arg)) {
      error = UnknownOption(arg, "--rate, --bits, --seconds, --channels, --stats, --help");
      return std::nullopt;
    } else {
      positional.push_back(arg);
    }
  }
  const std::string command = o.Check ? "--check" : "--reference";
  if (o.Check && positional.size() == 2 && args.size() != 3) {
    error = "--check takes no options; the file's own rate, width and channels are checked";
    return std::nullopt;
  }
  if (positional.size() != 2 || (o.Check && args.size() != 3)) {
    error = o.Check ? "expected --check st2095 FILE.wav (see --help)"
                    : "expected --reference st2095 OUT.wav and its options (see --help)";
    return std::nullopt;
  }
  if (positional[0] != StandardName) {
    error = command + " knows one reference, st2095, not '" + positional[0] + "'";
    return std::nullopt;
  }
  o.File = positional[1];
  if (!o.Check && !FitsInWav(o, error)) return std::nullopt;
  return o;
}

int WriteReference(const TReferenceOptions& o, std::ostream& out, std::ostream& err) {
  const TWavFormat format = WavFormatOf(o);
  try {
    if (!WriteReferenceWav(o.File, format, ReferenceFrames(o.Rate, o.Seconds))) {
      Report(err, std::string(kWavWriteErrorText) + " (" + o.File + ")");
      return reFailed;
    }
  } catch (const TFileError& e) {
    Report(err, e.what());
    return reFailed;
  } catch (const std::length_error& e) {
    Report(err, e.what());
    return reFailed;
  }
  if (!o.Stats) return reWritten;
  // The reference clips to its own limit, far below full scale: the store step never cuts.
  return PrintStats(o.File, {0, 0}, out, err) ? reWritten : reFailed;
}

std::string Fixed(double value, int decimals, bool sign = false) {
  char text[64];
  std::snprintf(text, sizeof text, sign ? "%+.*f" : "%.*f", decimals, value);
  return text;
}

std::string Verdict(bool pass) { return pass ? "PASS" : "FAIL"; }

std::string BandText(const TReferenceCheck& check, const TReferenceFigures& f) {
  if (!LongEnoughForBands(check))
    return "not measured: the file lasts " +
           Fixed(static_cast<double>(check.Frames) / check.Format.SampleRate, 2) + " s, less than 10 s";
  if (!std::isfinite(f.BandDeviationDb)) return "a band from 31.5 Hz to 16 kHz is silent or missing";
  return "largest deviation from flat " + Fixed(f.BandDeviationDb, 2, true) + " dB at " +
         Fixed(f.BandDeviationHz, 0) + " Hz (31.5 Hz to 16 kHz, at most +-2 dB)";
}

std::string SamplesText(const TReferenceCheck& check, const TReferenceFigures& f) {
  if (!check.ReferenceExists)
    return "no reference at " + std::to_string(check.Format.SampleRate) + " Hz (48000, 96000 or 192000)";
  if (check.Frames == 0) return "no samples";
  if (f.Differences == 0) return "exact";
  return std::to_string(f.Differences) + " differ from the reference, largest difference " +
         std::to_string(f.LargestDifference);
}

void PrintFigures(const TReferenceCheck& check, const TReferenceFigures& f, std::ostream& out) {
  const std::string name = f.Name + std::string(6 - std::min<size_t>(f.Name.size(), 5), ' ');
  out << name << "RMS      " << DbText(f.RmsDbReSine) << " dB re full-scale sine (-18.5 +- 0.2)  "
      << Verdict(RmsPasses(f)) << '\n';
  out << name << "peak     " << DbText(f.PeakDbFs) << " dBFS (at most -9.5)  " << Verdict(PeakPasses(f)) << '\n';
  out << name << "bands    " << BandText(check, f) << "  " << Verdict(BandsPass(check, f)) << '\n';
  out << name << "samples  " << SamplesText(check, f) << "  " << Verdict(SamplesPass(check, f)) << '\n';
}

int CheckFile(const TReferenceOptions& o, std::ostream& out, std::ostream& err) {
  std::string error;
  const auto check = CheckReferenceFile(o.File, error);
  if (!check) {
    Report(err, error);
    return reUsage;
  }
  const TPcmWavFormat& f = check->Format;
  out << o.File << ": " << f.SampleRate << " Hz, " << f.BytesPerSample * 8 << " bits, " << f.Channels
      << (f.Channels == 1 ? " channel, " : " channels, ")
      << Fixed(static_cast<double>(check->Frames) / f.SampleRate, 2) << " s\n";
  for (const TReferenceFigures& channel : check->Channels) PrintFigures(*check, channel, out);
  if (check->Channels.size() > 1) PrintFigures(*check, check->All, out);
  const bool pass = Passes(*check);
  out << Verdict(pass) << (pass ? ": the reference noise of st2095" : ": not the reference noise of st2095") << '\n';
  return pass ? reWritten : reFailed;
}

}  // namespace

bool IsReferenceCommand(const std::vector<std::string>& args) {
  for (const std::string& arg : args)
    if (arg == "--reference" || arg == "--check") return true;
  return false;
}

int RunReferenceCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  for (const std::string& arg : args)
    if (arg == "--help" || arg == "-h") {
      out << RenderUsage();
      return reWritten;
    }
  std::string error;
  const auto options = Parse(args, error);
  if (!options) {
    Report(err, error);
    return reUsage;
  }
  return options->Check ? CheckFile(*options, out, err) : WriteReference(*options, out, err);
}

std::string ReferenceUsage() {
  // "or:" lines, which help2man puts in the man page's SYNOPSIS.
  return "  or:  zephyra-render --reference st2095 OUT.wav [--rate HZ] [--bits 16|24] [--seconds S] "
         "[--channels 1|2] [--stats]\n"
         "  or:  zephyra-render --check st2095 FILE.wav\n";
}

std::string ReferenceHelp() {
  return "--reference writes the band-limited pink noise of SMPTE ST 2095-1, sample for\n"
         "sample as the standard defines it (-18.5 dB RMS re a full-scale sine, peaks at\n"
         "most -9.5 dBFS, 10 Hz to 22.4 kHz): --rate 48000 (default), 96000 or 192000;\n"
         "--bits 24 (default) or 16; --seconds S (default 10), rounded up to whole periods\n"
         "of the noise (10 s give 10.92 s); --channels 1 (default) or 2, the same sample on\n"
         "each. Exit status 0 written, 1 failed, 2 bad command line.\n"
         "--check reads a 16- or 24-bit PCM WAV file and prints per channel and in all,\n"
         "each with PASS or FAIL: the RMS level (-18.5 +- 0.2 dB re a full-scale sine), the\n"
         "peak (at most -9.5 dBFS), the 1/3-octave bands from 31.5 Hz to 16 kHz (within\n"
         "+-2 dB of flat over the whole file, at least 10 s) and whether the samples are the\n"
         "reference's at the file's rate and width. Exit status 0 when everything passes,\n"
         "1 when something fails, 2 when the file cannot be read.\n";
}
