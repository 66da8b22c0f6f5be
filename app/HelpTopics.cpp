#include "app/HelpTopics.h"

namespace {

constexpr THelpTopic Topics[] = {
    {HelpContextMainWindow, "main-window.html"},
    {HelpContextOutputSettings, "output-settings.html"},
    {HelpContextScripts, "scripts.html"},
    {HelpContextFileMenu, "file-menu.html"},
    {HelpContextPresetsMenu, "presets-menu.html"},
    {HelpContextResponse, "meter-and-response.html"},
    {HelpContextIntroduction, "introduction.html"},
    {HelpContextCrestFactor, "crest-factor-and-rms.html"},
    {HelpContextReferenceNoise, "reference-noise.html"},
};

}  // namespace

std::span<const THelpTopic> HelpTopics() { return Topics; }

const char* HelpTopicFile(int context) {
  for (const THelpTopic& topic : Topics)
    if (topic.Context == context) return topic.File;
  return nullptr;
}
