#pragma once
// The fuzz targets. Each takes one input, runs it through the path a user's
// data takes, and aborts with a message on stderr when a property it checks
// does not hold (a crash or a sanitizer report is a finding as well).
// libFuzzer drives them under `./dev fuzz`; every `./dev test` replays the
// checked-in corpus (fuzz/corpus/<target>/) through them.

#include <cstddef>
#include <cstdint>

/// Number texts: the strict parser, Cleanup with every field rule, the
/// modulation period rule, in both decimal separators.
int FuzzNumbers(const uint8_t* data, size_t size);
/// A preset file: load, recall of each memory, preparation and a WAV export
/// (at most a few thousand frames, so that no input makes a run slow). A
/// byte after the 16581 of the file chooses the sample rate and width.
int FuzzPresetFile(const uint8_t* data, size_t size);
/// A settings file: read, merge of a few values (chosen by the first bytes)
/// and write, in memory and through the store's file.
int FuzzSettingsFile(const uint8_t* data, size_t size);

/// A network client's bytes (the first chooses how the stream is cut)
/// through the remote instrument's lines and sessions on the window logic.
int FuzzScpi(const uint8_t* data, size_t size);

/// The name of the input being replayed, for the failure message (may be null).
extern const char* FuzzInputName;

/// Prints what failed and aborts: a finding for the fuzzer, a crash for the replay.
[[noreturn]] void FuzzFailure(const char* what);
inline void FuzzCheck(bool ok, const char* what) {
  if (!ok) FuzzFailure(what);
}
