#pragma once
// What the ATSUI tests share: styles made from a few attributes, layouts of ASCII or UTF-16 text
// in one style, the font ids of names, and the engine's own width for comparison.

#include <ATSUI/ATSUnicode.h>
#include <text/KVText.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

inline ATSUFontID FontID(const char* name, FontNameCode code = kFontFamilyName)
{
  ATSUFontID id = 0;
  ATSUFindFontFromName(name, strlen(name), code, kFontNoPlatformCode, kFontNoScriptCode, kFontNoLanguageCode, &id);
  return id;
}

inline std::vector<UniChar> Utf16(const std::string& ascii)
{
  return std::vector<UniChar>(ascii.begin(), ascii.end());
}

// A style that is disposed with the object.
class Style
{
public:
  Style() { EXPECT_EQ(ATSUCreateStyle(&mStyle), noErr); }
  ~Style() { ATSUDisposeStyle(mStyle); }
  Style(const Style&) = delete;
  Style& operator=(const Style&) = delete;

  template <class T>
  OSStatus Set(ATSUAttributeTag tag, T value)
  {
    ByteCount size = sizeof value;
    ATSUAttributeValuePtr p = &value;
    return ATSUSetAttributes(mStyle, 1, &tag, &size, &p);
  }
  Style& Size(double points)
  {
    EXPECT_EQ(Set<Fixed>(kATSUSizeTag, X2Fix(points)), noErr);
    return *this;
  }
  Style& Font(ATSUFontID id)
  {
    EXPECT_EQ(Set(kATSUFontTag, id), noErr);
    return *this;
  }
  Style& Flag(ATSUAttributeTag tag)
  {
    EXPECT_EQ(Set<Boolean>(tag, true), noErr);
    return *this;
  }
  Style& Color(unsigned short r, unsigned short g, unsigned short b)
  {
    EXPECT_EQ(Set(kATSUColorTag, RGBColor{r, g, b}), noErr);
    return *this;
  }
  ATSUStyle Get() const { return mStyle; }

private:
  ATSUStyle mStyle = nullptr;
};

// A layout over its own copy of the text, disposed with the object.
class Layout
{
public:
  Layout(std::vector<UniChar> text, std::vector<ATSUStyle> styles, std::vector<UniCharCount> runs = {})
    : mText(std::move(text))
  {
    if (runs.empty()) runs.assign(1, (UniCharCount)mText.size());
    mStatus = ATSUCreateTextLayoutWithTextPtr(mText.data(), 0, (UniCharCount)mText.size(), (UniCharCount)mText.size(),
                                              runs.size(), runs.data(), styles.data(), &mLayout);
  }
  Layout(const std::string& ascii, ATSUStyle style) : Layout(Utf16(ascii), {style}) {}
  ~Layout() { ATSUDisposeTextLayout(mLayout); }
  Layout(const Layout&) = delete;
  Layout& operator=(const Layout&) = delete;

  template <class T>
  OSStatus Control(ATSUAttributeTag tag, T value)
  {
    ByteCount size = sizeof value;
    ATSUAttributeValuePtr p = &value;
    return ATSUSetLayoutControls(mLayout, 1, &tag, &size, &p);
  }
  // The advance width of the whole text, in user units.
  double Width(UniCharArrayOffset start = kATSUFromTextBeginning, UniCharCount length = kATSUToTextEnd) const
  {
    ATSUTextMeasurement before = -1, after = -1;
    EXPECT_EQ(ATSUGetUnjustifiedBounds(mLayout, start, length, &before, &after, nullptr, nullptr), noErr);
    EXPECT_EQ(before, 0);
    return Fix2X(after);
  }
  OSStatus Status() const { return mStatus; }
  ATSUTextLayout Get() const { return mLayout; }

private:
  std::vector<UniChar> mText;
  ATSUTextLayout mLayout = nullptr;
  OSStatus mStatus;
};

// The engine's width of UTF-8 text in a face (null: the default face) at a size.
inline double EngineWidth(const std::string& utf8, double size, const KVText::Face* face = nullptr)
{
  KVText::Style style;
  style.face = face;
  style.size = size;
  KVText::Layout out;
  KVText::LayoutLine(style, utf8.data(), utf8.size(), CGRectMake(0, 0, 0, 0), KVText::kAlignLeft, false,
                     CGAffineTransform{1, 0, 0, 1, 0, 0}, &out);
  return out.width;
}

inline KVText::Layout EngineMetrics(double size, const KVText::Face* face = nullptr)
{
  KVText::Style style;
  style.face = face;
  style.size = size;
  KVText::Layout out;
  KVText::LayoutLine(style, nullptr, 0, CGRectMake(0, 0, 0, 0), KVText::kAlignLeft, false,
                     CGAffineTransform{1, 0, 0, 1, 0, 0}, &out);
  return out;
}
