// The drawing program's faces are the faces asked for: fontconfig's stand-in for a missing face
// (another family, width or weight) is refused with the face and its package named, and the
// program then draws nothing, which stops the build.

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "ArtFaces.h"

TEST(ArtFaces, OnlyTheFamilyAndStyleAskedForAreTaken)
{
  struct Case
  {
    art::FaceWanted wanted;
    const char* file;  // the face's file name; null: refused
  };
  const Case cases[] = {
    {{"DejaVu Sans", "Book", "fonts-dejavu-core"}, "DejaVuSans.ttf"},
    {{"dejavu sans mono", "bold", "fonts-dejavu-core"}, "DejaVuSansMono-Bold.ttf"},
    {{"DejaVu Sans Condensed", "Bold", "fonts-dejavu-extra"}, "DejaVuSansCondensed-Bold.ttf"},
    {{"Qwerty Sans Nosuch", "Bold", "fonts-qwerty"}, nullptr},  // fontconfig offers some other family
    {{"DejaVu Sans", "Ultra Qwerty", "fonts-qwerty"}, nullptr},  // the family, not that style
  };
  for (const Case& k : cases)
  {
    SCOPED_TRACE(std::string(k.wanted.family) + " " + k.wanted.style);
    art::FaceFound found;
    std::string error;
    ASSERT_EQ(art::FindFace(k.wanted, &found, &error), k.file != nullptr) << error;
    if (k.file)
    {
      EXPECT_EQ(found.file.substr(found.file.rfind('/') + 1), k.file);
      EXPECT_EQ(error, "");
    }
    else
    {
      EXPECT_EQ(found.file, "");
      EXPECT_NE(error.find(std::string("\"") + k.wanted.family + " " + k.wanted.style + "\" is not installed"),
                std::string::npos) << error;
      EXPECT_NE(error.find("install Debian's fonts-qwerty"), std::string::npos) << error;
    }
  }
  FcFini();  // fontconfig's configuration back, as the program gives it back, for the leak checker
}

// The machine the fault was found on: DejaVu's basic faces only (fonts-dejavu-core), where
// fontconfig answers "DejaVu Sans Condensed" Bold with DejaVu Sans Bold.
TEST(ArtFaces, TheProgramStopsWithoutTheCondensedFace)
{
  const std::string dir = testing::TempDir() + "kv_artwork_core_fonts";
  ASSERT_EQ(system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "/fonts' '" + dir + "/out'").c_str()), 0);
  for (const char* face : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSansMono-Bold.ttf"})
  {
    const std::string file = std::string("/usr/share/fonts/truetype/dejavu/") + face;
    ASSERT_EQ(access(file.c_str(), R_OK), 0) << file << " is missing: scripts/setup.sh installs it (fonts-dejavu-core)";
    ASSERT_EQ(symlink(file.c_str(), (dir + "/fonts/" + face).c_str()), 0);
  }
  std::ofstream(dir + "/fonts.conf") << "<?xml version=\"1.0\"?>\n<fontconfig><dir>" << dir << "/fonts</dir><cachedir>"
                                      << dir << "/cache</cachedir></fontconfig>\n";
  const std::string log = dir + "/log";
  const int status = system(("FONTCONFIG_FILE='" + dir + "/fonts.conf' '" KV_EDITOR_ARTWORK "' '" + dir + "/out' 2>'" +
                             log + "'").c_str());
  std::ifstream in(log);
  const std::string said((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(status, 0);
  EXPECT_NE(said.find("kv_editor_artwork: the font face \"DejaVu Sans Condensed Bold\" is not installed (fontconfig "
                      "offers \"DejaVu Sans Bold\""),
            std::string::npos) << said;
  EXPECT_NE(said.find("install Debian's fonts-dejavu-extra"), std::string::npos) << said;
  struct stat st;
  EXPECT_NE(stat((dir + "/out/bg.png").c_str(), &st), 0) << "nothing is drawn";
}
