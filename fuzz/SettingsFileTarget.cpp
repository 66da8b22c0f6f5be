// A settings file as a person or another program may have left it, read,
// merged with the values of a run and written back.

#include "fuzz/FuzzTargets.h"
#include "persistence/RegFileFormat.h"
#include "persistence/RegFileStore.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

/// A folder of this process for the store's file, removed at exit.
const std::string& StorePath() {
  static const std::string path = [] {
    std::string folder = "/tmp/zephyra-fuzz-settings-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) FuzzFailure("cannot make a temporary folder");
    static const std::string remove = folder;
    std::atexit([] {
      ::unlink((remove + "/Zephyra.reg").c_str());
      ::unlink((remove + "/Zephyra.reg.lock").c_str());
      ::rmdir(remove.c_str());
    });
    return folder + "/Zephyra.reg";
  }();
  return path;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// Reads the changes of a run from the front of the input: a count, then per
/// change a name choice, a kind and the value (texts in printable ASCII, so
/// that what is stored is exactly what is read back).
TSettingsValues TakeChanges(const uint8_t*& data, size_t& size) {
  static const char* const names[] = {"Fs", "Duration", "Loop", "mono", "Mono", "AmplitudeLeft", "txtQL",
                                      "Welcome", "X y", "quote\"d", "back\\slash", "dword:1"};
  TSettingsValues changes;
  auto take = [&]() -> uint8_t {
    if (size == 0) return 0;
    --size;
    return *data++;
  };
  for (int count = take() % 6; count > 0; --count) {
    const std::string name = names[take() % std::size(names)];
    const uint8_t kind = take();
    if (kind & 1) {
      uint32_t value = 0;
      for (int i = 0; i < 4; ++i) value = (value << 8) | take();
      changes.insert_or_assign(name, TSettingsValue::OfDWord(value));
    } else {
      std::string text;
      for (int length = kind >> 3; length > 0; --length) text += static_cast<char>(0x20 + take() % 0x5F);
      changes.insert_or_assign(name, TSettingsValue::OfText(text));
    }
  }
  return changes;
}

/// The old values with the changes laid over them.
std::optional<TSettingsValues> Overlaid(std::optional<TSettingsValues> values, const TSettingsValues& changes) {
  if (changes.empty()) return values;
  if (!values) values.emplace();
  for (const auto& [name, value] : changes) (*values)[name] = value;
  return values;
}

bool IsChanged(const TRegDocument::TLine& line, const TSettingsValues& changes) {
  return line.Value && changes.contains(line.Value->first);
}

std::string_view WithoutBreak(std::string_view raw) {
  while (!raw.empty() && (raw.back() == '\n' || raw.back() == '\r')) raw.remove_suffix(1);
  return raw;
}

/// Every line the merge did not set is still there, in its order, as it was.
void CheckLinesKept(const TRegDocument& before, const TRegDocument& after, const TSettingsValues& changes) {
  const auto& newLines = after.Lines();
  size_t at = 0;
  for (const auto& line : before.Lines()) {
    if (IsChanged(line, changes)) continue;
    while (at < newLines.size() && (IsChanged(newLines[at], changes) ||
                                    WithoutBreak(newLines[at].Raw) != WithoutBreak(line.Raw)))
      ++at;
    FuzzCheck(at < newLines.size(), "a merge keeps every line it does not set");
    ++at;
  }
}

void CheckDocument(std::string_view text, const TSettingsValues& changes) {
  const TRegDocument before(text);
  TRegDocument after = before;
  after.Set(changes);
  const std::string written = after.Text();
  FuzzCheck(TRegDocument(written).Values() == Overlaid(before.Values(), changes),
            "a merge keeps every value it does not set and stores the ones it sets");
  CheckLinesKept(before, TRegDocument(written), changes);
}

void CheckStore(std::string_view text, const TSettingsValues& changes) {
  const std::string& path = StorePath();
  { std::ofstream(path, std::ios::binary | std::ios::trunc) << text; }
  TRegFileStore store(path);
  const auto values = store.Read();
  if (store.Merge(changes)) {
    FuzzCheck(store.KeptFileReport().empty(), "a stored merge reports no kept file");
    FuzzCheck(store.Read() == Overlaid(values, changes), "the stored file reads as the merged values");
  } else {
    FuzzCheck(!values, "a readable file is merged");
    FuzzCheck(!store.KeptFileReport().empty(), "a file kept as it is is reported");
    FuzzCheck(ReadAll(path) == text, "a file the store cannot read stays byte for byte");
  }
}

}  // namespace

int FuzzSettingsFile(const uint8_t* data, size_t size) {
  const TSettingsValues changes = TakeChanges(data, size);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckDocument(text, changes);
  CheckStore(text, changes);
  return 0;
}
