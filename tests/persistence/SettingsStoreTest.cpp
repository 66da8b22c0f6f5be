#include "persistence/MemorySettingsStore.h"
#include "persistence/RegFileFormat.h"
#include "persistence/RegFileStore.h"

#include "tests/persistence/ChildProcess.h"
#include "tests/persistence/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string ErrorOf(auto action) {
  try {
    action();
  } catch (const TSettingsError& e) {
    return e.what();
  }
  return "no error";
}

/// Counts the updates that reach the store.
class TCountingStore final : public TSettingsStore {
public:
  bool KeyExists() override { return FInner.KeyExists(); }
  std::optional<TSettingsValues> Read() override { return FInner.Read(); }
  bool Merge(const TSettingsValues& changes) override {
    ++Merges;
    return FInner.Merge(changes);
  }
  TMemorySettingsStore FInner;
  int Merges = 0;
};

TEST(SettingsKey, NamesAreComparedWithoutRegardToCase) {
  TMemorySettingsStore store;
  {
    TSettingsKey key(store, TKeyAccess::Create);
    key.WriteBool("mono", true);
    key.WriteInteger("Mono", 7);
  }
  TSettingsKey key(store, TKeyAccess::OpenExisting);
  EXPECT_TRUE(key.ValueExists("MONO"));
  EXPECT_EQ(key.ReadDWord("Mono"), 7u);
  EXPECT_EQ(store.Read()->size(), 1u);
}

TEST(SettingsKey, ReadsOfMissingValuesAndOtherTypesFailWithTheirTexts) {
  TMemorySettingsStore store({{"Fs", TSettingsValue::OfText("44100")}, {"Duration", TSettingsValue::OfDWord(10)}});
  TSettingsKey key(store, TKeyAccess::OpenExisting);
  EXPECT_EQ(ErrorOf([&] { key.ReadDWord("Buffers"); }), "Failed to get data for 'Buffers'");
  EXPECT_EQ(ErrorOf([&] { key.ReadBool("Fs"); }), "Invalid data type for 'Fs'");
  EXPECT_EQ(ErrorOf([&] { key.ReadString("Duration"); }), "Invalid data type for 'Duration'");
  EXPECT_EQ(key.ReadString("txtQL"), "");
  EXPECT_EQ(key.ReadString("FS"), "44100");
}

TEST(SettingsKey, ListIndexMinusOneRoundTrips) {
  TMemorySettingsStore store;
  TSettingsKey(store, TKeyAccess::Create).WriteInteger("WaveDevice", -1);
  EXPECT_EQ(store.Read()->at("WaveDevice").DWord, 0xFFFFFFFFu);
  EXPECT_EQ(TSettingsKey(store, TKeyAccess::OpenExisting).ReadInteger("WaveDevice"), -1);
}

TEST(SettingsKey, AnAbsentKeyOpenedWithoutCreatingFailsEveryReadAndWrite) {
  TMemorySettingsStore store;
  TSettingsKey key(store, TKeyAccess::OpenExisting);
  EXPECT_FALSE(key.IsOpen());
  EXPECT_EQ(ErrorOf([&] { key.ReadDWord("WaveDevice"); }), "Failed to get data for 'WaveDevice'");
  EXPECT_EQ(key.ReadString("Duration"), "");
  EXPECT_EQ(ErrorOf([&] { key.WriteBool("Welcome", true); }), "Failed to set data for 'Welcome'");
  EXPECT_FALSE(store.KeyExists());
}

TEST(SettingsKey, AStoreOperationReachesTheStoreAsOneUpdateWhenClosed) {
  TCountingStore store;
  TSettingsKey key(store, TKeyAccess::Create);
  key.WriteString("AmplitudeLeft", "-6");
  key.WriteBool("Loop", true);
  EXPECT_EQ(key.ReadString("amplitudeleft"), "-6");  // its own writes are visible at once
  EXPECT_FALSE(store.KeyExists());
  key.Close();
  EXPECT_EQ(store.Merges, 1);
  EXPECT_EQ(store.Read()->size(), 2u);
}

TEST(SettingsKey, ARefusedUpdateNamesTheFirstValueAndStoresNone) {
  TMemorySettingsStore store({{"Loop", TSettingsValue::OfDWord(0)}});
  store.SetReadOnly(true);
  TSettingsKey key(store, TKeyAccess::Create);
  key.WriteString("AmplitudeLeft", "-6");
  key.WriteBool("Loop", true);
  EXPECT_EQ(ErrorOf([&] { key.Close(); }), "Failed to set data for 'AmplitudeLeft'");
  EXPECT_EQ(store.Read()->at("Loop").DWord, 0u);
  { TSettingsKey(store, TKeyAccess::Create).WriteBool("Loop", true); }  // the destructor never throws
}

TEST(RegFileFormat, WritesTheExactLinesAndReadsThemBack) {
  TSettingsValues values{{"Fs", TSettingsValue::OfDWord(42)},
                         {"Duration", TSettingsValue::OfText("C:\\a \"b\"")}};
  std::string text = FormatRegFile(values);
  EXPECT_EQ(text,
            "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Zephyra]\n"
            "\"Duration\"=\"C:\\\\a \\\"b\\\"\"\n"
            "\"Fs\"=dword:0000002a\n");
  EXPECT_EQ(ParseRegFile(text), values);
}

TEST(RegFileFormat, ControlCharactersAreWrittenAsBlanks) {
  TSettingsValues values{{"Duration", TSettingsValue::OfText("1\n2\t3")}};
  EXPECT_EQ(ParseRegFile(FormatRegFile(values))->at("Duration").Text, "1 2 3");
}

TEST(RegFileFormat, MalformedLinesAndOtherKeysAreIgnored) {
  std::string text =
      "REGEDIT4\r\n"
      "\"Before\"=dword:00000001\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vellacor\\Zephyra]\r\n"
      "\"Good\"=dword:0000FFFF\r\n"
      "\"Short\"=dword:123\n"
      "\"Long\"=dword:000000001\n"
      "\"Sign\"=dword:-0000001\n"
      "\"Hex\"=hex:01,02\n"
      "\"Open\"=\"text\n"
      "\"Trail\"=\"text\" x\n"
      "\"Escape\"=\"a\\nb\"\n"
      "NoQuotes=dword:00000001\n"
      "\"Text\"=\"it's \\\"fine\\\"\"\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Other]\n"
      "\"After\"=dword:00000001\n";
  TSettingsValues expected{{"Good", TSettingsValue::OfDWord(0xFFFF)},
                           {"Short", TSettingsValue::OfDWord(0x123)},  // fewer digits read leniently
                           {"Text", TSettingsValue::OfText("it's \"fine\"")}};
  EXPECT_EQ(ParseRegFile(text), expected);
  EXPECT_EQ(ParseRegFile("REGEDIT4\n\"Fs\"=dword:00000001\n"), std::nullopt);
}

TEST(RegFileFormat, HandEditedValueLinesAreReadLeniently) {
  const std::string key = "[HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Zephyra]\n";
  const std::pair<std::string, std::optional<TSettingsValue>> lines[] = {
      {"\"V\" = \"5\"", TSettingsValue::OfText("5")},
      {"\t\"V\"\t=dword:0000002a  ", TSettingsValue::OfDWord(42)},
      {"\"V\"=DWORD:2A", TSettingsValue::OfDWord(42)},
      {"\"V\"=Dword:FfFfFfFf", TSettingsValue::OfDWord(0xFFFFFFFF)},
      {"\"V\"=dword:1", TSettingsValue::OfDWord(1)},
      {"\"V\"=dword:", std::nullopt},
      {"\"V\"=dword:123456789", std::nullopt},
      {"\"V\"=dword: 1", std::nullopt},
      {"\"V\"=hex:01,02", std::nullopt},
      {"\"V\"=hex(2):41,00", std::nullopt},
      {"@=\"default\"", std::nullopt},
      {"; \"V\"=\"comment\"", std::nullopt},
  };
  for (const auto& [line, expected] : lines) {
    auto values = ParseRegFile(key + line + "\n");
    ASSERT_TRUE(values) << line;
    if (expected)
      EXPECT_EQ(values->at("V"), *expected) << line;
    else
      EXPECT_TRUE(values->empty()) << line;
  }
}

TEST(RegFileFormat, ASetRewritesOnlyTheLinesOfItsValuesAndKeepsEveryOtherLine) {
  const std::string before =
      "REGEDIT4\r\n"
      "\r\n"
      "; written by hand\r\n"
      "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
      "\"Duration\"=\"not ours\"\r\n"
      "\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Zephyra]\r\n"
      "\"Duration\" = \"5\"\r\n"
      "\"Loop\"=dword:1\r\n"
      "\"Extra\"=hex:01,02\r\n"
      "\"loop\"=DWORD:0\r\n"
      "\"Unknown\"   =   \"kept\"\r\n"
      "\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Other]\r\n"
      "\"Fs\"=dword:00000009\r\n";
  TRegDocument document(before);
  EXPECT_EQ(document.Values()->at("Loop"), TSettingsValue::OfDWord(0)) << "the last line of a name counts";
  document.Set({{"Duration", TSettingsValue::OfText("7")},
                {"LOOP", TSettingsValue::OfDWord(1)},
                {"Fs", TSettingsValue::OfDWord(3)}});
  EXPECT_EQ(document.Text(),
            "REGEDIT4\r\n"
            "\r\n"
            "; written by hand\r\n"
            "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
            "\"Duration\"=\"not ours\"\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Zephyra]\r\n"
            "\"Duration\"=\"7\"\r\n"
            "\"Extra\"=hex:01,02\r\n"
            "\"loop\"=dword:00000001\r\n"
            "\"Unknown\"   =   \"kept\"\r\n"
            "\"Fs\"=dword:00000003\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Other]\r\n"
            "\"Fs\"=dword:00000009\r\n");
  EXPECT_EQ(TRegDocument("; nothing else").Values(), std::nullopt);
  TRegDocument other("; nothing else");
  other.Set({{"Fs", TSettingsValue::OfDWord(3)}});
  EXPECT_EQ(other.Text(), "; nothing else\n\n[HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Zephyra]\n\"Fs\"=dword:00000003\n");
}

TEST(RegFileFormat, EveryTruncationAndCorruptionReadsAsFewerValuesNeverACrash) {
  TSettingsValues values;
  for (int i = 0; i < 12; ++i) {
    values["Text" + std::to_string(i)] = TSettingsValue::OfText(std::string(i, '\\') + "\"x");
    values["Dword" + std::to_string(i)] = TSettingsValue::OfDWord(i * 0x1234567u);
  }
  std::string text = FormatRegFile(values);
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    const std::string head = text.substr(0, cut);
    auto parsed = ParseRegFile(head);
    if (!parsed) continue;
    // Only the cut line may read otherwise: a DWORD with fewer hex digits.
    const std::string cutLine = head.substr(head.rfind('\n') + 1);
    for (const auto& [name, value] : *parsed) {
      if (value == values.at(name)) continue;
      EXPECT_TRUE(cutLine.starts_with("\"" + name + "\"=dword:") && value.Type == TSettingsValue::TType::DWord)
          << "cut " << cut;
    }
  }
  uint32_t state = 12345;
  for (int round = 0; round < 2000; ++round) {
    std::string damaged = text;
    for (int i = 0; i < 4; ++i) {
      state = state * 1664525u + 1013904223u;
      damaged[state % damaged.size()] = static_cast<char>(state >> 24);
    }
    ParseRegFile(damaged);
  }
}

TEST(RegFileStore, StartsWithoutTheKeyAndCreatesFoldersAndFileOnTheFirstStore) {
  TTempDir dir;
  TRegFileStore store(dir.File("config/Vellacor/Zephyra.reg"));
  EXPECT_FALSE(store.KeyExists());
  EXPECT_EQ(store.Read(), std::nullopt);
  ASSERT_TRUE(store.Merge({{"Fs", TSettingsValue::OfDWord(3)}}));
  EXPECT_TRUE(store.KeyExists());
  EXPECT_EQ(ReadBytes(store.Path()).size(), FormatRegFile(*store.Read()).size());
}

TEST(RegFileStore, TwoWritersEachKeepTheOtherOnesValues) {
  TTempDir dir;
  TRegFileStore first(dir.File("Zephyra.reg"));
  TRegFileStore second(dir.File("Zephyra.reg"));
  ASSERT_TRUE(first.Merge({{"Fs", TSettingsValue::OfDWord(3)}, {"Loop", TSettingsValue::OfDWord(1)}}));
  ASSERT_TRUE(second.Merge({{"AmplitudeLeft", TSettingsValue::OfText("-3")}, {"loop", TSettingsValue::OfDWord(0)}}));
  TSettingsValues expected{{"AmplitudeLeft", TSettingsValue::OfText("-3")},
                           {"Fs", TSettingsValue::OfDWord(3)},
                           {"Loop", TSettingsValue::OfDWord(0)}};
  EXPECT_EQ(first.Read(), expected);
}

TEST(RegFileStore, ConcurrentProcessesLoseNoUpdate) {
  TTempDir dir;
  std::string path = dir.File("Zephyra.reg");
  constexpr int kProcesses = 3, kValues = 15;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = ::fork();
    if (pid == 0) {
      TRegFileStore store(path);
      for (int v = 0; v < kValues; ++v)
        if (!store.Merge({{"P" + std::to_string(p) + "V" + std::to_string(v), TSettingsValue::OfDWord(v)}}))
          std::_Exit(1);
      std::_Exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(TRegFileStore(path).Read()->size(), size_t{kProcesses * kValues});
}

TEST(RegFileStore, ACorruptFileReadsAsItsWellFormedValuesAndTheNextStoreKeepsTheRest) {
  TTempDir dir;
  std::string path = dir.File("Zephyra.reg");
  TRegFileStore store(path);
  std::string text = FormatRegFile({{"Fs", TSettingsValue::OfDWord(3)}}) + "\"Bad\"=dword:zz\n\"Cut\"=\"abc";
  WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
  EXPECT_EQ(store.Read(), (TSettingsValues{{"Fs", TSettingsValue::OfDWord(3)}}));
  ASSERT_TRUE(store.Merge({{"Loop", TSettingsValue::OfDWord(1)}}));
  EXPECT_EQ(store.Read()->size(), 2u);
  const std::vector<uint8_t> bytes = ReadBytes(path);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), text + "\n\"Loop\"=dword:00000001\n")
      << "lines the store does not read stay as they were";
}

TEST(RegFileStore, AFileItCannotReadInFullIsKeptByteForByteAndReported) {
  TTempDir dir;
  const std::string path = dir.File("Zephyra.reg");
  const std::string valid = FormatRegFile({{"Fs", TSettingsValue::OfDWord(3)}});
  std::vector<uint8_t> utf16{0xFF, 0xFE};  // an export in UTF-16, as some editors write it
  for (char c : valid) utf16.insert(utf16.end(), {static_cast<uint8_t>(c), 0});
  std::vector<uint8_t> huge(valid.begin(), valid.end());
  huge.resize((1 << 20) + 1, '\n');
  const std::vector<uint8_t> latin1{'"', 'D', 'u', 'r', 0xE9, 'e', '"', '=', '"', '1', '"', '\n'};
  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"Invalid or incomplete multibyte or wide character", utf16},
      {"File too large", huge},
      {"Invalid or incomplete multibyte or wide character", latin1},
  };
  for (const auto& [reason, bytes] : cases) {
    SCOPED_TRACE(reason);
    WriteBytes(path, bytes);
    TRegFileStore store(path);
    EXPECT_EQ(store.Read(), std::nullopt);
    EXPECT_FALSE(store.Merge({{"Fs", TSettingsValue::OfDWord(4)}}));
    EXPECT_EQ(ReadBytes(path), bytes);
    EXPECT_EQ(store.KeptFileReport().rfind("Cannot open file \"" + path + "\". " + reason, 0), 0u)
        << store.KeptFileReport();
  }
}

/// In a child: the store neither reads nor writes the file, and reports it; the report goes to stderr.
void ExpectKeptAndReported(const std::string& path) {
  TRegFileStore store(path);
  bool kept = !store.Read() && !store.Merge({{"Fs", TSettingsValue::OfDWord(4)}});
  ExitChild(kept, store.KeptFileReport());
}

TEST(RegFileStoreDeathTest, ANamedPipeAtTheSettingsPathIsNeitherReadNorWrittenNorWaitedOn) {
  TTempDir dir;
  ASSERT_EQ(::mkfifo(dir.File("Zephyra.reg").c_str(), 0666), 0);
  EXPECT_EXIT((Watchdog(), ExpectKeptAndReported(dir.File("Zephyra.reg"))), testing::ExitedWithCode(0),
              "^Cannot open file \".*/Zephyra.reg\"\\. No such device\n");
}

TEST(RegFileStoreDeathTest, AFileWithoutReadPermissionIsKeptAndReported) {
  TTempDir dir;
  const std::string path = dir.File("Zephyra.reg");
  const std::string text = FormatRegFile({{"Fs", TSettingsValue::OfDWord(3)}});
  WriteBytes(path, {text.begin(), text.end()});
  ::chmod(path.c_str(), 0200);
  ::chmod(dir.Path().c_str(), 0777);
  // As root every file is readable, so the child reads without root's rights.
  EXPECT_EXIT((DropRootRights(), ExpectKeptAndReported(path)), testing::ExitedWithCode(0),
              "^Cannot open file \".*/Zephyra.reg\"\\. Permission denied\n");
  EXPECT_EQ(ReadBytes(path), std::vector<uint8_t>(text.begin(), text.end()));
}

TEST(RegFileStoreDeathTest, AnInstanceThatNeverLetsGoOfTheLockDoesNotFreezeTheOthers) {
  TTempDir dir;
  const std::string path = dir.File("Zephyra.reg");
  auto mergeWhileTheLockIsHeld = [&] {
    Watchdog();
    const int stuck = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
    if (stuck < 0 || ::flock(stuck, LOCK_EX) != 0) ExitChild(false, "cannot take the lock");
    TRegFileStore store(path);
    ExitChild(!store.Merge({{"Fs", TSettingsValue::OfDWord(3)}}), "gave up waiting");
  };
  EXPECT_EXIT(mergeWhileTheLockIsHeld(), testing::ExitedWithCode(0), "gave up waiting");
  EXPECT_FALSE(std::filesystem::exists(path)) << "nothing was written without the lock";
}

TEST(RegFileStore, AnUnwritableLocationRefusesTheUpdate) {
  TTempDir dir;
  WriteBytes(dir.File("file"), {'x'});
  TRegFileStore store(dir.File("file/Vellacor/Zephyra.reg"));  // a folder that is a file
  EXPECT_FALSE(store.Merge({{"Fs", TSettingsValue::OfDWord(3)}}));
  TSettingsKey key(store, TKeyAccess::Create);
  key.WriteString("AmplitudeLeft", "0");
  EXPECT_EQ(ErrorOf([&] { key.Close(); }), "Failed to set data for 'AmplitudeLeft'");
}

TEST(RegFileStore, TheDefaultFileLiesInTheUsersConfigFolder) {
  std::string savedConfig = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
  std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("HOME", "/home/user", 1);
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(DefaultSettingsFilePath(), "/cfg/Vellacor/Zephyra.reg");
  ::setenv("XDG_CONFIG_HOME", "relative", 1);
  EXPECT_EQ(DefaultSettingsFilePath(), "/home/user/.config/Vellacor/Zephyra.reg");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(DefaultSettingsFilePath(), "/home/user/.config/Vellacor/Zephyra.reg");
  if (savedConfig.empty()) ::unsetenv("XDG_CONFIG_HOME"); else ::setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
  ::setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
