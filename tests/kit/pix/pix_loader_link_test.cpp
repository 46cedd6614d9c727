// The loader list and both loaders stay in a statically linked module that names only the PNG
// loader.

#include <gtest/gtest.h>

#include "ElfSymbols.h"

TEST(PixLoaderLink, AModuleThatReadsOnlyPngKeepsTheLoaderList)
{
  const std::set<std::string> symbols = DefinedSymbols(KV_PNG_ONLY_MODULE);
  ASSERT_TRUE(symbols.count("kv_probe_load_png")) << "the module's symbol table could not be read";
  EXPECT_TRUE(symbols.count("PIX_ImageLoader_list"));
  EXPECT_TRUE(symbols.count("PIX_pngldr"));
  EXPECT_TRUE(symbols.count("PIX_jpgldr"));
}
