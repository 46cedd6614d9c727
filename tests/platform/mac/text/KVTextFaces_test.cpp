// Family names to faces: installed names and their configured metric aliases resolve, unknown
// names do not (fontconfig's generic fallback does not count), and the default face.

#include <gtest/gtest.h>

#include <text/KVText.h>

#include <string>

TEST(KVTextFaces, NamesResolveToInstalledFacesOrNotAtAll)
{
  struct Case
  {
    const char* name;
    const char* file;  // part of the resolved file's name; null: does not resolve
    const char* family;
  };
  const Case cases[] = {
    {"Arial", "LiberationSans-Regular", "Liberation Sans"},
    {"arial", "LiberationSans-Regular", "Liberation Sans"},
    {"ARIAL", "LiberationSans-Regular", "Liberation Sans"},
    {"Liberation Sans", "LiberationSans-Regular", "Liberation Sans"},
    {"DejaVu Sans", "DejaVuSans.ttf", "DejaVu Sans"},
    {"dejavu SANS", "DejaVuSans.ttf", "DejaVu Sans"},
    // Metric aliases of Debian's fontconfig configuration.
    {"Helvetica", "LiberationSans-Regular", "Liberation Sans"},
    {"Times New Roman", "LiberationSerif-Regular", "Liberation Serif"},
    {"Courier New", "LiberationMono-Regular", "Liberation Mono"},
    // Unknown names get fontconfig's sans-serif fallback, which is no answer.
    {"NoSuchFont Qwerty", nullptr, nullptr},
    {"Qwerty Sans Narrow", nullptr, nullptr},
    {"", nullptr, nullptr},
  };
  for (int pass = 0; pass < 2; ++pass)  // the second pass answers from the cache
    for (const Case& k : cases)
    {
      SCOPED_TRACE(k.name);
      KVText::Face face;
      face.file = "untouched";
      const bool resolved = KVText::ResolveFace(k.name, &face);
      EXPECT_EQ(resolved, k.file != nullptr);
      if (!k.file)
      {
        EXPECT_EQ(face.file, "untouched");
        continue;
      }
      EXPECT_NE(face.file.find(k.file), std::string::npos) << face.file;
      EXPECT_EQ(face.family, k.family);
      EXPECT_EQ(face.index, 0);
    }
  EXPECT_FALSE(KVText::ResolveFace(nullptr, nullptr));
  EXPECT_TRUE(KVText::ResolveFace("Arial", nullptr));
}

TEST(KVTextFaces, DefaultFaceIsWhatArialResolvesTo)
{
  const KVText::Face& face = KVText::DefaultFace();
  KVText::Face arial;
  ASSERT_TRUE(KVText::ResolveFace("Arial", &arial));
  EXPECT_EQ(face.file, arial.file);
  EXPECT_EQ(&face, &KVText::DefaultFace());
}

TEST(KVTextFaces, VariantsAreTheFamilysOwnBoldAndItalicFaces)
{
  struct Case
  {
    const char* family;
    bool fromBold;  // start from the family's bold face
    bool bold, italic;
    const char* file;  // the variant's file name; null: the family has none
  };
  const Case cases[] = {
    {"Liberation Sans", false, true, false, "LiberationSans-Bold.ttf"},
    {"Liberation Sans", false, false, true, "LiberationSans-Italic.ttf"},
    {"Liberation Sans", false, true, true, "LiberationSans-BoldItalic.ttf"},
    {"Liberation Sans", false, false, false, "LiberationSans-Regular.ttf"},
    {"Liberation Sans", true, false, true, "LiberationSans-BoldItalic.ttf"},  // keeps its own weight
    {"DejaVu Sans", false, false, true, "DejaVuSans-Oblique.ttf"},          // oblique counts as italic
    {"DejaVu Sans Condensed", false, true, false, "DejaVuSansCondensed-Bold.ttf"},  // keeps its width
    // One face only: fontconfig would synthesise the style, which is no face of the family's.
    {"DejaVu Math TeX Gyre", false, true, false, nullptr},
    {"DejaVu Math TeX Gyre", false, false, true, nullptr},
  };
  for (const Case& k : cases)
  {
    SCOPED_TRACE(testing::Message() << k.family << (k.fromBold ? " (bold)" : "") << " b" << k.bold << " i" << k.italic);
    KVText::Face face;
    ASSERT_TRUE(KVText::ResolveFace(k.family, &face))
      << k.family << " is not installed: scripts/setup.sh installs it (fonts-liberation2, fonts-dejavu-extra)";
    if (k.fromBold)
    {
      ASSERT_TRUE(KVText::ResolveVariant(face, true, false, &face));
    }
    KVText::Face variant;
    variant.file = "untouched";
    EXPECT_EQ(KVText::ResolveVariant(face, k.bold, k.italic, &variant), k.file != nullptr);
    const std::string file = variant.file.substr(variant.file.rfind('/') + 1);
    EXPECT_EQ(file, k.file ? k.file : "untouched");
  }
  EXPECT_FALSE(KVText::ResolveVariant(KVText::Face{}, true, false, nullptr));
}
