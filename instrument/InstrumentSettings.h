#pragma once
// The remote instrument's settings: off by default, port 5025, reachable from
// this computer only unless opened to the network (optionally only for a
// list of client addresses), and the folder preset files are loaded from.
// Stored with the program's other settings; "--scpi[=PORT]" turns the
// instrument on for one run.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

class TSettingsStore;

struct TInstrumentSettings {
  static constexpr uint16_t DefaultPort = 5025;
  /// More clients are refused.
  static constexpr int MaxClients = 8;

  bool Enabled = false;
  uint16_t Port = DefaultPort;
  /// false: 127.0.0.1 and ::1 only; true: every interface.
  bool Network = false;
  /// With Network: the client addresses let in, separated by blanks or
  /// commas; empty lets in everyone.
  std::string AllowedClients;
  std::string PresetFolder;
  bool operator==(const TInstrumentSettings&) const = default;
};

/// The stored settings; a value that is missing or unusable keeps its default.
TInstrumentSettings LoadInstrumentSettings(TSettingsStore& store);
/// Stores the settings; false when the store refused them.
bool StoreInstrumentSettings(TSettingsStore& store, const TInstrumentSettings& settings);

/// The allow list's addresses; an entry that is no IP address is the error text.
std::variant<std::vector<std::string>, std::string> ParseAllowedClients(const std::string& text);

/// The program's arguments with "--scpi" / "--scpi=PORT" taken out.
struct TScpiOption {
  bool Given = false;
  std::optional<uint16_t> Port;
  std::vector<std::string> Rest;  ///< the other arguments, in order
  std::string Error;              ///< a port that is not 1..65535
};
TScpiOption TakeScpiOption(const std::vector<std::string>& args);

/// What the window shows of the instrument: "" when off, "SCPI :5025",
/// "SCPI :5025 - 2 clients".
std::string InstrumentStatusText(bool listening, uint16_t port, int clients);
