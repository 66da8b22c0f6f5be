#include "engine/NoiseSources.h"
#include "engine/PowerEstimate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TEST(RandomGenerator, FollowsTheLcgFromSeedZero) {
  TRandomLcg random;
  random.Seed(0);
  EXPECT_EQ(random.Next(), 1 / 4294967296.0);
  EXPECT_EQ(random.Next(), (134775813.0 + 1) / 4294967296.0);
}

TEST(CrestShaping, KeepsSignAndZeroAndPassesExponentOneUnchanged) {
  EXPECT_EQ(CrestShape(0, 17), 0);
  EXPECT_EQ(CrestShape(-0.5f, 2), -0.25f);
  EXPECT_EQ(CrestShape(0.5f, 2), 0.25f);
  TRandomLcg a, b;
  a.Seed(99);
  b.Seed(99);
  for (int i = 0; i < 1000; ++i)
    EXPECT_EQ(WhiteNoise(a, 1.0f), static_cast<float>(2 * b.Next() - 1));
}

TEST(CrestShaping, EqualsTheExtendedPrecisionPowerForEveryTableExponent) {
  TRandomLcg random;
  random.Seed(5);
  for (const float* table : {WhiteCrestExponents, PinkCrestExponents})
    for (int i = 0; i < CrestChoiceCount; ++i)
      for (int k = 0; k < 50000; ++k) {
        const float v = static_cast<float>(2 * random.Next() - 1);
        const float expected = static_cast<float>((v < 0 ? -1 : 1) * powl(fabsl(v), table[i]));
        ASSERT_EQ(CrestShape(v, table[i]), expected) << v << " ^ " << table[i];
      }
}

TEST(CrestShaping, PowerEstimateStaysWellInsideItsStatedBound) {
  // The shaping trusts the estimate to 2^-40; check it holds with room to spare.
  TRandomLcg random;
  random.Seed(8);
  long double worst = 0;
  for (float p : {0.15f, 0.955f, 1.0f, 17.0f, 49.0f, 64.0f})
    for (int k = 0; k < 100000; ++k) {
      const float x = k == 0 ? 1.0f : static_cast<float>(std::pow(random.Next(), 1 + 20 * random.Next()));
      const long double exact = powl(x, p);
      if (exact < 0x1p-140L || x == 0) continue;
      worst = std::max(worst, fabsl(PowerEstimate(x, p) - exact) / exact);
    }
  EXPECT_LT(worst, 0x1p-43L);
}

TEST(CrestShaping, TheBlockEstimatesAreThoseOfOneValueAtATime) {
  // Signed values, zeros, subnormals and the smallest normals among ordinary
  // ones, so that pairs mix every case.
  TRandomLcg random;
  random.Seed(11);
  std::vector<float> values = {0.0f, -0.0f, 1.0f, -1.0f, 1e-45f, -3e-39f, 0x1p-126f, 0.5f, 1e-30f, 0.999999f, 7e-39f};
  for (int k = 0; k < 20000; ++k)
    values.push_back(static_cast<float>((random.Next() < 0.5 ? -1 : 1) * std::pow(random.Next(), 1 + 40 * random.Next())));
  std::vector<double> block(values.size()), pairs(values.size());
  for (float p : {0.15f, 0.3166f, 0.955f, 1.31f, 1.5f, 17.0f, 0.7f, 63.3f}) {
    PowerEstimates(values.data(), static_cast<int32_t>(values.size()), p, block.data());
    PowerEstimatesTwoAtATime(values.data(), static_cast<int32_t>(values.size()), p, pairs.data());
    for (size_t j = 0; j < values.size(); ++j) {
      const float x = std::fabs(values[j]);
      const double single = x == 0 ? 0.0 : PowerEstimate(x, p);
      // The four-lane path rounds its own way: within the bound of the single
      // one, and both below float's range where either is.
      if (x == 0) {
        ASSERT_EQ(block[j], 0.0);
      }
      ASSERT_LE(std::fabs(block[j] - single), std::max(single * 0x1p-42, 0x1p-151)) << values[j] << " ^ " << p;
      ASSERT_EQ(pairs[j], single) << values[j] << " ^ " << p;
    }
  }
}

TEST(CrestShaping, GivesTheCrestFactorOfTheChoice) {
  // For uniform noise shaped with exponent p the RMS is 1 / sqrt(2p + 1)
  // and the peak is close to 1.
  TRandomLcg random;
  random.Seed(1);
  for (int choice : {0, 2, 4, 6}) {
    const float p = WhiteCrestExponents[choice];
    double sumSquares = 0;
    float peak = 0;
    const int n = 400000;
    for (int i = 0; i < n; ++i) {
      const float v = WhiteNoise(random, p);
      sumSquares += double(v) * v;
      peak = std::max(peak, std::fabs(v));
    }
    const double crest = peak / std::sqrt(sumSquares / n);
    EXPECT_NEAR(crest / std::sqrt(2 * p + 1), 1.0, 0.03) << "choice " << choice;
  }
}

TEST(CrestReaction, TakesTheTableOfTheNoiseTypeAndFallsBackToSixToOne) {
  ChannelSettings channel;
  channel.crestIndex = 2;
  CrestFactorChanged(channel);
  EXPECT_EQ(channel.crestExponent, 4.0f);
  channel.noiseType = ntPink;
  CrestFactorChanged(channel);
  EXPECT_EQ(channel.crestExponent, 0.535f);
  for (int32_t outside : {-1, 7, 1000}) {
    channel.crestIndex = outside;
    CrestFactorChanged(channel);
    EXPECT_EQ(channel.crestExponent, 0.955f);
  }
}

TEST(PinkRows, AreRedrawnOnTheirSchedule) {
  auto rows = [](uint32_t due) {
    std::vector<int> out;
    for (int row = 1; row <= 12; ++row)
      if (due & (1u << (row - 1))) out.push_back(row);
    return out;
  };
  EXPECT_EQ(rows(PinkRowsDue(0)), std::vector<int>{});
  EXPECT_EQ(rows(PinkRowsDue(1)), std::vector<int>{1});
  EXPECT_EQ(rows(PinkRowsDue(14)), (std::vector<int>{2, 4}));
  EXPECT_EQ(rows(PinkRowsDue(129)), (std::vector<int>{1, 8}));
  EXPECT_EQ(rows(PinkRowsDue(1875)), (std::vector<int>{1, 12}));
  EXPECT_EQ(rows(PinkRowsDue(1875 + 2048)), (std::vector<int>{1, 12}));
  // Every row is due exactly once in its interval.
  int counts[12] = {};
  for (int n = 0; n < 2048; ++n)
    for (int row : rows(PinkRowsDue(n))) ++counts[row - 1];
  const int expected[12] = {1024, 512, 256, 128, 64, 32, 16, 8, 8, 4, 2, 1};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(counts[i], expected[i]) << "row " << i + 1;
}

TEST(PinkNoise, RedrawsRowZeroAndTheDueRowsInOrder) {
  GeneratorState state;
  state.random.Seed(3);
  for (float& row : state.pinkRows) row = 0.25f;
  PinkNoise(state, 1.0f, 14);
  TRandomLcg replay;
  replay.Seed(3);
  EXPECT_EQ(state.pinkRows[0], static_cast<float>(replay.Next()));
  EXPECT_EQ(state.pinkRows[2], static_cast<float>(replay.Next()));
  EXPECT_EQ(state.pinkRows[4], static_cast<float>(replay.Next()));
  for (int row : {1, 3, 5, 6, 7, 8, 9, 10, 11, 12}) EXPECT_EQ(state.pinkRows[row], 0.25f);
}

TEST(PinkNoise, StartsNearMinusOneAndSettlesToZeroMean) {
  GeneratorState state;
  state.random.Seed(11);
  double early = 0, late = 0;
  for (int n = 0; n < 1; ++n) early += PinkNoise(state, 1.0f, n);
  EXPECT_LT(early, -0.84);
  for (int n = 1; n < 200000; ++n) {
    const float v = PinkNoise(state, 1.0f, n);
    if (n >= 2048) late += v;
    ASSERT_GE(v, -1.0f);
    ASSERT_LE(v, 1.0f);
  }
  EXPECT_NEAR(late / (200000 - 2048), 0.0, 0.02);
}

}  // namespace
