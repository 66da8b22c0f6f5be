#pragma once
// The settings store: the program's one key of typed, named values that
// survive from one run to the next. A TSettingsStore keeps the values (a file,
// or memory); a TSettingsKey is one open use of the key, with the reads and
// writes the windows make. The writes of one key take effect together when it
// is closed, so a whole store operation is a single update of the store.

#include <cctype>
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

/// A stored value: a 32-bit number (DWORD) or a text.
struct TSettingsValue {
  enum class TType { DWord, Text };
  TType Type = TType::DWord;
  uint32_t DWord = 0;
  std::string Text;

  static TSettingsValue OfDWord(uint32_t value) { return {TType::DWord, value, {}}; }
  static TSettingsValue OfText(std::string value) { return {TType::Text, 0, std::move(value)}; }
  bool operator==(const TSettingsValue&) const = default;
};

/// Orders value names without regard to (ASCII) letter case.
struct TNameLess {
  bool operator()(std::string_view a, std::string_view b) const;
  using is_transparent = void;
};

/// The values of the key by name; "mono" and "Mono" are one name.
using TSettingsValues = std::map<std::string, TSettingsValue, TNameLess>;

/// A failed read or write of a value; what() is the text shown to the user.
class TSettingsError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TSettingsStore {
public:
  virtual ~TSettingsStore() = default;
  /// True when the key exists.
  virtual bool KeyExists() = 0;
  /// The key's values as they are now; nothing when the key does not exist.
  virtual std::optional<TSettingsValues> Read() = 0;
  /// Sets the given values in one step, creating the key when missing; other
  /// values keep what they hold. False when nothing could be stored.
  virtual bool Merge(const TSettingsValues& changes) = 0;
  /// Empty, or the report of a store that keeps its values where it cannot
  /// read them in full and therefore stores nothing: the program tells the
  /// user once, when its main window closes, instead of at every refused write.
  virtual std::string KeptFileReport() const { return {}; }
  /// Where the values are kept, for messages: the file's path, or a short description.
  virtual std::string Location() const { return "the settings in memory"; }
};

enum class TKeyAccess { OpenExisting, Create };

/// One open use of the key. Reads see the values as they were when it was
/// opened, plus its own writes; the writes reach the store on Close.
class TSettingsKey {
public:
  /// With OpenExisting an absent key stays closed: every read of a DWORD
  /// fails, texts read empty, writes fail.
  TSettingsKey(TSettingsStore& store, TKeyAccess access);
  /// Closes the key if still open; a failure to store is dropped here.
  ~TSettingsKey();
  TSettingsKey(const TSettingsKey&) = delete;
  TSettingsKey& operator=(const TSettingsKey&) = delete;

  bool IsOpen() const { return FOpen; }
  bool ValueExists(const std::string& name) const;
  /// Throws "Failed to get data for '<name>'" when missing, "Invalid data
  /// type for '<name>'" when the value is a text.
  uint32_t ReadDWord(const std::string& name) const;
  /// A DWORD as a signed list index (0xFFFFFFFF is -1).
  int32_t ReadInteger(const std::string& name) const { return static_cast<int32_t>(ReadDWord(name)); }
  /// A DWORD flag: true when nonzero.
  bool ReadBool(const std::string& name) const { return ReadDWord(name) != 0; }
  /// "" when missing; throws "Invalid data type for '<name>'" for a DWORD.
  std::string ReadString(const std::string& name) const;

  /// Throws "Failed to set data for '<name>'" when the key is not open.
  void WriteDWord(const std::string& name, uint32_t value);
  void WriteInteger(const std::string& name, int32_t value) { WriteDWord(name, static_cast<uint32_t>(value)); }
  void WriteBool(const std::string& name, bool value) { WriteDWord(name, value ? 1 : 0); }
  void WriteString(const std::string& name, const std::string& value);

  /// Stores this key's writes in one step and closes it. Throws "Failed to
  /// set data for '<name>'", naming the first value written, when the store
  /// refuses them; then none of them is stored.
  void Close();

private:
  void Write(const std::string& name, TSettingsValue value);
  const TSettingsValue* Find(const std::string& name) const;

  TSettingsStore& FStore;
  bool FOpen = false;
  TSettingsValues FValues;
  TSettingsValues FChanges;
  std::string FFirstWritten;
};

// ---------------------------------------------------------------------------

inline bool TNameLess::operator()(std::string_view a, std::string_view b) const {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    int ca = std::tolower(static_cast<unsigned char>(a[i]));
    int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb;
  }
  return a.size() < b.size();
}

inline TSettingsKey::TSettingsKey(TSettingsStore& store, TKeyAccess access) : FStore(store) {
  auto values = store.Read();
  FOpen = values.has_value() || access == TKeyAccess::Create;
  if (values) FValues = std::move(*values);
}

inline TSettingsKey::~TSettingsKey() {
  try {
    if (FOpen) Close();
  } catch (const TSettingsError&) {
  }
}

inline const TSettingsValue* TSettingsKey::Find(const std::string& name) const {
  auto it = FValues.find(name);
  return FOpen && it != FValues.end() ? &it->second : nullptr;
}

inline bool TSettingsKey::ValueExists(const std::string& name) const { return Find(name) != nullptr; }

inline uint32_t TSettingsKey::ReadDWord(const std::string& name) const {
  const TSettingsValue* value = Find(name);
  if (!value) throw TSettingsError("Failed to get data for '" + name + "'");
  if (value->Type != TSettingsValue::TType::DWord) throw TSettingsError("Invalid data type for '" + name + "'");
  return value->DWord;
}

inline std::string TSettingsKey::ReadString(const std::string& name) const {
  const TSettingsValue* value = Find(name);
  if (!value) return {};
  if (value->Type != TSettingsValue::TType::Text) throw TSettingsError("Invalid data type for '" + name + "'");
  return value->Text;
}

inline void TSettingsKey::Write(const std::string& name, TSettingsValue value) {
  if (!FOpen) throw TSettingsError("Failed to set data for '" + name + "'");
  if (FChanges.empty()) FFirstWritten = name;
  FValues.insert_or_assign(name, value);
  FChanges.insert_or_assign(name, std::move(value));
}

inline void TSettingsKey::WriteDWord(const std::string& name, uint32_t value) {
  Write(name, TSettingsValue::OfDWord(value));
}

inline void TSettingsKey::WriteString(const std::string& name, const std::string& value) {
  Write(name, TSettingsValue::OfText(value));
}

inline void TSettingsKey::Close() {
  if (!FOpen) return;
  FOpen = false;
  if (FChanges.empty()) return;
  bool stored = FStore.Merge(FChanges);
  FChanges.clear();
  if (!stored) throw TSettingsError("Failed to set data for '" + FFirstWritten + "'");
}
