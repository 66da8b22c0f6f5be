#pragma once
// zephyra-render's commands for the reference noise (engine/ReferenceNoise.h):
//   --reference st2095 OUT.wav [--rate R] [--bits 16|24] [--seconds S] [--channels 1|2] [--stats]
//   --check st2095 FILE.wav

#include <ostream>
#include <string>
#include <vector>

/// The command line names one of the reference commands.
bool IsReferenceCommand(const std::vector<std::string>& args);

/// Runs the reference command of args; results go to out, messages to err.
/// Writing: 0 written, 1 failed, 2 bad command line (also a rate the
/// reference does not cover). Checking: 0 every figure passes, 1 one fails,
/// 2 the file cannot be read or the command line is bad.
int RunReferenceCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// The use lines of the reference commands, after the renderer's own.
std::string ReferenceUsage();
/// What the reference commands do, at the end of the use text.
std::string ReferenceHelp();
