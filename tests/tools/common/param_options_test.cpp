#include "param_options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace
{
// A threshold-like parameter: -60..0 dB through a square-root shape, one decimal.
std::string ThresholdDisplay(double n)
{
  const double v = n * n * 60.0 - 60.0;
  char s[32];
  snprintf(s, sizeof(s), "%.1f", v);
  return s;
}

double ThresholdPlain(double n) { return n * n * 60.0 - 60.0; }

std::string ModeDisplay(double n)
{
  static const char* kTexts[] = { "I", "II", "III", "IV", "Flat" };
  return kTexts[(int)std::floor(n * 4.0 + 0.5)];
}

std::string FallingDisplay(double n)
{
  char s[32];
  snprintf(s, sizeof(s), "%.0f %%", 100.0 - 100.0 * n);
  return s;
}
}  // namespace

TEST(ParamOptions, ParsesNameEqualsValue)
{
  const struct
  {
    const char* option;
    bool ok;
    const char* name;
    const char* value;
  } cases[] = {
    { "Threshold=-20", true, "Threshold", "-20" },
    { " RMS Size = 30 ms ", true, "RMS Size", "30 ms" },
    { "a=b=c", true, "a", "b=c" },
    { "Threshold", false, "", "" },
    { "=5", false, "", "" },
    { "Ratio=", false, "", "" },
  };
  for (const auto& c : cases)
  {
    kvtool::ParamAssignment a;
    std::string err;
    EXPECT_EQ(kvtool::ParseParamAssignment(c.option, &a, &err), c.ok) << c.option;
    if (c.ok)
    {
      EXPECT_EQ(a.name, c.name);
      EXPECT_EQ(a.value, c.value);
    }
    else
    {
      EXPECT_FALSE(err.empty()) << c.option;
    }
  }
  EXPECT_TRUE(kvtool::SameText(" auto release", "Auto Release "));
  EXPECT_FALSE(kvtool::SameText("Release", "Auto Release"));
}

TEST(ParamOptions, FindsNumericDisplaysByBisection)
{
  double n = -1.0;
  std::string shown;
  ASSERT_TRUE(kvtool::FindNormalizedForDisplay(ThresholdDisplay, "-20", &n, &shown));
  EXPECT_EQ(shown, "-20.0");
  EXPECT_NEAR(ThresholdPlain(n), -20.0, 0.001) << "the middle of the values showing -20.0";

  ASSERT_TRUE(kvtool::FindNormalizedForDisplay(ThresholdDisplay, "0", &n, &shown));
  EXPECT_EQ(n, 1.0) << "an end of the range is taken exactly";
  ASSERT_TRUE(kvtool::FindNormalizedForDisplay(ThresholdDisplay, "-60 dB", &n, &shown));
  EXPECT_EQ(n, 0.0);

  // A number between two shown values lands on the nearer one.
  ASSERT_TRUE(kvtool::FindNormalizedForDisplay(ThresholdDisplay, "-20.03", &n, &shown));
  EXPECT_EQ(shown, "-20.0");

  ASSERT_TRUE(kvtool::FindNormalizedForDisplay(FallingDisplay, "25", &n, &shown));
  EXPECT_EQ(shown, "25 %");
  EXPECT_NEAR(n, 0.75, 0.006);

  EXPECT_FALSE(kvtool::FindNormalizedForDisplay(ThresholdDisplay, "-90", &n));
  EXPECT_FALSE(kvtool::FindNormalizedForDisplay(ThresholdDisplay, "loud", &n));
}

TEST(ParamOptions, FindsTextDisplaysOnAGrid)
{
  double n = -1.0;
  std::string shown;
  ASSERT_TRUE(kvtool::FindNormalizedForDisplay(ModeDisplay, "III", &n, &shown));
  EXPECT_EQ(shown, "III");
  EXPECT_NEAR(n, 0.5, 0.01) << "the middle of the values showing III";
  ASSERT_TRUE(kvtool::FindNormalizedForDisplay(ModeDisplay, "flat", &n, &shown));
  EXPECT_EQ(shown, "Flat");
  EXPECT_FALSE(kvtool::FindNormalizedForDisplay(ModeDisplay, "V", &n));
  EXPECT_FALSE(kvtool::FindNormalizedForDisplay(ModeDisplay, "2", &n)) << "a number on a parameter of names";
}
