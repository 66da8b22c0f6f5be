#pragma once
// The commands that stand for a control: a numeric field, a switch, a list
// of named entries or a list of numbers. A set checks its value first: a
// value out of range (-222), a word the list does not know (-224) or a
// disabled control (-221) changes nothing.

#include "instrument/CommandTable.h"

/// Exactly count parameters, else -109 (missing) or -108 (too many) is reported.
bool ExpectParameters(TCommandContext& x, size_t count);

TCommandEntry FieldCommand(std::string pattern, TInstrumentControl field);
TCommandEntry SwitchCommand(std::string pattern, TInstrumentControl box);
/// keywords name the list's entries in their order ("WHITe", "PINK").
TCommandEntry ChoiceCommand(std::string pattern, TInstrumentControl list, std::vector<std::string> keywords);
/// A list whose entries are numbers ("44100", "1.42:1"); units as in TNumericRange.
TCommandEntry NumberListCommand(std::string pattern, TInstrumentControl list, std::vector<std::string> units);
/// The device list by index (0 "System Default").
TCommandEntry DeviceCommand(std::string pattern);
/// The device output a channel (0 left, 1 right) plays on, by number (1 the first).
TCommandEntry OutputChannelCommand(std::string pattern, int channel);
