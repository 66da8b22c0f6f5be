// Every input of the checked-in corpus through its fuzz target, in every
// build: what the fuzzer once found, or was seeded with, stays fixed.

#include "fuzz/FuzzTargets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct TTarget {
  const char* Folder;
  int (*Run)(const uint8_t*, size_t);
};

class FuzzCorpus : public ::testing::TestWithParam<TTarget> {};

TEST_P(FuzzCorpus, EveryInputPassesItsTarget) {
  const std::filesystem::path folder = std::filesystem::path(ZEPHYRA_FUZZ_CORPUS) / GetParam().Folder;
  std::vector<std::filesystem::path> inputs;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.is_regular_file()) inputs.push_back(entry.path());
  ASSERT_FALSE(inputs.empty()) << folder;
  for (const auto& input : inputs) {
    std::ifstream in(input, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string name = input.string();
    FuzzInputName = name.c_str();  // named in the message if the target aborts
    EXPECT_EQ(GetParam().Run(bytes.data(), bytes.size()), 0) << name;
  }
  FuzzInputName = nullptr;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCorpus,
                         ::testing::Values(TTarget{"numbers", &FuzzNumbers}, TTarget{"preset-file", &FuzzPresetFile},
                                           TTarget{"settings-file", &FuzzSettingsFile},
                                           TTarget{"scpi", &FuzzScpi}),
                         [](const auto& param) {
                           std::string name = param.param.Folder;
                           std::erase(name, '-');
                           return name;
                         });

}  // namespace
