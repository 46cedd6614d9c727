// JPEG files into bitmaps: grey and RGB become opaque pixels; other component counts (CMYK)
// become rows of zeros.

#include <climits>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "pix_loaders.h"

// A program that reads JPEGs also gets the loader list with both loaders, which a static link would
// leave out whenever nothing else names them.
[[gnu::used]] static PIX_ImageLoaderEntry** const sKeepLoaderList = &PIX_ImageLoader_list;

namespace
{
// libjpeg's error manager followed by the jump buffer its error exit returns through.
struct PIXJPEG_ErrorMgr
{
  jpeg_error_mgr pub;
  jmp_buf jb;
  bool truncated;  // the data ended before the image did
};

void PIXJPEG_Error(j_common_ptr cinfo) { longjmp(((PIXJPEG_ErrorMgr*)cinfo->err)->jb, 1); }
// Warnings are silent. libjpeg recovers from a file cut short by inventing the rest of the image;
// that is noted here so the load fails rather than return a half-grey image as a success.
void PIXJPEG_EmitMsg(j_common_ptr cinfo, int level)
{
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) ((PIXJPEG_ErrorMgr*)cinfo->err)->truncated = true;
}
void PIXJPEG_OutMsg(j_common_ptr) {}
void PIXJPEG_FmtMsg(j_common_ptr, char*) {}
void PIXJPEG_reset_error_mgr(j_common_ptr cinfo)
{
  cinfo->err->num_warnings = 0;
  cinfo->err->msg_code = 0;
}

// Memory the decoder may take for whole-image buffers (progressive files); beyond it the load
// fails instead of asking for gigabytes on the word of a file header.
constexpr long kMaxDecoderMemory = 512L * 1024 * 1024;

// Everything a load holds, kept outside the function that sets the jump point.
struct JpegLoad
{
  FILE* fp = nullptr;
  jpeg_decompress_struct cinfo;
  PIXJPEG_ErrorMgr err;
  PIX_IBitmap* dest = nullptr;
  PIX_IBitmap* created = nullptr;
};

// The libjpeg calls of one load. No object with a destructor lives in this frame.
bool DecodeJpeg(JpegLoad* L)
{
  if (setjmp(L->err.jb)) return false;

  jpeg_create_decompress(&L->cinfo);
  L->cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
  jpeg_stdio_src(&L->cinfo, L->fp);
  jpeg_read_header(&L->cinfo, TRUE);
  if (!PIX_ImageSizeAllowed(L->cinfo.image_width, L->cinfo.image_height)) return false;
  jpeg_start_decompress(&L->cinfo);

  const int w = (int)L->cinfo.output_width, h = (int)L->cinfo.output_height;
  const int comps = L->cinfo.output_components;
  if (w <= 0 || h <= 0 || (uint64_t)w * h * 4 > INT_MAX) return false;
  JSAMPARRAY line = (*L->cinfo.mem->alloc_sarray)((j_common_ptr)&L->cinfo, JPOOL_IMAGE, (JDIMENSION)(w * comps), 1);

  PIX_IBitmap* bm = L->dest;
  if (bm)
  {
    bm->resize(w, h);
    if (bm->getWidth() != w || bm->getHeight() != h) return false;
  }
  else
  {
    bm = L->created = new (std::nothrow) PIX_MemBitmap(w, h);
    if (!bm || bm->getWidth() != w) return false;
  }
  PIX_PixelValue* bits = bm->getBits();
  const int span = bm->getRowSpan();
  if (!bits || span < w) return false;
  const bool flipped = bm->isFlipped();

  while (L->cinfo.output_scanline < L->cinfo.output_height)
  {
    const int y = (int)L->cinfo.output_scanline;
    if (jpeg_read_scanlines(&L->cinfo, line, 1) != 1) return false;
    unsigned char* out = (unsigned char*)(bits + (ptrdiff_t)(flipped ? h - 1 - y : y) * span);
    const unsigned char* in = line[0];
    if (comps == 3)
      for (int x = 0; x < w; ++x, out += 4, in += 3)
      {
        out[0] = 255;
        out[1] = in[0];
        out[2] = in[1];
        out[3] = in[2];
      }
    else if (comps == 1)
      for (int x = 0; x < w; ++x, out += 4)
      {
        out[0] = 255;
        out[1] = out[2] = out[3] = in[x];
      }
    else
      memset(out, 0, (size_t)w * 4);
  }
  jpeg_finish_decompress(&L->cinfo);
  return !L->err.truncated;
}
}  // namespace

PIX_IBitmap* PIX_LoadJPG(const char* filename, PIX_IBitmap* bmp)
{
  if (!filename) return nullptr;
  JpegLoad* L = new (std::nothrow) JpegLoad;
  if (!L) return nullptr;
  memset(&L->cinfo, 0, sizeof(L->cinfo));
  memset(&L->err, 0, sizeof(L->err));
  L->dest = bmp;
  L->fp = fopen(filename, "rb");
  if (!L->fp)
  {
    delete L;
    return nullptr;
  }
  L->err.pub.error_exit = PIXJPEG_Error;
  L->err.pub.emit_message = PIXJPEG_EmitMsg;
  L->err.pub.output_message = PIXJPEG_OutMsg;
  L->err.pub.format_message = PIXJPEG_FmtMsg;
  L->err.pub.reset_error_mgr = PIXJPEG_reset_error_mgr;
  L->cinfo.err = &L->err.pub;

  const bool ok = DecodeJpeg(L);

  jpeg_destroy_decompress(&L->cinfo);
  fclose(L->fp);
  PIX_IBitmap* result = ok ? (L->created ? L->created : bmp) : nullptr;
  if (!ok) delete L->created;
  delete L;
  return result;
}

PIX_IBitmap* PIX_LoadJPGFromResource(void*, int, PIX_IBitmap*) { return nullptr; }
