// Styles and fonts: ids from family and full names, fixed-point conversions at their edges,
// attributes set all or none and read back with their defaults, and handles that are gone.

#include <cmath>

#include "atsui_fixtures.h"

TEST(ATSUFonts, NamesGiveOneStableIdPerInstalledFace)
{
  const ATSUFontID sans = FontID("Liberation Sans");
  const ATSUFontID sansBold = FontID("Liberation Sans Bold", kFontFullName);
  ASSERT_NE(sans, kATSUInvalidFontID);
  ASSERT_NE(sansBold, kATSUInvalidFontID);
  EXPECT_NE(sans, sansBold);
  struct Case
  {
    const char* name;
    FontNameCode code;
    ATSUFontID expected;  // kATSUInvalidFontID: not found
  };
  const Case cases[] = {
    {"Liberation Sans", kFontFamilyName, sans},
    {"Arial", kFontFamilyName, sans},  // through the metric-compatible alias
    {"aRIAL", kFontFamilyName, sans},
    {"Arial", kFontFullName, sans},  // a regular face's full name is its family's
    {"liberation sans regular", kFontFullName, sans},
    {"Liberation Sans Bold", kFontFullName, sansBold},
    {"Arial  Bold", kFontFullName, sansBold},
    {"LIBERATION SANS BOLD", kFontFullName, sansBold},
    {"Liberation Sans Bold", kFontFamilyName, kATSUInvalidFontID},  // no family has that name
    {"NoSuchFont Qwerty", kFontFamilyName, kATSUInvalidFontID},
    {"NoSuchFont Qwerty Bold", kFontFullName, kATSUInvalidFontID},
    {"Bold", kFontFullName, kATSUInvalidFontID},
    {"", kFontFamilyName, kATSUInvalidFontID},
    {"Liberation Sans", 6, kATSUInvalidFontID},  // a name code this stand-in does not know
  };
  for (const Case& k : cases)
  {
    SCOPED_TRACE(k.name);
    ATSUFontID id = 77;
    const OSStatus status = ATSUFindFontFromName(k.name, strlen(k.name), k.code, kFontNoPlatformCode,
                                                 kFontNoScriptCode, kFontNoLanguageCode, &id);
    EXPECT_EQ(status, k.expected ? (OSStatus)noErr : (OSStatus)kATSUInvalidFontErr);
    EXPECT_EQ(id, k.expected);
  }
  // Distinct faces, distinct ids; the length bounds the name.
  const ATSUFontID italic = FontID("Liberation Sans Italic", kFontFullName);
  const ATSUFontID both = FontID("Liberation Sans Bold Italic", kFontFullName);
  const ATSUFontID dejavu = FontID("DejaVu Sans");
  for (ATSUFontID id : {italic, both, dejavu}) EXPECT_NE(id, kATSUInvalidFontID);
  EXPECT_NE(italic, both);
  EXPECT_NE(dejavu, sans);
  ATSUFontID id = 0;
  EXPECT_EQ(ATSUFindFontFromName("Arial Narrow!", 5, kFontFamilyName, 0, 0, 0, &id), noErr);
  EXPECT_EQ(id, sans);
  EXPECT_EQ(ATSUFindFontFromName("Arial", 5, kFontFamilyName, 0, 0, 0, nullptr), paramErr);
  EXPECT_EQ(ATSUFindFontFromName(nullptr, 5, kFontFamilyName, 0, 0, 0, &id), paramErr);
}

TEST(ATSUFixed, ConversionsRoundAndSaturate)
{
  EXPECT_EQ(Long2Fix(3), 3 << 16);
  EXPECT_EQ(Long2Fix(-2), -(2 << 16));
  EXPECT_EQ(Long2Fix(40000), 0x7FFFFFFF);
  EXPECT_EQ(Long2Fix(-40000), INT32_MIN);
  EXPECT_EQ(Fix2Long(0x18000), 2);   // 1.5
  EXPECT_EQ(Fix2Long(0x17FFF), 1);
  EXPECT_EQ(Fix2Long(-0x28000), -2);  // -2.5
  EXPECT_EQ(X2Fix(1.5), 0x18000);
  EXPECT_EQ(X2Fix(-0.25), -0x4000);
  EXPECT_EQ(X2Fix(1e12), 0x7FFFFFFF);
  EXPECT_EQ(X2Fix(-1e12), INT32_MIN);
  EXPECT_EQ(X2Fix(NAN), 0);
  EXPECT_EQ(Fix2X(-0x8000), -0.5);
  EXPECT_EQ(FixRatio(1, 4), 0x4000);
  EXPECT_EQ(FixRatio(-3, 2), -0x18000);
  EXPECT_EQ(FixRatio(1, 0), 0x7FFFFFFF);
}

namespace
{
struct Value
{
  ATSUAttributeTag tag;
  std::vector<uint8_t> bytes;
};

template <class T>
Value ValueOf(ATSUAttributeTag tag, T v)
{
  const uint8_t* p = (const uint8_t*)&v;
  return Value{tag, std::vector<uint8_t>(p, p + sizeof v)};
}

std::vector<uint8_t> Read(ATSUStyle style, ATSUAttributeTag tag, size_t size, OSStatus* status)
{
  std::vector<uint8_t> out(size, 0xEE);
  ByteCount actual = 0;
  *status = ATSUGetAttribute(style, tag, size, out.data(), &actual);
  EXPECT_EQ(actual, size);
  return out;
}
}  // namespace

TEST(ATSUStyles, EachAttributeRoundTripsAndBadOnesChangeNothing)
{
  const std::vector<Value> values = {
    ValueOf<Boolean>(kATSUQDBoldfaceTag, true),
    ValueOf<Boolean>(kATSUQDItalicTag, true),
    ValueOf<Boolean>(kATSUQDUnderlineTag, true),
    ValueOf<ATSUFontID>(kATSUFontTag, FontID("DejaVu Sans")),
    ValueOf<Fixed>(kATSUSizeTag, X2Fix(17.25)),
    ValueOf(kATSUColorTag, RGBColor{0x1234, 0xFFFF, 0x0001}),
    ValueOf<ATSUTextMeasurement>(kATSUAscentTag, X2Fix(9.5)),
    ValueOf<ATSUTextMeasurement>(kATSUDescentTag, X2Fix(3)),
    ValueOf<ATSUTextMeasurement>(kATSULeadingTag, 0),
  };
  for (const Value& v : values)
  {
    SCOPED_TRACE(testing::Message() << "tag " << v.tag);
    Style s;
    const size_t n = v.bytes.size();
    ATSUAttributeValuePtr p = (void*)v.bytes.data();
    // Sizes other than the value's set nothing, and neither does the good value batched with them.
    const ATSUAttributeTag pair[2] = {kATSUQDBoldfaceTag == v.tag ? kATSUQDItalicTag : kATSUQDBoldfaceTag, v.tag};
    Boolean yes = true;
    ATSUAttributeValuePtr pairValues[2] = {&yes, p};
    for (ByteCount wrong : {n - 1, n + 1, (size_t)0})
    {
      const ByteCount sizes[2] = {1, wrong};
      EXPECT_EQ(ATSUSetAttributes(s.Get(), 2, pair, sizes, pairValues), kATSUInvalidAttributeSizeErr);
    }
    OSStatus status;
    Read(s.Get(), pair[0], 1, &status);
    EXPECT_EQ(status, kATSUNotSetErr);
    Read(s.Get(), v.tag, n, &status);
    EXPECT_EQ(status, kATSUNotSetErr);
    // The right size sets it; reading needs room for the value but reports its size regardless.
    const ByteCount sizes[2] = {1, n};
    ASSERT_EQ(ATSUSetAttributes(s.Get(), 2, pair, sizes, pairValues), noErr);
    EXPECT_EQ(Read(s.Get(), v.tag, n, &status), v.bytes);
    EXPECT_EQ(status, noErr);
    ByteCount actual = 0;
    uint8_t small[8];
    EXPECT_EQ(ATSUGetAttribute(s.Get(), v.tag, n - 1, small, &actual), kATSUInvalidAttributeSizeErr);
    EXPECT_EQ(actual, n);
    EXPECT_EQ(ATSUGetAttribute(s.Get(), v.tag, 0, nullptr, nullptr), noErr);
  }
}

TEST(ATSUStyles, BadTagsAndValuesAreRefused)
{
  Style s;
  s.Size(20);
  struct Case
  {
    const char* name;
    Value value;
    OSStatus expected;
  };
  const Case cases[] = {
    {"unknown tag", ValueOf<Fixed>(9999, 1 << 16), kATSUInvalidAttributeTagErr},
    {"layout control as style attribute", ValueOf<Fixed>(kATSULineRotationTag, 1 << 16), kATSUInvalidAttributeTagErr},
    {"made-up font id", ValueOf<ATSUFontID>(kATSUFontTag, 12345), kATSUInvalidFontErr},
    {"no font", ValueOf<ATSUFontID>(kATSUFontTag, kATSUInvalidFontID), kATSUInvalidFontErr},
    {"zero size", ValueOf<Fixed>(kATSUSizeTag, 0), kATSUInvalidAttributeValueErr},
    {"negative size", ValueOf<Fixed>(kATSUSizeTag, -(5 << 16)), kATSUInvalidAttributeValueErr},
    {"negative ascent", ValueOf<Fixed>(kATSUAscentTag, -1), kATSUInvalidAttributeValueErr},
    {"negative leading", ValueOf<Fixed>(kATSULeadingTag, -(1 << 16)), kATSUInvalidAttributeValueErr},
  };
  for (const Case& k : cases)
  {
    SCOPED_TRACE(k.name);
    const ATSUAttributeTag tags[2] = {kATSUQDUnderlineTag, k.value.tag};
    const ByteCount sizes[2] = {1, k.value.bytes.size()};
    Boolean yes = true;
    ATSUAttributeValuePtr values[2] = {&yes, (void*)k.value.bytes.data()};
    EXPECT_EQ(ATSUSetAttributes(s.Get(), 2, tags, sizes, values), k.expected);
    EXPECT_EQ(ATSUGetAttribute(s.Get(), kATSUQDUnderlineTag, 1, nullptr, nullptr), kATSUNotSetErr);
  }
  Fixed size = 0;
  EXPECT_EQ(ATSUGetAttribute(s.Get(), kATSUSizeTag, sizeof size, &size, nullptr), noErr);
  EXPECT_EQ(size, 20 << 16);
  EXPECT_EQ(ATSUGetAttribute(s.Get(), 9999, 4, &size, nullptr), kATSUInvalidAttributeTagErr);
  const ATSUAttributeTag tag = kATSUSizeTag;
  const ByteCount n = sizeof(Fixed);
  EXPECT_EQ(ATSUSetAttributes(s.Get(), 1, &tag, &n, nullptr), paramErr);
  ATSUAttributeValuePtr none = nullptr;
  EXPECT_EQ(ATSUSetAttributes(s.Get(), 1, &tag, &n, &none), paramErr);
  EXPECT_EQ(ATSUSetAttributes(s.Get(), 0, nullptr, nullptr, nullptr), noErr);
}

TEST(ATSUStyles, UnsetAttributesReadAsDefaultsWithNotSet)
{
  Style s;
  Boolean flag = 7;
  for (ATSUAttributeTag tag : {kATSUQDBoldfaceTag, kATSUQDItalicTag, kATSUQDUnderlineTag})
  {
    EXPECT_EQ(ATSUGetAttribute(s.Get(), tag, 1, &flag, nullptr), kATSUNotSetErr);
    EXPECT_EQ(flag, 0);
  }
  Fixed size = 0;
  EXPECT_EQ(ATSUGetAttribute(s.Get(), kATSUSizeTag, 4, &size, nullptr), kATSUNotSetErr);
  EXPECT_EQ(size, 12 << 16);
  RGBColor colour{1, 2, 3};
  EXPECT_EQ(ATSUGetAttribute(s.Get(), kATSUColorTag, sizeof colour, &colour, nullptr), kATSUNotSetErr);
  EXPECT_EQ(colour.red + colour.green + colour.blue, 0);
  ATSUFontID font = 0;
  EXPECT_EQ(ATSUGetAttribute(s.Get(), kATSUFontTag, 4, &font, nullptr), kATSUNotSetErr);
  EXPECT_EQ(font, FontID("Arial"));  // the default face is what Arial resolves to

  // The font's own metrics at the style's size, scaling with it.
  const KVText::Layout at12 = EngineMetrics(12);
  ATSUTextMeasurement ascent = 0, descent = 0, leading = -1;
  EXPECT_EQ(ATSUGetAttribute(s.Get(), kATSUAscentTag, 4, &ascent, nullptr), kATSUNotSetErr);
  EXPECT_EQ(ATSUGetAttribute(s.Get(), kATSUDescentTag, 4, &descent, nullptr), kATSUNotSetErr);
  EXPECT_EQ(ATSUGetAttribute(s.Get(), kATSULeadingTag, 4, &leading, nullptr), kATSUNotSetErr);
  EXPECT_NEAR(Fix2X(ascent), at12.ascent, 1e-4);
  EXPECT_NEAR(Fix2X(descent), at12.descent, 1e-4);
  EXPECT_NEAR(Fix2X(leading), std::max(0.0, at12.lineHeight - at12.ascent - at12.descent), 1e-4);
  EXPECT_GT(ascent, 0);
  EXPECT_GT(descent, 0);
  EXPECT_GE(leading, 0);

  double metrics[2][2];
  const double sizes[2] = {10, 40};
  for (int i = 0; i < 2; ++i)
  {
    Style sized;
    sized.Size(sizes[i]);
    ATSUTextMeasurement a = 0, d = 0;
    ATSUGetAttribute(sized.Get(), kATSUAscentTag, 4, &a, nullptr);
    ATSUGetAttribute(sized.Get(), kATSUDescentTag, 4, &d, nullptr);
    metrics[i][0] = Fix2X(a);
    metrics[i][1] = Fix2X(d);
  }
  EXPECT_GT(metrics[0][0], 5);
  EXPECT_NEAR(metrics[1][0], 4 * metrics[0][0], 0.01);
  EXPECT_NEAR(metrics[1][1], 4 * metrics[0][1], 0.01);

  // A face's metrics, not the default's.
  Style serif;
  serif.Font(FontID("DejaVu Serif")).Size(40);
  KVText::Face face;
  ASSERT_TRUE(KVText::ResolveFace("DejaVu Serif", &face));
  ATSUGetAttribute(serif.Get(), kATSUAscentTag, 4, &ascent, nullptr);
  EXPECT_NEAR(Fix2X(ascent), EngineMetrics(40, &face).ascent, 1e-4);
}

TEST(ATSUStyles, ACopyHasTheAttributesSetAndGoesItsOwnWay)
{
  Style s;
  s.Size(20);
  ASSERT_EQ(s.Set<Boolean>(kATSUQDBoldfaceTag, true), noErr);
  ATSUStyle copy = nullptr;
  ASSERT_EQ(ATSUCreateAndCopyStyle(s.Get(), &copy), noErr);
  ASSERT_NE(copy, s.Get());
  Fixed size = 0;
  Boolean bold = false;
  RGBColor colour{1, 2, 3};
  EXPECT_EQ(ATSUGetAttribute(copy, kATSUSizeTag, 4, &size, nullptr), noErr);
  EXPECT_EQ(size, X2Fix(20));
  EXPECT_EQ(ATSUGetAttribute(copy, kATSUQDBoldfaceTag, 1, &bold, nullptr), noErr);
  EXPECT_TRUE(bold);
  EXPECT_EQ(ATSUGetAttribute(copy, kATSUColorTag, sizeof colour, &colour, nullptr), kATSUNotSetErr);

  // Set on the copy, the colour leaves the original as it was.
  colour = {0xffff, 0, 0};
  const ATSUAttributeTag tag = kATSUColorTag;
  const ByteCount bytes = sizeof colour;
  ATSUAttributeValuePtr value = &colour;
  EXPECT_EQ(ATSUSetAttributes(copy, 1, &tag, &bytes, &value), noErr);
  EXPECT_EQ(ATSUGetAttribute(s.Get(), kATSUColorTag, sizeof colour, &colour, nullptr), kATSUNotSetErr);
  EXPECT_EQ(colour.red, 0);
  EXPECT_EQ(ATSUDisposeStyle(copy), noErr);
  EXPECT_EQ(ATSUGetAttribute(s.Get(), kATSUSizeTag, 4, &size, nullptr), noErr) << "the original lives on";

  int foreign = 0;
  EXPECT_EQ(ATSUCreateAndCopyStyle(s.Get(), nullptr), paramErr);
  EXPECT_EQ(ATSUCreateAndCopyStyle((ATSUStyle)(void*)&foreign, &copy), kATSUInvalidStyleErr);
  EXPECT_EQ(ATSUCreateAndCopyStyle(copy, &copy), kATSUInvalidStyleErr) << "disposed";
}

TEST(ATSUStyles, NullDisposedAndForeignStylesAreRefused)
{
  ATSUStyle style = nullptr;
  ASSERT_EQ(ATSUCreateStyle(&style), noErr);
  ASSERT_EQ(ATSUDisposeStyle(style), noErr);
  int foreign = 0;
  Boolean yes = true;
  const ATSUAttributeTag tag = kATSUQDBoldfaceTag;
  const ByteCount size = 1;
  ATSUAttributeValuePtr value = &yes;
  for (ATSUStyle bad : {style, (ATSUStyle) nullptr, (ATSUStyle)(void*)&foreign})
  {
    EXPECT_EQ(ATSUDisposeStyle(bad), kATSUInvalidStyleErr);
    EXPECT_EQ(ATSUSetAttributes(bad, 1, &tag, &size, &value), kATSUInvalidStyleErr);
    EXPECT_EQ(ATSUGetAttribute(bad, tag, 1, &yes, nullptr), kATSUInvalidStyleErr);
    const UniChar text[1] = {'a'};
    const UniCharCount run = 1;
    ATSUTextLayout layout = (ATSUTextLayout)(void*)&foreign;
    EXPECT_EQ(ATSUCreateTextLayoutWithTextPtr(text, 0, 1, 1, 1, &run, &bad, &layout), kATSUInvalidStyleErr);
    EXPECT_EQ(layout, nullptr);
  }
  EXPECT_EQ(foreign, 0);
  EXPECT_EQ(ATSUCreateStyle(nullptr), paramErr);
}
