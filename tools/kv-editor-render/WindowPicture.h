#pragma once
// A window's pixels as a PNG file: 8-bit RGB, the top row first, no time chunk, so the same
// pixels always give the same bytes.

#include <string>

class NSWindow;

// Writes the window's backing store to path. On any failure (no pixels, the file cannot be made,
// a short write) it leaves no file behind and says why in *pError.
bool WriteWindowPicture(NSWindow* window, const std::string& path, std::string* pError);
