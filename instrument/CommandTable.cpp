// The command table: IEEE 488.2 common commands, the system and status
// queries, the output, and one command per control.

#include "instrument/CommandTable.h"

#include "instrument/ControlCommands.h"
#include "instrument/PresetFolder.h"
#include "instrument/ScpiValues.h"

#include <cmath>

namespace {

using C = TInstrumentControl;

TCommandAction Answer(std::function<std::string(TCommandContext&)> answer) {
  return [answer](TCommandContext& x) {
    if (ExpectParameters(x, 0)) x.Answer = answer(x);
  };
}

TCommandAction Do(std::function<void(TCommandContext&)> action) {
  return [action](TCommandContext& x) {
    if (ExpectParameters(x, 0)) action(x);
  };
}

/// A register mask 0..255 (*ESE, *SRE).
TCommandAction SetMask(uint8_t TStatusRegisters::*mask) {
  return [mask](TCommandContext& x) {
    if (!ExpectParameters(x, 1)) return;
    const TNumericValue v = ReadNumeric(x.Parameters[0].Text, {0, 255, 0, false, {}});
    if (v.Error) return x.Registers.Report(v.Error, v.Detail);
    x.Registers.*mask = static_cast<uint8_t>(std::lround(static_cast<double>(v.Value)));
  };
}

/// *SAV / *RCL n: memory presets 1..4.
TCommandAction Memory(void (TInstrumentTarget::*action)(int)) {
  return [action](TCommandContext& x) {
    if (!ExpectParameters(x, 1)) return;
    const TNumericValue v = ReadNumeric(x.Parameters[0].Text, {1, 4, 1, false, {}});
    if (v.Error) return x.Registers.Report(v.Error, v.Detail);
    if (v.Value != std::floor(v.Value)) return x.Registers.Report(-224, x.Parameters[0].Text);
    (x.Target.*action)(static_cast<int>(v.Value));
  };
}

void SetOutput(TCommandContext& x) {
  if (!ExpectParameters(x, 1)) return;
  const auto on = ReadBoolean(x.Parameters[0].Text);
  if (!on) return x.Registers.Report(-224, x.Parameters[0].Text);
  if (*on == x.Target.Status().Playing) return;
  if (*on && !x.Target.CanStart()) return x.Registers.Report(-221, "no device or no channel on");
  *on ? x.Target.PressOn() : x.Target.PressOff();
}

void SetPause(TCommandContext& x) {
  if (!ExpectParameters(x, 1)) return;
  const auto on = ReadBoolean(x.Parameters[0].Text);
  if (!on) return x.Registers.Report(-224, x.Parameters[0].Text);
  if (*on != x.Target.Status().Paused) x.Target.PressPause();
}

void LoadState(TCommandContext& x) {
  if (!ExpectParameters(x, 1)) return;
  if (!x.Parameters[0].Quoted) return x.Registers.Report(-104, "a file name in quotes is expected");
  const TPresetFileLookup lookup = ResolvePresetFile(x.PresetFolder, x.Parameters[0].Text);
  if (lookup.Error) return x.Registers.Report(lookup.Error, lookup.Detail);
  try {
    if (!x.Target.LoadPresetFile(lookup.File.string())) x.Registers.Report(-257, "not a preset file");
  } catch (const std::exception& e) {
    x.Registers.Report(-256, e.what());
  }
}

/// A measured figure for the answer: SCPI's -9.91e37 for minus infinity
/// (a silent level), 9.91e37 ("not a number") for any other value without a figure.
std::string Level(double v) {
  if (std::isfinite(v)) return NumberText(v);
  return std::isinf(v) && v < 0 ? "-9.91e+37" : "9.91e+37";
}

/// The meter channel of the header's suffix: in mono the one channel is channel 1.
int MeterChannel(const TCommandContext& x) { return x.Channel; }

std::string CatalogOf(const std::vector<std::string>& entries) {
  std::string out;
  for (const std::string& e : entries) out += (out.empty() ? "" : ",") + QuotedText(e);
  return out;
}

std::vector<TCommandEntry> BuildTable() {
  return {
      // ---- IEEE 488.2 ----
      {"*IDN", nullptr, Answer([](TCommandContext& x) { return x.Target.Identity(); })},
      {"*RST", Do([](TCommandContext& x) { x.Target.ResetToDefaults(); }), nullptr},
      {"*CLS", Do([](TCommandContext& x) { x.Registers.Clear(); }), nullptr},
      {"*ESE", SetMask(&TStatusRegisters::Ese),
       Answer([](TCommandContext& x) { return std::to_string(x.Registers.Ese); })},
      {"*ESR", nullptr, Answer([](TCommandContext& x) { return std::to_string(x.Registers.TakeEsr()); })},
      {"*SRE", SetMask(&TStatusRegisters::Sre),
       Answer([](TCommandContext& x) { return std::to_string(x.Registers.Sre); })},
      {"*STB", nullptr, Answer([](TCommandContext& x) { return std::to_string(x.Registers.StatusByte()); })},
      // Every command runs to its end before the next is read, so whatever
      // came before has taken effect when these are reached.
      {"*OPC", Do([](TCommandContext& x) { x.Registers.Esr |= esrOperationComplete; }),
       Answer([](TCommandContext&) { return std::string("1"); })},
      {"*WAI", Do([](TCommandContext&) {}), nullptr},
      {"*TST", nullptr, Answer([](TCommandContext&) { return std::string("0"); })},
      {"*SAV", Memory(&TInstrumentTarget::MemStore), nullptr},
      {"*RCL", Memory(&TInstrumentTarget::MemRecall), nullptr},
      // ---- system ----
      {"SYSTem:ERRor[:NEXT]", nullptr, Answer([](TCommandContext& x) { return x.Registers.Errors.Pop(); })},
      {"SYSTem:ERRor:COUNt", nullptr,
       Answer([](TCommandContext& x) { return std::to_string(x.Registers.Errors.Size()); })},
      {"SYSTem:VERSion", nullptr, Answer([](TCommandContext&) { return std::string("1999.0"); })},
      // ---- output ----
      {"OUTPut[:STATe]", SetOutput, Answer([](TCommandContext& x) { return std::string(x.Target.Status().Playing ? "1" : "0"); })},
      {"OUTPut:PAUSe", SetPause, Answer([](TCommandContext& x) { return std::string(x.Target.Status().Paused ? "1" : "0"); })},
      ChoiceCommand("OUTPut:MODE", C::ChannelMode, {"MONO", "STEReo"}),
      SwitchCommand("OUTPut:COUPle", C::RightAsLeft),
      FieldCommand("OUTPut:DURation", C::Duration),
      SwitchCommand("OUTPut:LOOP", C::Loop),
      SwitchCommand("OUTPut:SYNC", C::Sync),
      NumberListCommand("OUTPut:RATE", C::SampleRate, {"HZ"}),
      NumberListCommand("OUTPut:BITS", C::Bits, {}),
      NumberListCommand("OUTPut:BUFFer[:SIZE]", C::BufferSize, {}),
      NumberListCommand("OUTPut:BUFFer:COUNt", C::BufferCount, {}),
      DeviceCommand("OUTPut:DEVice"),
      {"OUTPut:DEVice:NAME", nullptr,
       Answer([](TCommandContext& x) {
         const auto entries = x.Target.Entries(C::Device, 0);
         const int32_t i = x.Target.Selected(C::Device, 0);
         return QuotedText(i >= 0 && static_cast<size_t>(i) < entries.size() ? entries[static_cast<size_t>(i)] : "");
       })},
      {"OUTPut:DEVice:CATalog", nullptr,
       Answer([](TCommandContext& x) { return CatalogOf(x.Target.Entries(C::Device, 0)); })},
      OutputChannelCommand("OUTPut:LEFT", 0),
      OutputChannelCommand("OUTPut:RIGHt", 1),
      {"OUTPut:CHANnel:CATalog", nullptr,
       Answer([](TCommandContext& x) { return CatalogOf(x.Target.Entries(C::Output, 0)); })},
      // ---- one channel ----
      SwitchCommand("[SOURce#]:CHANnel[:STATe]", C::ChannelOn),
      ChoiceCommand("[SOURce#]:NOISe[:TYPE]", C::NoiseType, {"WHITe", "PINK"}),
      NumberListCommand("[SOURce#]:NOISe:CRESt", C::CrestFactor, {}),
      FieldCommand("[SOURce#]:VOLTage[:LEVel][:IMMediate][:AMPLitude]", C::Level),
      ChoiceCommand("[SOURce#]:FILTer:TYPE", C::FilterType, {"NONE", "PEAKing", "HPASs", "LPASs", "BPASs", "NOTCh"}),
      FieldCommand("[SOURce#]:FILTer:FREQuency", C::FilterFrequency),
      FieldCommand("[SOURce#]:FILTer:GAIN", C::FilterGain),
      FieldCommand("[SOURce#]:FILTer:Q", C::FilterQ),
      SwitchCommand("[SOURce#]:AM[:STATe]", C::Modulation),
      ChoiceCommand("[SOURce#]:AM:FUNCtion", C::ModFunction, {"SINusoid", "COSine", "SQUare", "TRIangle"}),
      FieldCommand("[SOURce#]:AM:PERiod", C::ModPeriod),
      FieldCommand("[SOURce#]:AM:DEPTh", C::ModDepth),
      FieldCommand("[SOURce#]:AM:PHASe", C::ModPhase),
      // ---- files ----
      {"MMEMory:LOAD:STATe", LoadState, nullptr},
      // ---- status of the output ----
      {"FETCh#:RMS", nullptr, Answer([](TCommandContext& x) { return Level(x.Target.Status().RmsDb[MeterChannel(x)]); })},
      {"FETCh#:PEAK", nullptr, Answer([](TCommandContext& x) { return Level(x.Target.Status().PeakDb[MeterChannel(x)]); })},
      {"FETCh#:CRESt", nullptr, Answer([](TCommandContext& x) { return Level(x.Target.Status().Crest[MeterChannel(x)]); })},
      {"FETCh#:CLIPped", nullptr,
       Answer([](TCommandContext& x) { return std::to_string(x.Target.Status().Clipped[MeterChannel(x)]); })},
      {"FETCh:CHANnels", nullptr, Answer([](TCommandContext& x) { return std::to_string(x.Target.Status().Channels); })},
      {"FETCh:DROPouts[:COUNt]", nullptr, Answer([](TCommandContext& x) { return std::to_string(x.Target.Status().Dropouts); })},
      {"FETCh:DROPouts:TIME", nullptr, Answer([](TCommandContext& x) { return NumberText(x.Target.Status().DropoutSeconds); })},
      {"FETCh:DEVice[:STATe]", nullptr,
       Answer([](TCommandContext& x) {
         const TInstrumentStatus s = x.Target.Status();
         return std::string(s.DeviceLost ? "LOST" : s.Playing ? "OPEN" : "CLOSED");
       })},
      {"FETCh:TIME", nullptr, Answer([](TCommandContext& x) { return NumberText(x.Target.Status().ElapsedSeconds); })},
  };
}

}  // namespace

const std::vector<TCommandEntry>& CommandTable() {
  static const std::vector<TCommandEntry> table = BuildTable();
  return table;
}
