#pragma once
// The device outputs Left and Right play on, as the output settings offer,
// store and check them before a start.

#include "platform/WaveOutDevice.h"

#include <cstddef>
#include <string>
#include <vector>

/// The entries of an output list for a device with channelNames; a device
/// that cannot tell offers the first two by number.
std::vector<std::string> OutputListEntries(const std::vector<std::string>& channelNames);

/// The list entry that shows output (1-based, 0 for the default at
/// defaultIndex) on a list of entryCount entries.
int32_t OutputListIndex(uint16_t output, int32_t defaultIndex, size_t entryCount);

/// chosen as it can play on a device of deviceChannels outputs (0: the
/// device cannot tell, chosen stays): an output the device no longer has
/// takes its default, and note says so; only Left counts in mono.
TOutputChannels UsableOutputs(TOutputChannels chosen, size_t deviceChannels, bool stereo, std::string& note);

/// A device list entry: the name, with the number of outputs when there are more than two.
std::string DeviceListEntry(const std::string& name, size_t outputs);
/// The device name of a device list entry.
std::string DeviceNameOfEntry(const std::string& entry);
