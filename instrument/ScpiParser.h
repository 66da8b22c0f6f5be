#pragma once
// The syntax of a program message: one line of commands and queries
// separated by ";". Each has a header (a common command "*RST", or nodes
// "SOURce1:FILTer:FREQuency", optionally rooted by a leading ":"), an optional
// "?" and parameters separated by ",": quoted strings ('...' or "...", the
// quote doubled inside) or plain tokens ("1 kHz", "MAX", "ON"). Headers are
// returned in capitals, so later matching is case-insensitive.

#include <string>
#include <string_view>
#include <vector>

struct TScpiParameter {
  std::string Text;     ///< a token as written (blanks around it removed), or a string's contents
  bool Quoted = false;  ///< a string parameter
};

struct TScpiCommand {
  bool Common = false;             ///< "*IDN?" and the other IEEE 488.2 commands
  bool Rooted = false;             ///< the header began with ":"
  std::vector<std::string> Nodes;  ///< in capitals, with any numeric suffix ("SOUR1"); "*IDN" for a common command
  bool Query = false;
  std::vector<TScpiParameter> Parameters;
};

/// One part of a line: a command, or the error that made it unreadable.
struct TScpiUnit {
  TScpiCommand Command;
  int Error = 0;       ///< 0, or the error code (-102 syntax error)
  std::string Detail;  ///< what was wrong, for the error queue
};

/// Splits a line into its commands; an unreadable one gives an error unit
/// and ends the line there, as the rest cannot be trusted. Empty parts are skipped.
std::vector<TScpiUnit> ParseProgramMessage(std::string_view line);

/// Applies the rule of compound headers: a command that does not begin with
/// ":" or "*" continues below the path of the command before it on the line
/// (its nodes without the last). path is that path, updated for the next command.
std::vector<std::string> ResolveHeader(const TScpiCommand& command, std::vector<std::string>& path);
