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

TEST(ParamOptions, ValuesAreChosenAsBothHostsTakeThem)
{
  // A threshold in dB, a switch, and a level with a named bottom ("-inf") as some plug-ins show it.
  const kvtool::ParamValues threshold = kvtool::ValuesFromDisplay("Threshold", "dB", ThresholdDisplay);
  EXPECT_TRUE(threshold.numeric);
  EXPECT_EQ(threshold.Describe(), "-60 to 0 dB");
  const kvtool::ParamValues onOff = kvtool::ValuesFromDisplay("Oversample", "", [](double n) { return n < 0.5 ? "Off" : "On"; });
  EXPECT_FALSE(onOff.numeric);
  EXPECT_EQ(onOff.Describe(), "Off or On (or their numbers, 0 to 1)");
  const kvtool::ParamValues level = kvtool::ValuesFromDisplay("Level", "dB", [](double n) {
    char s[32];
    snprintf(s, sizeof(s), "%.1f", n * 40.0 - 40.0);
    return n < 0.01 ? std::string("-inf") : std::string(s);
  });
  EXPECT_EQ(level.Describe(), "-39.6 to 0 dB, or -inf");

  const struct
  {
    const kvtool::ParamValues* values;
    const char* wanted;
    bool ok;
    int text;
    double number;
  } cases[] = {
    { &threshold, "-20", true, -1, -20.0 },       { &threshold, "-20 dB", true, -1, -20.0 },
    { &threshold, "-20db", true, -1, -20.0 },     { &threshold, "0", true, -1, 0.0 },
    { &threshold, "-61", false, 0, 0 },           { &threshold, "1", false, 0, 0 },
    { &threshold, "-20 ms", false, 0, 0 },        { &threshold, "nan", false, 0, 0 },
    { &threshold, "-inf", false, 0, 0 },          { &threshold, "loud", false, 0, 0 },
    { &onOff, "on", true, 1, 0 },                 { &onOff, "OFF", true, 0, 0 },
    { &onOff, "1", true, 1, 0 },                  { &onOff, "0", true, 0, 0 },
    { &onOff, "2", false, 0, 0 },                 { &onOff, "0.5", false, 0, 0 },
    { &onOff, "-1", false, 0, 0 },                { &onOff, "1 dB", false, 0, 0 },
    { &level, "-inf", true, 0, 0 },               { &level, "-inf dB", true, 0, 0 },
    { &level, "-12", true, -1, -12.0 },           { &level, "0.5", false, 0, 0 },
  };
  for (const auto& c : cases)
  {
    kvtool::ParamChoice choice;
    std::string err;
    EXPECT_EQ(kvtool::ChooseParamValue(*c.values, c.wanted, &choice, &err), c.ok) << c.values->name << " " << c.wanted;
    if (c.ok)
    {
      EXPECT_EQ(choice.text, c.text) << c.values->name << " " << c.wanted;
      EXPECT_EQ(choice.number, c.number) << c.values->name << " " << c.wanted;
    }
    else
    {
      EXPECT_NE(err.find("takes " + c.values->Describe() + ", not \"" + c.wanted + "\""), std::string::npos) << err;
    }
  }

  // Through the display: the value set shows what was asked.
  double n = -1.0;
  std::string err;
  ASSERT_TRUE(kvtool::FindNormalizedForValue("Level", "dB", [](double x) { return x < 0.01 ? std::string("-inf") : std::to_string(x * 40.0 - 40.0); },
                                             "-inf dB", &n, &err)) << err;
  EXPECT_LT(n, 0.01);
  ASSERT_TRUE(kvtool::FindNormalizedForValue("Threshold", "dB", ThresholdDisplay, "-20 dB", &n, &err)) << err;
  EXPECT_EQ(ThresholdDisplay(n), "-20.0");
  EXPECT_FALSE(kvtool::FindNormalizedForValue("Threshold", "dB", ThresholdDisplay, "-61", &n, &err));
  EXPECT_EQ(err, "parameter \"Threshold\" takes -60 to 0 dB, not \"-61\"");
}
