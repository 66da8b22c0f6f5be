#pragma once
// Readable definitions of preset files, for the files the build delivers
// beside the program. A definition has a [Defaults] section and the sections
// [Memory 1] to [Memory 4], each of "Key = Value" lines whose keys are the
// fields of a memory preset (kPresetTextFields, ...); a memory takes the
// defaults for every key it does not set. Lines starting with '#' are comments.
//
// A definition must give values that every build and every locale reads
// alike: list indexes within their lists, flags 0 or 1, numbers written with
// '.' (modulation values as integers), centre frequencies of at most 4000 Hz
// (valid at every sample rate) and printable ASCII names.

#include "persistence/PresetFile.h"

#include <stdexcept>
#include <string>
#include <string_view>

/// A fault in a definition; what() names the line ("line 12: ...").
class TDefinitionError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

/// The four presets a definition describes; throws TDefinitionError.
TPresetBank ParsePresetDefinition(std::string_view text);
