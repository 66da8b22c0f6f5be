#pragma once
// The help topics: which HTML file in the help folder serves which help
// context. This table is the one place that maps context numbers to files.

#include <span>

struct THelpTopic {
  int Context;
  /// File name inside the help folder.
  const char* File;
};

/// Context numbers the program asks for.
inline constexpr int HelpContextMainWindow = 1;
inline constexpr int HelpContextOutputSettings = 2;
inline constexpr int HelpContextScripts = 4;
inline constexpr int HelpContextFileMenu = 5;
inline constexpr int HelpContextPresetsMenu = 6;
/// The Response window and the meter.
inline constexpr int HelpContextResponse = 7;
inline constexpr int HelpContextIntroduction = 10;
/// The crest factor and RMS topic, the local stand-in for a reference page.
inline constexpr int HelpContextCrestFactor = 20;
/// The reference noise window and the loudspeaker calibration it serves.
inline constexpr int HelpContextReferenceNoise = 21;

/// Every topic the program can open.
std::span<const THelpTopic> HelpTopics();
/// The file of context's topic, or null when no topic serves it.
const char* HelpTopicFile(int context);
