#include "instrument/InstrumentSettings.h"

#include "platform/SettingsStore.h"

#include <arpa/inet.h>
#include <charconv>

namespace {

constexpr const char* EnabledValue = "ScpiEnabled";
constexpr const char* PortValue = "ScpiPort";
constexpr const char* NetworkValue = "ScpiNetwork";
constexpr const char* AllowedValue = "ScpiAllowedClients";
constexpr const char* FolderValue = "ScpiPresetFolder";

std::optional<uint16_t> ParsePort(std::string_view text) {
  unsigned value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || value < 1 || value > 65535)
    return std::nullopt;
  return static_cast<uint16_t>(value);
}

bool IsAddress(const std::string& text) {
  in6_addr buffer{};
  return inet_pton(AF_INET, text.c_str(), &buffer) == 1 || inet_pton(AF_INET6, text.c_str(), &buffer) == 1;
}

}  // namespace

TInstrumentSettings LoadInstrumentSettings(TSettingsStore& store) {
  TInstrumentSettings s;
  const TSettingsKey key(store, TKeyAccess::OpenExisting);
  const auto dword = [&key](const char* name) -> std::optional<uint32_t> {
    try {
      if (key.ValueExists(name)) return key.ReadDWord(name);
    } catch (const TSettingsError&) {
    }
    return std::nullopt;
  };
  const auto text = [&key](const char* name) -> std::string {
    try {
      return key.ReadString(name);
    } catch (const TSettingsError&) {
      return {};
    }
  };
  if (auto v = dword(EnabledValue)) s.Enabled = *v != 0;
  if (auto v = dword(PortValue); v && *v >= 1 && *v <= 65535) s.Port = static_cast<uint16_t>(*v);
  if (auto v = dword(NetworkValue)) s.Network = *v != 0;
  s.AllowedClients = text(AllowedValue);
  s.PresetFolder = text(FolderValue);
  return s;
}

bool StoreInstrumentSettings(TSettingsStore& store, const TInstrumentSettings& s) {
  try {
    TSettingsKey key(store, TKeyAccess::Create);
    key.WriteBool(EnabledValue, s.Enabled);
    key.WriteDWord(PortValue, s.Port);
    key.WriteBool(NetworkValue, s.Network);
    key.WriteString(AllowedValue, s.AllowedClients);
    key.WriteString(FolderValue, s.PresetFolder);
    key.Close();
    return true;
  } catch (const TSettingsError&) {
    return false;
  }
}

std::variant<std::vector<std::string>, std::string> ParseAllowedClients(const std::string& text) {
  std::vector<std::string> addresses;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find_first_of(" \t,;", pos);
    const std::string entry = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    if (!entry.empty()) {
      if (!IsAddress(entry)) return "'" + entry + "' is not an IP address";
      addresses.push_back(entry);
    }
    if (end == std::string::npos) break;
    pos = end + 1;
  }
  return addresses;
}

TScpiOption TakeScpiOption(const std::vector<std::string>& args) {
  TScpiOption option;
  for (const std::string& a : args) {
    if (a == "--scpi") {
      option.Given = true;
    } else if (a.starts_with("--scpi=")) {
      option.Given = true;
      option.Port = ParsePort(std::string_view(a).substr(7));
      if (!option.Port) option.Error = "--scpi=PORT needs a port from 1 to 65535, not '" + a.substr(7) + "'";
    } else {
      option.Rest.push_back(a);
    }
  }
  return option;
}

std::string InstrumentStatusText(bool listening, uint16_t port, int clients) {
  if (!listening) return {};
  std::string text = "SCPI :" + std::to_string(port);
  if (clients == 1) text += " - 1 client";
  if (clients > 1) text += " - " + std::to_string(clients) + " clients";
  return text;
}
