#pragma once
// The fake services a generator window is created with, declared in the
// order they must be built (the application reports through the dialogs).

#include "app/Application.h"
#include "engine/NumberFormat.h"
#include "persistence/MemorySettingsStore.h"
#include "tests/fakes/FakeDialogs.h"
#include "tests/fakes/FakeMessageLoop.h"
#include "tests/fakes/FakeShell.h"
#include "tests/fakes/FakeWaveOutDevice.h"

struct TFakeServices {
  TFakeMessageLoop Loop;
  TFakeDialogs Dialogs;
  TFakeShell Shell;
  TFakeWaveOutDevice Device;
  TMemorySettingsStore Store;
  TApplication App{Dialogs};
  TNumberFormat Format{'.'};
};
