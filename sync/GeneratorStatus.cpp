#include "sync/GeneratorStatus.h"

#include <algorithm>
#include <charconv>

TStatusFields StatusFields(const TGeneratorStatus& s) {
  TStatusFields fields = {
      {"playing", s.Playing},         {"paused", s.Paused},         {"sample_rate", s.SampleRate},
      {"buffer_count", s.BufferCount}, {"buffer_size", s.BufferSize}, {"dropouts", s.Dropouts},
      {"dropout_ms", s.DropoutMs},    {"device", std::string(s.DeviceLost ? "lost" : "ok")},
      {"left_output", s.LeftOutput},  {"rms_left", s.RmsDb[0]},     {"peak_left", s.PeakDb[0]},
  };
  if (s.Channels == 2) {
    fields.emplace_back("right_output", s.RightOutput);
    fields.emplace_back("rms_right", s.RmsDb[1]);
    fields.emplace_back("peak_right", s.PeakDb[1]);
  }
  return fields;
}

namespace {

/// Position of key in the fixed order; unknown keys after every known one.
size_t Rank(const std::string& key) {
  static const TStatusFields order = [] {
    TGeneratorStatus stereo;
    stereo.Channels = 2;
    return StatusFields(stereo);
  }();
  const auto known = std::find_if(order.begin(), order.end(), [&](const auto& f) { return f.first == key; });
  return static_cast<size_t>(known - order.begin());
}

struct TValueText {
  std::string operator()(bool b) const { return b ? "true" : "false"; }
  std::string operator()(const std::string& s) const { return s; }
  template <class TNumber>
  std::string operator()(TNumber v) const {
    char text[40];
    return {text, std::to_chars(text, text + sizeof text, v).ptr};
  }
};

}  // namespace

TStatusFields InStatusOrder(TStatusFields fields) {
  std::stable_sort(fields.begin(), fields.end(), [](const auto& a, const auto& b) {
    const size_t ra = Rank(a.first), rb = Rank(b.first);
    return ra != rb ? ra < rb : a.first < b.first;
  });
  return fields;
}

std::string StatusText(const TStatusFields& fields) {
  std::string text;
  for (const auto& [key, value] : fields) text += key + "=" + std::visit(TValueText{}, value) + "\n";
  return text;
}
