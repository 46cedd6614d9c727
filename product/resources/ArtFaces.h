// The font faces the images are drawn with, found through fontconfig and checked to be the faces
// asked for: a match always returns some font, and a stand-in of another width or weight would
// change every legend without a word.
#pragma once

#include <string>

namespace art
{
struct FaceWanted
{
  const char* family;   // "DejaVu Sans Condensed"
  const char* style;    // "Bold"
  const char* package;  // the Debian package that has it
};

struct FaceFound
{
  std::string file;
  int index = 0;
};

// The installed face of `wanted`'s family and style. False, with `error` saying which face is
// missing, what fontconfig offers instead and which package to install, when there is none.
bool FindFace(const FaceWanted& wanted, FaceFound* found, std::string* error);
}  // namespace art
