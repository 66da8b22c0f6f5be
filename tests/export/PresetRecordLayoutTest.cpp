// A preset file written byte by byte from the tests' own table of offsets is
// read back field by field by the program.

#include "persistence/MemoryPreset.h"
#include "tests/app/GeneratorFixture.h"
#include "tests/export/PresetRecordTable.h"
#include "tests/persistence/TempDir.h"

namespace {

using PresetRecordLayout = GeneratorFixture;

/// Values that differ from field to field and from record to record.
TRecordValues DistinctRecord(int r) {
  TRecordValues v;
  int n = 1;
  for (const TRecordField& f : RecordFields()) {
    ++n;
    if (f.Kind == TRecordKind::Text)
      v.Texts[f.Name] = std::string(f.Name) + " " + std::to_string(100 * r + n);
    else if (f.Kind == TRecordKind::Flag)
      v.Numbers[f.Name] = (n + r) % 2;
    else
      v.Numbers[f.Name] = 1000 * r + n;
  }
  return v;
}

/// What the program shows of each field of its preset n, by the table's names.
TRecordValues ProgramFields(const TPresetValues& p) {
  TRecordValues v;
  v.Texts = {{"Name", p.Name}, {"Duration", p.Duration}, {"AmplitudeLeft", p.AmplitudeLeft},
             {"AmplitudeRight", p.AmplitudeRight}, {"ModPeriodLeft", p.ModPeriodLeft},
             {"ModPeriodRight", p.ModPeriodRight}, {"ModDepthLeft", p.ModDepthLeft},
             {"ModDepthRight", p.ModDepthRight}, {"ModPhaseLeft", p.ModPhaseLeft},
             {"ModPhaseRight", p.ModPhaseRight}, {"FZeroLeft", p.FZeroLeft}, {"GainLeft", p.GainLeft},
             {"QLeft", p.QLeft}, {"FZeroRight", p.FZeroRight}, {"GainRight", p.GainRight}, {"QRight", p.QRight}};
  v.Numbers = {{"WaveFormLeft", p.WaveFormLeft}, {"WaveFormRight", p.WaveFormRight},
               {"Loop", p.Loop}, {"Mono", p.Mono}, {"LeftTick", p.LeftTick}, {"RightTick", p.RightTick},
               {"ModulationOnLeft", p.ModulationOnLeft}, {"ModulationOnRight", p.ModulationOnRight},
               {"ModFunctionLeft", p.ModFunctionLeft}, {"ModFunctionRight", p.ModFunctionRight},
               {"CrestFactorLeft", p.CrestFactorLeft}, {"CrestFactorRight", p.CrestFactorRight},
               {"AsLeft", p.AsLeft}, {"FilterTypeLeft", p.FilterTypeLeft}, {"FilterTypeRight", p.FilterTypeRight}};
  return v;
}

TEST_F(PresetRecordLayout, EveryFieldOfEveryRecordReadsBackFromItsOffset) {
  ASSERT_EQ(RecordFields().size(), 31u);
  std::vector<TRecordValues> records;
  for (int r = 0; r < 4; ++r) records.push_back(DistinctRecord(r));
  const auto bytes = PresetFileBytes(records);
  ASSERT_EQ(bytes.size(), 16581u);
  TTempDir dir;
  WriteBytes(dir.File("layout.zep"), bytes);
  ASSERT_TRUE(Gen->LoadSettings(dir.File("layout.zep")));
  for (int r = 0; r < 4; ++r) {
    const TRecordValues read = ProgramFields(Gen->Presets[r].Values());
    EXPECT_EQ(read.Texts, records[r].Texts) << "record " << r + 1;
    EXPECT_EQ(read.Numbers, records[r].Numbers) << "record " << r + 1;
  }
  EXPECT_EQ(Gen->Memory3.Caption(), records[2].Texts["Name"]);
  EXPECT_TRUE(ReadBytes(dir.File("layout.zep")) == bytes) << "loading leaves the file alone";
}

}  // namespace
