#pragma once
// The records behind the ATSUI handles, the registry that says which handles are live, the font
// ids, and what the sources share. Every public call holds Lock() for its whole length, so the
// records and the registry need no locks of their own.

#include <ATSUI/ATSUnicode.h>
#include <text/KVText.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace ATSUInternal
{
std::mutex& Lock();

// Live handles, each under a serial number (never 0): a record made at the address of a freed
// one has a new serial, so a layout can tell its style from a later one at the same address.
enum EKind
{
  kStyle,
  kLayout,
  kKindCount
};
uint64_t Add(EKind kind, const void* p);
void Remove(EKind kind, const void* p);
bool Contains(EKind kind, const void* p);
bool Alive(EKind kind, const void* p, uint64_t serial);

// Font ids: one per face (file and index), handed out in order, never taken back.
ATSUFontID FontIDOf(const KVText::Face& face);
// Null for an id never handed out. The face stays where it is for the process.
const KVText::Face* FaceOf(ATSUFontID id);
ATSUFontID DefaultFontID();

// A style's attributes; `set` has the bit (1 << EAttribute) of each one the style sets.
enum EAttribute
{
  kBold,
  kItalic,
  kUnderline,
  kFont,
  kSize,
  kColor,
  kAscent,
  kDescent,
  kLeading,
  kAttributeCount
};
struct StyleData
{
  UInt32 set = 0;
  Boolean bold = false, italic = false, underline = false;
  ATSUFontID font = kATSUInvalidFontID;
  Fixed size = 12 << 16;
  RGBColor color{0, 0, 0};
  ATSUTextMeasurement ascent = 0, descent = 0, leading = 0;
};

// What a style draws with: the face (a bold or italic one where the family has it, else the
// style's own face and synthetic emboldening or slant), the size, the colour and the line metrics
// (set ones, else the face's at that size).
struct Look
{
  const KVText::Face* face = nullptr;
  double size = 12;
  bool fakeBold = false, fakeItalic = false, underline = false;
  CGFloat rgba[4] = {0, 0, 0, 1};
  double ascent = 0, descent = 0, leading = 0;
};
Look LookOf(const StyleData& style);
}  // namespace ATSUInternal

struct OpaqueATSUStyle
{
  uint64_t mSerial = 0;
  ATSUInternal::StyleData mData;
};

struct OpaqueATSUTextLayout
{
  struct Run
  {
    ATSUStyle style;
    uint64_t serial;
    ATSUInternal::StyleData last;  // the style's attributes when last seen alive
    size_t length;
  };
  uint64_t mSerial = 0;
  std::vector<UniChar> mText;  // the layout's characters only
  UniCharArrayOffset mOffset = 0;  // where they start in the caller's buffer
  std::vector<Run> mRuns;
  CGContextRef mContext = nullptr;  // retained
  Fixed mRotation = 0;
  UInt32 mOptions = 0;
};

namespace ATSUInternal
{
// A piece of one run inside a range, as UTF-8 for the engine.
struct Segment
{
  Look look;
  std::string utf8;
};

// Characters [*first, *end) of the layout's text for a range given in buffer offsets; paramErr
// when the range is not inside the layout's text.
OSStatus RangeOf(const OpaqueATSUTextLayout& layout, UniCharArrayOffset start, UniCharCount length, size_t* first,
                 size_t* end);
// The pieces of the runs in [first, end), with the styles' current attributes.
std::vector<Segment> SegmentsOf(OpaqueATSUTextLayout& layout, size_t first, size_t end);
// The line's ascent and descent: the largest of its runs (a default style's for a layout without runs).
void LineMetrics(OpaqueATSUTextLayout& layout, double* ascent, double* descent);

// The transformation that puts a segment's pen, at `pen` along the line from (x, y), at the user
// origin, the line turned by `rotation` (exact at multiples of 90 degrees) and slanted when
// the look asks for a synthetic italic.
CGAffineTransform SegmentTransform(Fixed rotation, double x, double y, double pen, bool slant);
// t then m, as CGContextConcatCTM(t) makes of a CTM m.
CGAffineTransform Concat(const CGAffineTransform& t, const CGAffineTransform& m);
KVText::Style TextStyle(const Look& look, bool deviceMetrics);
// A segment laid out with its pen at the user origin, baseline y = 0, y up, under `ctm`.
void LaySegment(const Segment& segment, bool deviceMetrics, const CGAffineTransform& ctm, KVText::Layout* out);
}  // namespace ATSUInternal
