#pragma once
// The symbol names of a shared object, read straight from the ELF file (64-bit, little-endian).

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

// The defined symbols of the table of that type (SHT_DYNSYM, SHT_SYMTAB), local ones only when asked.
inline std::set<std::string> ElfDefinedSymbols(const std::string& path, uint32_t tableType, bool withLocal)
{
  std::set<std::string> names;
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (file.size() < sizeof(Elf64_Ehdr)) return names;
  Elf64_Ehdr eh;
  memcpy(&eh, file.data(), sizeof(eh));
  if (memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != ELFCLASS64) return names;
  if (eh.e_shoff + (uint64_t)eh.e_shnum * sizeof(Elf64_Shdr) > file.size()) return names;

  std::vector<Elf64_Shdr> sections(eh.e_shnum);
  memcpy(sections.data(), file.data() + eh.e_shoff, eh.e_shnum * sizeof(Elf64_Shdr));
  for (const Elf64_Shdr& sh : sections)
  {
    if (sh.sh_type != tableType || sh.sh_link >= sections.size()) continue;
    const Elf64_Shdr& strtab = sections[sh.sh_link];
    if (sh.sh_offset + sh.sh_size > file.size() || strtab.sh_offset + strtab.sh_size > file.size()) continue;
    for (uint64_t off = 0; off + sizeof(Elf64_Sym) <= sh.sh_size; off += sizeof(Elf64_Sym))
    {
      Elf64_Sym sym;
      memcpy(&sym, file.data() + sh.sh_offset + off, sizeof(sym));
      const int bind = ELF64_ST_BIND(sym.st_info);
      if (sym.st_shndx == SHN_UNDEF || (!withLocal && bind != STB_GLOBAL && bind != STB_WEAK) ||
          sym.st_name >= strtab.sh_size)
        continue;
      const char* name = file.data() + strtab.sh_offset + sym.st_name;
      names.insert(std::string(name, strnlen(name, strtab.sh_size - sym.st_name)));
    }
  }
  return names;
}

// What it exports: the defined global and weak symbols of its dynamic symbol table.
inline std::set<std::string> ExportedSymbols(const std::string& path)
{
  return ElfDefinedSymbols(path, SHT_DYNSYM, false);
}

// Everything it defines, hidden and local symbols included (empty for a stripped file).
inline std::set<std::string> DefinedSymbols(const std::string& path)
{
  return ElfDefinedSymbols(path, SHT_SYMTAB, true);
}
