#pragma once
// The services a generator window is created with. Each must outlive the window.

#include "engine/NumberFormat.h"

#include <filesystem>

class TApplication;
class TClock;
class TDialogs;
class THotKey;
class TScreenSaver;
class TMessageLoop;
class TSettingsStore;
class TShell;
class TWaveOutDevice;

struct TGeneratorServices {
  TApplication& Application;
  TMessageLoop& Loop;
  TDialogs& Dialogs;
  TShell& Shell;
  TClock& Clock;
  TWaveOutDevice& WaveOut;
  /// The settings that survive a restart (and the "don't ask again" flags).
  TSettingsStore& Settings;
  TNumberFormat Format;
  /// The global ON/OFF key and the screensaver hold-off; null means the
  /// desktop offers neither (a headless program, most tests).
  THotKey* HotKey = nullptr;
  TScreenSaver* ScreenSaver = nullptr;
  /// Where the output's events are appended (TEventLog::DefaultFile() in the
  /// program); empty keeps them in the Event Log window only.
  std::filesystem::path EventLogFile = {};
};
