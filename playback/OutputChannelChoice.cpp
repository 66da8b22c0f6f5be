#include "playback/OutputChannelChoice.h"

#include <regex>

std::vector<std::string> OutputListEntries(const std::vector<std::string>& channelNames) {
  if (!channelNames.empty()) return channelNames;
  return {"1", "2"};
}

int32_t OutputListIndex(uint16_t output, int32_t defaultIndex, size_t entryCount) {
  const int32_t index = output == 0 ? defaultIndex : output - 1;
  if (index < static_cast<int32_t>(entryCount)) return index;
  return defaultIndex < static_cast<int32_t>(entryCount) ? defaultIndex : 0;
}

namespace {
uint16_t CheckOutput(uint16_t output, const char* side, size_t deviceChannels, std::string& note) {
  if (deviceChannels == 0 || output <= deviceChannels) return output;
  note += std::string(side) + " was set to play on output " + std::to_string(output) + ", which this device (" +
          std::to_string(deviceChannels) + " outputs) does not have; it plays on its default output.\r";
  return 0;
}
}  // namespace

TOutputChannels UsableOutputs(TOutputChannels chosen, size_t deviceChannels, bool stereo, std::string& note) {
  note.clear();
  TOutputChannels usable;
  usable.Left = CheckOutput(chosen.Left, "Left", deviceChannels, note);
  usable.Right = stereo ? CheckOutput(chosen.Right, "Right", deviceChannels, note) : chosen.Right;
  return usable;
}

std::string DeviceListEntry(const std::string& name, size_t outputs) {
  return outputs > 2 ? name + " (" + std::to_string(outputs) + " outputs)" : name;
}

std::string DeviceNameOfEntry(const std::string& entry) {
  static const std::regex suffix(R"( \([0-9]+ outputs\)$)");
  return std::regex_replace(entry, suffix, "");
}
