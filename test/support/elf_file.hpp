// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SUPPORT__ELF_FILE_HPP_
#define SUPPORT__ELF_FILE_HPP_

#include <elf.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace test_support
{

/// What the tests read of a 64-bit ELF file: its sections, dynamic entries
/// and dynamic symbols.
class ElfFile
{
public:
  /// A symbol of the dynamic symbol table.
  struct Symbol
  {
    std::string name;
    unsigned char type;  // STT_*
    unsigned char binding;  // STB_*
    unsigned char visibility;  // STV_*
    bool defined;
  };

  /// Reads the whole file; throws if it is not a 64-bit little-endian ELF file.
  explicit ElfFile(const std::string & path);

  /// Names of all sections.
  std::set<std::string> section_names() const;
  /// The bytes of the named section, or "" when there is no such section.
  std::string section_contents(const std::string & name) const;
  /// The DT_NEEDED entries, in order.
  std::vector<std::string> needed() const;
  /// The DT_SONAME entry, or "" when there is none.
  std::string soname() const;
  /// The value of dynamic tag `tag` (0 when absent) and whether it is present.
  bool dynamic_value(std::int64_t tag, std::uint64_t * value) const;
  /// Count of entries with tag `tag` in the dynamic section.
  std::size_t dynamic_count(std::int64_t tag) const;
  /// All symbols of the dynamic symbol table but the null one.
  std::vector<Symbol> dynamic_symbols() const;
  /// All program headers.
  std::vector<Elf64_Phdr> program_headers() const;
  /// The value (address relative to the load base) of the data object in the
  /// full symbol table whose name ends with `suffix` (names of file-local C++
  /// objects carry a mangling prefix); throws unless there is exactly one.
  std::uint64_t object_address(const std::string & suffix) const;

private:
  const Elf64_Shdr * section(const std::string & name) const;
  const Elf64_Shdr * section_of_type(std::uint32_t type) const;
  std::string string_at(const Elf64_Shdr & table, std::uint64_t offset) const;
  std::vector<Elf64_Dyn> dynamic_entries() const;
  std::string dynamic_string(std::uint64_t offset) const;

  std::vector<unsigned char> bytes_;
  const Elf64_Ehdr * header_;
  std::vector<Elf64_Shdr> sections_;
};

}  // namespace test_support

#endif  // SUPPORT__ELF_FILE_HPP_
