#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "IParam.h"

TEST(IParam, InitialisersSetKindRangeStepAndPrecision)
{
  struct Case
  {
    const char* what;
    void (*init)(IParam&);
    IParam::EValueKind kind;
    double value, min, max, step;
    int precision;
    const char* label;
  };
  const Case cases[] = {
    { "double, max raised to min + step", [](IParam& p) { p.InitDouble("x", 5, 0, 0, 0.1, ""); },
      IParam::kTypeDouble, 5, 0, 0.1, 0.1, 1, "" },
    { "double, step 0.01", [](IParam& p) { p.InitDouble("Thr", -3, -60, 0, 0.01, "dB"); },
      IParam::kTypeDouble, -3, -60, 0, 0.01, 2, "dB" },
    { "double, precision capped at 6", [](IParam& p) { p.InitDouble("f", 0, 0, 1, 1e-9, ""); },
      IParam::kTypeDouble, 0, 0, 1, 1e-9, 6, "" },
    { "default not clamped", [](IParam& p) { p.InitDouble("d", 50, 0, 10, 1, ""); },
      IParam::kTypeDouble, 50, 0, 10, 1, 0, "" },
    { "int", [](IParam& p) { p.InitInt("n", 3, 1, 8, "st"); }, IParam::kTypeInt, 3, 1, 8, 1, 0, "st" },
    { "int with max = min", [](IParam& p) { p.InitInt("n", 2, 2, 2); }, IParam::kTypeInt, 2, 2, 3, 1, 0, "" },
    { "enum of five", [](IParam& p) { p.InitEnum("Mode", 0, 5); }, IParam::kTypeEnum, 0, 0, 4, 1, 0, "" },
    { "enum of one", [](IParam& p) { p.InitEnum("One", 0, 1); }, IParam::kTypeEnum, 0, 0, 1, 1, 0, "" },
    { "bool ignores its label", [](IParam& p) { p.InitBool("On", true, "lbl"); }, IParam::kTypeBool, 1, 0, 1, 1, 0, "" },
  };
  for (const Case& c : cases)
  {
    IParam p;
    c.init(p);
    EXPECT_EQ(p.Type(), c.kind) << c.what;
    EXPECT_DOUBLE_EQ(p.Value(), c.value) << c.what;
    EXPECT_DOUBLE_EQ(p.GetMin(), c.min) << c.what;
    EXPECT_DOUBLE_EQ(p.GetMax(), c.max) << c.what;
    EXPECT_DOUBLE_EQ(p.GetStep(), c.step) << c.what;
    EXPECT_EQ(p.GetPrecision(), c.precision) << c.what;
    EXPECT_STREQ(p.GetLabelForHost(), c.label) << c.what;
  }
}

TEST(IParam, KindIsSetOnceAndBoolGetsOffOnTexts)
{
  IParam p;
  p.InitBool("b", false);
  p.InitDouble("b", 0, 0, 1, 0.5, "");  // a later Init keeps the first kind
  EXPECT_EQ(p.Type(), IParam::kTypeBool);
  EXPECT_EQ(p.GetNDisplayTexts(), 2);
  EXPECT_STREQ(p.GetDisplayText(0), "off");
  EXPECT_STREQ(p.GetDisplayText(1), "on");
}

TEST(IParam, NormaliseAndDenormaliseThroughTheShape)
{
  IParam p;
  p.InitDouble("t", -15, -60, 0, 0.1, "dB");
  p.SetShape(0.5);
  EXPECT_DOUBLE_EQ(p.GetNormalized(), 0.5625);  // (45 / 60) ^ 2
  p.SetNormalized(0.5625);
  EXPECT_NEAR(p.Value(), -15.0, 1e-12);
  p.SetShape(0.0);  // ignored
  EXPECT_DOUBLE_EQ(p.GetShape(), 0.5);
  EXPECT_DOUBLE_EQ(p.GetNormalized(-100), 0.0);  // clamped before normalising
  EXPECT_DOUBLE_EQ(p.GetNormalized(100), 1.0);
}

TEST(IParam, DenormalisedValuesRoundToTheStepExceptDoubles)
{
  struct Case
  {
    double normalized;
    double expected;
  };
  IParam e;
  e.InitEnum("Mode", 0, 5);
  for (const Case& c : { Case{ 0.6, 2 }, Case{ 0.625, 3 }, Case{ 0.0, 0 }, Case{ 1.0, 4 }, Case{ 0.124, 0 }, Case{ 0.125, 1 } })
  {
    e.SetNormalized(c.normalized);
    EXPECT_DOUBLE_EQ(e.Value(), c.expected) << c.normalized;
  }
  IParam d;
  d.InitDouble("d", 0, 0, 4, 1, "");
  d.SetNormalized(0.6);
  EXPECT_DOUBLE_EQ(d.Value(), 2.4);
}

TEST(IParam, HostValuesOutsideTheRangeAreClampedAndNaNIgnored)
{
  IParam p;
  p.InitDouble("d", 5, 0, 10, 0.1, "");
  p.SetNormalized(std::nan(""));
  EXPECT_DOUBLE_EQ(p.Value(), 5.0);
  p.SetNormalized(1.7);
  EXPECT_DOUBLE_EQ(p.Value(), 10.0);
  p.SetNormalized(-3.0);
  EXPECT_DOUBLE_EQ(p.Value(), 0.0);
  p.SetNormalized(INFINITY);
  EXPECT_DOUBLE_EQ(p.Value(), 10.0);
  p.Set(std::nan(""));
  EXPECT_DOUBLE_EQ(p.Value(), 10.0);
  p.Set(-20);
  EXPECT_DOUBLE_EQ(p.Value(), 0.0);
}

TEST(IParam, DisplayTexts)
{
  struct Case
  {
    const char* what;
    void (*init)(IParam&);
    double value;
    bool normalized;
    const char* expected;
  };
  const Case cases[] = {
    { "zero with decimals shows 0", [](IParam& p) { p.InitDouble("a", 0, -10, 10, 0.1, ""); }, 0.0, false, "0" },
    { "negative zero shows 0", [](IParam& p) { p.InitDouble("a", 0, -10, 10, 0.1, ""); }, -0.0, false, "0" },
    { "two decimals", [](IParam& p) { p.InitDouble("a", 0, -10, 10, 0.01, ""); }, -3.25, false, "-3.25" },
    { "int truncates", [](IParam& p) { p.InitInt("a", 0, 0, 100); }, 12.7, false, "12" },
    { "one decimal", [](IParam& p) { p.InitDouble("a", 0, 0, 100, 0.1, ""); }, 12.345, false, "12.3" },
    { "bool off", [](IParam& p) { p.InitBool("b", false); }, 0.0, false, "off" },
    { "bool 0.7 reads key 0", [](IParam& p) { p.InitBool("b", false); }, 0.7, false, "off" },
    { "bool on", [](IParam& p) { p.InitBool("b", false); }, 1.0, false, "on" },
    { "normalised through the shape, unrounded", [](IParam& p) { p.InitDouble("a", 0, 0, 100, 0.1, ""); p.SetShape(2.0); }, 0.5, true, "25.0" },
    { "enum text for a normalised value", [](IParam& p) { p.InitEnum("e", 0, 3); p.SetDisplayText(1, "One"); }, 0.5, true, "One" },
    { "enum without a text prints the number", [](IParam& p) { p.InitEnum("e", 0, 3); }, 2.0, false, "2" },
    { "empty text falls back to the number", [](IParam& p) { p.InitEnum("e", 0, 3); p.SetDisplayText(2, ""); }, 2.0, false, "2" },
    { "first of two entries wins", [](IParam& p) { p.InitEnum("e", 0, 3); p.SetDisplayText(1, "A"); p.SetDisplayText(1, "B"); }, 1.0, false, "A" },
    { "huge value", [](IParam& p) { p.InitInt("a", 0, 0, 100); }, 1e300, false, "2147483647" },
  };
  for (const Case& c : cases)
  {
    IParam p;
    c.init(p);
    char text[IParam::kDisplayTextLen];
    p.GetDisplayForHost(c.value, c.normalized, text);
    EXPECT_STREQ(text, c.expected) << c.what;
  }
}

TEST(IParam, DisplayTextLookupAndMapping)
{
  IParam p;
  p.InitEnum("Mode", 0, 5);
  p.SetDisplayText(0, "I");
  p.SetDisplayText(4, "Flat");
  EXPECT_STREQ(p.GetDisplayText(4), "Flat");
  EXPECT_STREQ(p.GetDisplayText(3), "");
  int v = -1;
  EXPECT_TRUE(p.MapDisplayText("Flat", &v));
  EXPECT_EQ(v, 4);
  EXPECT_FALSE(p.MapDisplayText("flat", &v));
  // Over-long texts and names are cut to their fields.
  const std::string longText(100, 'x');
  p.SetDisplayText(2, longText.c_str());
  EXPECT_EQ(strlen(p.GetDisplayText(2)), (size_t)IParam::kDisplayTextLen - 1);
  IParam q;
  q.InitDouble(longText.c_str(), 0, 0, 1, 0.1, longText.c_str());
  EXPECT_EQ(strlen(q.GetNameForHost()), (size_t)IParam::kNameLen - 1);
  EXPECT_EQ(strlen(q.GetLabelForHost()), (size_t)IParam::kLabelLen - 1);
}

TEST(IParam, DBToAmp)
{
  IParam p;
  p.InitDouble("g", -6.0, -24, 24, 0.1, "dB");
  EXPECT_NEAR(p.DBToAmp(), std::pow(10.0, -6.0 / 20.0), 1e-12);
  EXPECT_DOUBLE_EQ(p.DBToAmp(), std::exp(0.1151292546497 * -6.0));
}
