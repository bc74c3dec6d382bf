// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "elf_file.hpp"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace test_support
{

ElfFile::ElfFile(const std::string & path)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw std::runtime_error("cannot open " + path);
  }
  bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  header_ = reinterpret_cast<const Elf64_Ehdr *>(bytes_.data());
  if (bytes_.size() < sizeof(Elf64_Ehdr) || std::memcmp(header_->e_ident, ELFMAG, SELFMAG) != 0 ||
    header_->e_ident[EI_CLASS] != ELFCLASS64 || header_->e_ident[EI_DATA] != ELFDATA2LSB)
  {
    throw std::runtime_error(path + " is not a 64-bit little-endian ELF file");
  }
  if (header_->e_shoff + header_->e_shnum * sizeof(Elf64_Shdr) > bytes_.size()) {
    throw std::runtime_error(path + ": section headers out of bounds");
  }
  const auto * first = reinterpret_cast<const Elf64_Shdr *>(bytes_.data() + header_->e_shoff);
  sections_.assign(first, first + header_->e_shnum);
}

std::string ElfFile::string_at(const Elf64_Shdr & table, std::uint64_t offset) const
{
  if (table.sh_offset + offset >= bytes_.size()) {
    throw std::runtime_error("string out of bounds");
  }
  return reinterpret_cast<const char *>(bytes_.data() + table.sh_offset + offset);
}

std::set<std::string> ElfFile::section_names() const
{
  std::set<std::string> names;
  for (const auto & s : sections_) {
    names.insert(string_at(sections_.at(header_->e_shstrndx), s.sh_name));
  }
  return names;
}

const Elf64_Shdr * ElfFile::section(const std::string & name) const
{
  for (const auto & s : sections_) {
    if (string_at(sections_.at(header_->e_shstrndx), s.sh_name) == name) {
      return &s;
    }
  }
  return nullptr;
}

const Elf64_Shdr * ElfFile::section_of_type(std::uint32_t type) const
{
  for (const auto & s : sections_) {
    if (s.sh_type == type) {
      return &s;
    }
  }
  return nullptr;
}

std::string ElfFile::section_contents(const std::string & name) const
{
  const Elf64_Shdr * found = section(name);
  if (found == nullptr || found->sh_type == SHT_NOBITS) {
    return "";
  }
  if (found->sh_offset + found->sh_size > bytes_.size()) {
    throw std::runtime_error("section " + name + " out of bounds");
  }
  return {reinterpret_cast<const char *>(bytes_.data() + found->sh_offset), found->sh_size};
}

std::vector<Elf64_Dyn> ElfFile::dynamic_entries() const
{
  const Elf64_Shdr * dynamic = section_of_type(SHT_DYNAMIC);
  if (dynamic == nullptr) {
    return {};
  }
  const auto * first = reinterpret_cast<const Elf64_Dyn *>(bytes_.data() + dynamic->sh_offset);
  std::vector<Elf64_Dyn> entries;
  for (const auto * e = first; e->d_tag != DT_NULL && e < first + dynamic->sh_size / sizeof(Elf64_Dyn);
    ++e)
  {
    entries.push_back(*e);
  }
  return entries;
}

std::string ElfFile::dynamic_string(std::uint64_t offset) const
{
  const Elf64_Shdr * dynstr = section(".dynstr");
  if (dynstr == nullptr) {
    throw std::runtime_error("no .dynstr");
  }
  return string_at(*dynstr, offset);
}

std::vector<std::string> ElfFile::needed() const
{
  std::vector<std::string> names;
  for (const auto & e : dynamic_entries()) {
    if (e.d_tag == DT_NEEDED) {
      names.push_back(dynamic_string(e.d_un.d_val));
    }
  }
  return names;
}

std::string ElfFile::soname() const
{
  std::uint64_t offset = 0;
  return dynamic_value(DT_SONAME, &offset) ? dynamic_string(offset) : std::string();
}

bool ElfFile::dynamic_value(std::int64_t tag, std::uint64_t * value) const
{
  for (const auto & e : dynamic_entries()) {
    if (e.d_tag == tag) {
      *value = e.d_un.d_val;
      return true;
    }
  }
  *value = 0;
  return false;
}

std::size_t ElfFile::dynamic_count(std::int64_t tag) const
{
  std::size_t count = 0;
  for (const auto & e : dynamic_entries()) {
    count += e.d_tag == tag ? 1 : 0;
  }
  return count;
}

std::vector<ElfFile::Symbol> ElfFile::dynamic_symbols() const
{
  const Elf64_Shdr * dynsym = section_of_type(SHT_DYNSYM);
  if (dynsym == nullptr) {
    return {};
  }
  const Elf64_Shdr & names = sections_.at(dynsym->sh_link);
  const auto * first = reinterpret_cast<const Elf64_Sym *>(bytes_.data() + dynsym->sh_offset);
  std::vector<Symbol> symbols;
  for (std::size_t i = 1; i < dynsym->sh_size / sizeof(Elf64_Sym); ++i) {
    const Elf64_Sym & s = first[i];
    symbols.push_back(
      {string_at(names, s.st_name), static_cast<unsigned char>(ELF64_ST_TYPE(s.st_info)),
        static_cast<unsigned char>(ELF64_ST_BIND(s.st_info)),
        static_cast<unsigned char>(ELF64_ST_VISIBILITY(s.st_other)), s.st_shndx != SHN_UNDEF});
  }
  return symbols;
}

std::vector<Elf64_Phdr> ElfFile::program_headers() const
{
  if (header_->e_phoff + header_->e_phnum * sizeof(Elf64_Phdr) > bytes_.size()) {
    throw std::runtime_error("program headers out of bounds");
  }
  const auto * first = reinterpret_cast<const Elf64_Phdr *>(bytes_.data() + header_->e_phoff);
  return {first, first + header_->e_phnum};
}

std::uint64_t ElfFile::object_address(const std::string & suffix) const
{
  const Elf64_Shdr * symtab = section_of_type(SHT_SYMTAB);
  if (symtab == nullptr) {
    throw std::runtime_error("no symbol table (stripped?)");
  }
  const Elf64_Shdr & names = sections_.at(symtab->sh_link);
  const auto * first = reinterpret_cast<const Elf64_Sym *>(bytes_.data() + symtab->sh_offset);
  std::vector<std::uint64_t> found;
  for (std::size_t i = 1; i < symtab->sh_size / sizeof(Elf64_Sym); ++i) {
    const std::string name = string_at(names, first[i].st_name);
    if (ELF64_ST_TYPE(first[i].st_info) == STT_OBJECT && name.size() >= suffix.size() &&
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
    {
      found.push_back(first[i].st_value);
    }
  }
  if (found.size() != 1) {
    throw std::runtime_error(
      std::to_string(found.size()) + " data objects named *" + suffix + ", expected one");
  }
  return found.front();
}

}  // namespace test_support
