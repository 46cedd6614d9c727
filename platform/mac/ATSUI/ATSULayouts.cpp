// Text layouts: UTF-16 text in runs of styles, layout controls, ranges, and lines measured
// through the text engine.

#include <algorithm>
#include <cstring>

#include "ATSUInternal.h"

using namespace ATSUInternal;

namespace
{
OpaqueATSUTextLayout* LiveLayout(ATSUTextLayout layout)
{
  return Contains(kLayout, layout) ? layout : nullptr;
}

void AppendUtf8(uint32_t cp, std::string* out)
{
  if (cp < 0x80)
  {
    out->push_back((char)cp);
    return;
  }
  if (cp < 0x800)
  {
    out->push_back((char)(0xC0 | (cp >> 6)));
  }
  else
  {
    if (cp < 0x10000)
    {
      out->push_back((char)(0xE0 | (cp >> 12)));
    }
    else
    {
      out->push_back((char)(0xF0 | (cp >> 18)));
      out->push_back((char)(0x80 | ((cp >> 12) & 0x3F)));
    }
    out->push_back((char)(0x80 | ((cp >> 6) & 0x3F)));
  }
  out->push_back((char)(0x80 | (cp & 0x3F)));
}

// UTF-16 to UTF-8; a surrogate without its partner becomes U+FFFD.
std::string Utf8Of(const UniChar* s, size_t n)
{
  std::string out;
  out.reserve(n * 3);
  for (size_t i = 0; i < n; ++i)
  {
    uint32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDFFF)
    {
      if (cp <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
        cp = 0x10000 + ((cp - 0xD800) << 10) + (s[++i] - 0xDC00u);
      else
        cp = 0xFFFD;
    }
    AppendUtf8(cp, &out);
  }
  return out;
}

const StyleData& CurrentStyle(OpaqueATSUTextLayout::Run& run)
{
  if (Alive(kStyle, run.style, run.serial)) run.last = run.style->mData;
  return run.last;
}

struct ControlInfo
{
  ATSUAttributeTag tag;
  ByteCount size;
};

const ControlInfo kControls[] = {
  {kATSUCGContextTag, sizeof(CGContextRef)},
  {kATSULineRotationTag, sizeof(Fixed)},
  {kATSULineLayoutOptionsTag, sizeof(UInt32)},
};
}  // namespace

namespace ATSUInternal
{
OSStatus RangeOf(const OpaqueATSUTextLayout& layout, UniCharArrayOffset start, UniCharCount length, size_t* first,
                 size_t* end)
{
  const size_t n = layout.mText.size();
  size_t from = 0;
  if (start != kATSUFromTextBeginning)
  {
    if (start < layout.mOffset || start - layout.mOffset > n) return paramErr;
    from = start - layout.mOffset;
  }
  size_t to = n;
  if (length != kATSUToTextEnd)
  {
    if (length > n - from) return paramErr;
    to = from + length;
  }
  *first = from;
  *end = to;
  return noErr;
}

std::vector<Segment> SegmentsOf(OpaqueATSUTextLayout& layout, size_t first, size_t end)
{
  std::vector<Segment> out;
  size_t at = 0;
  for (OpaqueATSUTextLayout::Run& run : layout.mRuns)
  {
    const size_t lo = std::max(first, at), hi = std::min(end, at + run.length);
    if (lo < hi) out.push_back(Segment{LookOf(CurrentStyle(run)), Utf8Of(layout.mText.data() + lo, hi - lo)});
    at += run.length;
  }
  return out;
}

void LineMetrics(OpaqueATSUTextLayout& layout, double* ascent, double* descent)
{
  if (layout.mRuns.empty())
  {
    const Look look = LookOf(StyleData());
    *ascent = look.ascent;
    *descent = look.descent;
    return;
  }
  *ascent = *descent = 0;
  for (OpaqueATSUTextLayout::Run& run : layout.mRuns)
  {
    const Look look = LookOf(CurrentStyle(run));
    *ascent = std::max(*ascent, look.ascent);
    *descent = std::max(*descent, look.descent);
  }
}

CGAffineTransform SegmentTransform(Fixed rotation, double x, double y, double pen, bool slant)
{
  double c, s;
  const Fixed quarter = 90 << 16;
  if (rotation % quarter == 0)
  {
    const int q = ((rotation / quarter) % 4 + 4) % 4;
    const double cosines[4] = {1, 0, -1, 0}, sines[4] = {0, 1, 0, -1};
    c = cosines[q];
    s = sines[q];
  }
  else
  {
    const double radians = Fix2X(rotation) * 3.14159265358979323846 / 180;
    c = std::cos(radians);
    s = std::sin(radians);
  }
  const CGAffineTransform turn{c, s, -s, c, x + c * pen, y + s * pen};
  if (!slant) return turn;
  // The slant of a synthetic italic (about 12 degrees), about the baseline.
  const CGAffineTransform shear{1, 0, 0.2126, 1, 0, 0};
  return Concat(shear, turn);
}

CGAffineTransform Concat(const CGAffineTransform& t, const CGAffineTransform& m)
{
  return CGAffineTransform{t.a * m.a + t.b * m.c,         t.a * m.b + t.b * m.d,
                           t.c * m.a + t.d * m.c,         t.c * m.b + t.d * m.d,
                           t.tx * m.a + t.ty * m.c + m.tx, t.tx * m.b + t.ty * m.d + m.ty};
}

KVText::Style TextStyle(const Look& look, bool deviceMetrics)
{
  KVText::Style style;
  style.face = look.face;
  style.size = look.size;
  style.deviceMetrics = deviceMetrics;
  return style;
}

void LaySegment(const Segment& segment, bool deviceMetrics, const CGAffineTransform& ctm, KVText::Layout* out)
{
  const KVText::Style style = TextStyle(segment.look, deviceMetrics);
  // The engine puts the line's top at the rectangle's top; with the rectangle one ascent high
  // (the font's, for this very CTM) the baseline lands on y = 0.
  KVText::Layout probe;
  KVText::LayoutLine(style, nullptr, 0, CGRectMake(0, 0, 0, 0), KVText::kAlignLeft, false, ctm, &probe);
  KVText::LayoutLine(style, segment.utf8.data(), segment.utf8.size(), CGRectMake(0, 0, 0, probe.ascent),
                     KVText::kAlignLeft, false, ctm, out);
}
}  // namespace ATSUInternal

OSStatus ATSUCreateTextLayoutWithTextPtr(const UniChar* iText, UniCharArrayOffset iTextOffset,
                                         UniCharCount iTextLength, UniCharCount iTextTotalLength,
                                         ItemCount iNumberOfRuns, const UniCharCount iRunLengths[],
                                         ATSUStyle iStyles[], ATSUTextLayout* oTextLayout)
{
  if (!oTextLayout) return paramErr;
  *oTextLayout = nullptr;
  if (iTextLength > 0 && !iText) return paramErr;
  if ((uint64_t)iTextOffset + iTextLength > (iText ? (uint64_t)iTextTotalLength : 0)) return paramErr;
  if (iNumberOfRuns > 0 && (!iRunLengths || !iStyles)) return paramErr;
  if (iTextLength > 0 && iNumberOfRuns == 0) return paramErr;

  std::lock_guard<std::mutex> hold(Lock());
  std::vector<OpaqueATSUTextLayout::Run> runs;
  runs.reserve(iNumberOfRuns);
  size_t total = 0;
  for (ItemCount i = 0; i < iNumberOfRuns; ++i)
  {
    ATSUStyle style = iStyles[i];
    if (!Contains(kStyle, style)) return kATSUInvalidStyleErr;
    size_t length = iRunLengths[i];
    if (length == kATSUToTextEnd)
    {
      if (i + 1 != iNumberOfRuns) return paramErr;
      length = iTextLength - total;
    }
    if (length > iTextLength - total) return paramErr;
    total += length;
    runs.push_back(OpaqueATSUTextLayout::Run{style, style->mSerial, style->mData, length});
  }
  if (total != iTextLength) return paramErr;

  OpaqueATSUTextLayout* layout = new OpaqueATSUTextLayout;
  if (iTextLength > 0) layout->mText.assign(iText + iTextOffset, iText + iTextOffset + iTextLength);
  layout->mOffset = iTextOffset;
  layout->mRuns = std::move(runs);
  layout->mSerial = Add(kLayout, layout);
  *oTextLayout = layout;
  return noErr;
}

OSStatus ATSUDisposeTextLayout(ATSUTextLayout iTextLayout)
{
  std::lock_guard<std::mutex> hold(Lock());
  OpaqueATSUTextLayout* layout = LiveLayout(iTextLayout);
  if (!layout) return kATSUInvalidTextLayoutErr;
  Remove(kLayout, layout);
  CGContextRelease(layout->mContext);
  delete layout;
  return noErr;
}

OSStatus ATSUSetLayoutControls(ATSUTextLayout iTextLayout, ItemCount iAttributeCount, const ATSUAttributeTag iTag[],
                               const ByteCount iValueSize[], const ATSUAttributeValuePtr iValue[])
{
  std::lock_guard<std::mutex> hold(Lock());
  OpaqueATSUTextLayout* layout = LiveLayout(iTextLayout);
  if (!layout) return kATSUInvalidTextLayoutErr;
  if (iAttributeCount == 0) return noErr;
  if (!iTag || !iValueSize || !iValue) return paramErr;
  for (ItemCount i = 0; i < iAttributeCount; ++i)
  {
    const ControlInfo* info = nullptr;
    for (const ControlInfo& c : kControls)
      if (c.tag == iTag[i]) info = &c;
    if (!info) return kATSUInvalidAttributeTagErr;
    if (iValueSize[i] != info->size) return kATSUInvalidAttributeSizeErr;
    if (!iValue[i]) return paramErr;
  }
  for (ItemCount i = 0; i < iAttributeCount; ++i)
  {
    switch (iTag[i])
    {
      case kATSUCGContextTag:
      {
        CGContextRef context;
        memcpy(&context, iValue[i], sizeof context);
        CGContextRetain(context);
        CGContextRelease(layout->mContext);
        layout->mContext = context;
        break;
      }
      case kATSULineRotationTag: memcpy(&layout->mRotation, iValue[i], sizeof layout->mRotation); break;
      default: memcpy(&layout->mOptions, iValue[i], sizeof layout->mOptions); break;
    }
  }
  return noErr;
}

OSStatus ATSUGetUnjustifiedBounds(ATSUTextLayout iTextLayout, UniCharArrayOffset iLineStart, UniCharCount iLineLength,
                                  ATSUTextMeasurement* oTextBefore, ATSUTextMeasurement* oTextAfter,
                                  ATSUTextMeasurement* oAscent, ATSUTextMeasurement* oDescent)
{
  std::lock_guard<std::mutex> hold(Lock());
  OpaqueATSUTextLayout* layout = LiveLayout(iTextLayout);
  if (!layout) return kATSUInvalidTextLayoutErr;
  size_t first, end;
  const OSStatus status = RangeOf(*layout, iLineStart, iLineLength, &first, &end);
  if (status != noErr) return status;

  // Measured for the context the layout draws into, where device metrics make that matter.
  const bool device = (layout->mOptions & kATSLineUseDeviceMetrics) != 0;
  const CGAffineTransform ctm =
    layout->mContext ? CGContextGetCTM(layout->mContext) : CGAffineTransform{1, 0, 0, 1, 0, 0};
  double width = 0;
  for (const Segment& segment : SegmentsOf(*layout, first, end))
  {
    KVText::Layout line;
    const CGAffineTransform m = SegmentTransform(layout->mRotation, 0, 0, width, segment.look.fakeItalic);
    LaySegment(segment, device, Concat(m, ctm), &line);
    width += line.width;
  }
  double ascent, descent;
  LineMetrics(*layout, &ascent, &descent);
  if (oTextBefore) *oTextBefore = 0;
  if (oTextAfter) *oTextAfter = X2Fix(width);
  if (oAscent) *oAscent = X2Fix(ascent);
  if (oDescent) *oDescent = X2Fix(descent);
  return noErr;
}
