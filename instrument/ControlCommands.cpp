#include "instrument/ControlCommands.h"

#include "engine/ChannelFilter.h"
#include "engine/Numbers.h"
#include "instrument/ScpiValues.h"

#include <cfloat>
#include <cmath>
#include <charconv>

namespace {

using C = TInstrumentControl;

/// The rule's range; an unbounded side ends at the largest 32-bit float, as the field's texts do.
TNumericRange RangeOf(const TFieldRule& rule, std::vector<std::string> units) {
  const auto bounded = [](float v) { return std::isfinite(v) ? v : std::copysign(FLT_MAX, v); };
  return {bounded(rule.Minimum), bounded(rule.Maximum), rule.Default, false, std::move(units)};
}

TNumericRange FieldRange(C field, const TInstrumentTarget& target) {
  switch (field) {
    case C::Duration: return RangeOf(DurationRule, {"S"});
    case C::Level: return RangeOf(AmplitudeRule, {"DB", "DBFS"});
    case C::FilterFrequency: return RangeOf(FilterFrequencyRule(target.SampleRate()), {"HZ"});
    case C::FilterGain: return {-MaxFilterGainDb, MaxFilterGainDb, FilterGainRule.Default, false, {"DB"}};
    case C::FilterQ: return RangeOf(FilterQRule, {});
    case C::ModPeriod: return {0, FLT_MAX, 1, true, {"S"}};  // a period must be above 0
    case C::ModDepth: return RangeOf(ModDepthRule, {"PCT"});
    case C::ModPhase: return RangeOf(ModPhaseRule, {"DEG"});
    default: return {};
  }
}

bool Refuse(TCommandContext& x, int code, const std::string& detail = {}) {
  x.Registers.Report(code, detail);
  return false;
}

/// A number or word, not a string, was given; else -104 is reported.
bool NotString(TCommandContext& x) { return !x.Parameters[0].Quoted || Refuse(x, -104, "a string was given"); }

bool Usable(TCommandContext& x, C control) {
  return x.Target.Enabled(control, x.Channel) || Refuse(x, -221, "the control is disabled now");
}

/// The answer for a query that may carry MIN, MAX or DEF; false (reported) for another parameter.
bool AnswerLimit(TCommandContext& x, const TNumericRange& range) {
  if (x.Parameters.empty()) return false;
  if (x.Parameters.size() > 1) return !Refuse(x, -108);
  const TNumericValue v = ReadNumeric(x.Parameters[0].Text, range);
  const bool limit = MatchesKeyword("MINimum", x.Parameters[0].Text) ||
                     MatchesKeyword("MAXimum", x.Parameters[0].Text) ||
                     MatchesKeyword("DEFault", x.Parameters[0].Text);
  if (!limit) return !Refuse(x, -224, x.Parameters[0].Text);
  x.Answer = NumberText(v.Value);
  return true;
}

/// The number an entry starts with ("1.42" of "1.42:1"); nothing when it has none.
std::optional<double> EntryNumber(const std::string& entry) {
  double value = 0;
  const auto result = std::from_chars(entry.data(), entry.data() + entry.size(), value);
  if (result.ec != std::errc()) return std::nullopt;
  return value;
}

/// Selects index unless it is selected already (a list does not react to its own entry).
void SelectEntry(TCommandContext& x, C list, int32_t index) {
  if (x.Target.Selected(list, x.Channel) != index) x.Target.Select(list, x.Channel, index);
}

}  // namespace

bool ExpectParameters(TCommandContext& x, size_t count) {
  if (x.Parameters.size() < count) return Refuse(x, -109);
  if (x.Parameters.size() > count) return Refuse(x, -108);
  return true;
}

TCommandEntry FieldCommand(std::string pattern, C field) {
  return {std::move(pattern),
          [field](TCommandContext& x) {
            if (!ExpectParameters(x, 1) || !NotString(x)) return;
            const TNumericValue v = ReadNumeric(x.Parameters[0].Text, FieldRange(field, x.Target));
            if (v.Error) return void(Refuse(x, v.Error, v.Detail));
            if (Usable(x, field)) x.Target.SetNumber(field, x.Channel, v.Value);
          },
          [field](TCommandContext& x) {
            if (AnswerLimit(x, FieldRange(field, x.Target)) || !x.Parameters.empty()) return;
            const auto value = x.Target.Number(field, x.Channel);
            x.Answer = value ? NumberText(*value) : "9.91e+37";  // SCPI's "not a number"
          }};
}

TCommandEntry SwitchCommand(std::string pattern, C box) {
  return {std::move(pattern),
          [box](TCommandContext& x) {
            if (!ExpectParameters(x, 1)) return;
            const auto on = ReadBoolean(x.Parameters[0].Text);
            if (!on || x.Parameters[0].Quoted) return void(Refuse(x, -224, x.Parameters[0].Text));
            if (Usable(x, box)) x.Target.SetChecked(box, x.Channel, *on);
          },
          [box](TCommandContext& x) {
            if (ExpectParameters(x, 0)) x.Answer = std::string(1, x.Target.Checked(box, x.Channel) ? '1' : '0');
          }};
}

TCommandEntry ChoiceCommand(std::string pattern, C list, std::vector<std::string> keywords) {
  return {std::move(pattern),
          [list, keywords](TCommandContext& x) {
            if (!ExpectParameters(x, 1)) return;
            const auto index = ReadChoice(x.Parameters[0].Text, keywords);
            if (!index || x.Parameters[0].Quoted) return void(Refuse(x, -224, x.Parameters[0].Text));
            if (Usable(x, list)) SelectEntry(x, list, static_cast<int32_t>(*index));
          },
          [list, keywords](TCommandContext& x) {
            if (!ExpectParameters(x, 0)) return;
            const int32_t index = x.Target.Selected(list, x.Channel);
            x.Answer = index >= 0 && static_cast<size_t>(index) < keywords.size()
                           ? ShortForm(keywords[static_cast<size_t>(index)])
                           : "NONE";
          }};
}

TCommandEntry NumberListCommand(std::string pattern, C list, std::vector<std::string> units) {
  return {std::move(pattern),
          [list, units](TCommandContext& x) {
            if (!ExpectParameters(x, 1) || !NotString(x)) return;
            const std::vector<std::string> entries = x.Target.Entries(list, x.Channel);
            TNumericRange range{FLT_MAX, -FLT_MAX, 0, false, units};
            for (const std::string& e : entries) {
              const auto n = EntryNumber(e);
              if (!n) continue;
              range.Min = std::min<long double>(range.Min, *n);
              range.Max = std::max<long double>(range.Max, *n);
            }
            range.Default = range.Min;
            const TNumericValue v = ReadNumeric(x.Parameters[0].Text, range);
            if (v.Error) return void(Refuse(x, v.Error, v.Detail));
            for (size_t i = 0; i < entries.size(); ++i) {
              const auto n = EntryNumber(entries[i]);
              if (n && std::fabs(*n - v.Value) <= 1e-9L * std::max(1.0L, std::fabs(v.Value))) {
                if (Usable(x, list)) SelectEntry(x, list, static_cast<int32_t>(i));
                return;
              }
            }
            Refuse(x, -224, x.Parameters[0].Text);
          },
          [list](TCommandContext& x) {
            if (!ExpectParameters(x, 0)) return;
            const std::vector<std::string> entries = x.Target.Entries(list, x.Channel);
            const int32_t index = x.Target.Selected(list, x.Channel);
            const auto n = index >= 0 && static_cast<size_t>(index) < entries.size()
                               ? EntryNumber(entries[static_cast<size_t>(index)])
                               : std::nullopt;
            x.Answer = n ? NumberText(*n) : "9.91e+37";
          }};
}

namespace {
/// A list chosen by the number of its entry, counted from first; channel
/// fixes the list's channel, or -1 takes the header's.
TCommandEntry EntryNumberCommand(std::string pattern, C list, int32_t first, int channel) {
  return {std::move(pattern),
          [=](TCommandContext& x) {
            if (channel >= 0) x.Channel = channel;
            if (!ExpectParameters(x, 1) || !NotString(x)) return;
            const auto count = static_cast<long double>(x.Target.Entries(list, x.Channel).size());
            const TNumericValue v = ReadNumeric(x.Parameters[0].Text, {static_cast<long double>(first),
                                                                        count - 1 + first, static_cast<long double>(first), false, {}});
            if (v.Error) return void(Refuse(x, v.Error, v.Detail));
            if (v.Value != std::floor(v.Value)) return void(Refuse(x, -224, x.Parameters[0].Text));
            if (Usable(x, list)) SelectEntry(x, list, static_cast<int32_t>(v.Value) - first);
          },
          [=](TCommandContext& x) {
            if (channel >= 0) x.Channel = channel;
            if (ExpectParameters(x, 0)) x.Answer = std::to_string(x.Target.Selected(list, x.Channel) + first);
          }};
}
}  // namespace

TCommandEntry DeviceCommand(std::string pattern) { return EntryNumberCommand(std::move(pattern), C::Device, 0, 0); }

TCommandEntry OutputChannelCommand(std::string pattern, int channel) {
  return EntryNumberCommand(std::move(pattern), C::Output, 1, channel);
}
