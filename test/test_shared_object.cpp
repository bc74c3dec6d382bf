// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// The built files as the dynamic loader sees them: names, needed libraries,
// exported symbols, and nothing that runs at load or pins the library.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "support/elf_file.hpp"
#include "support/string_command_library.hpp"

namespace
{

using test_support::ElfFile;

// These tests are about the files as shipped; a sanitizer build adds its
// runtime, constructors and instrumentation to them.
class SharedObject : public ::testing::Test
{
protected:
  void SetUp() override
  {
    if (ZORV_SANITIZED) {
      GTEST_SKIP() << "sanitizer build: the shipped files are checked by the plain build";
    }
  }
};

std::set<std::string> split(const std::string & list)
{
  std::set<std::string> items;
  std::size_t begin = 0;
  while (begin <= list.size()) {
    const std::size_t end = std::min(list.find(';', begin), list.size());
    if (end > begin) {
      items.insert(list.substr(begin, end - begin));
    }
    begin = end + 1;
  }
  return items;
}

TEST_F(SharedObject, NameAndNeededLibraries)
{
  const ElfFile library(test_support::kTypeSupportPath);
  EXPECT_EQ(library.soname(), "libzorv_interfaces__rosidl_typesupport_introspection_c.so");

  const std::string runtime_soname = ElfFile(ZORV_RUNTIME_C_LIBRARY_PATH).soname();
  ASSERT_EQ(runtime_soname.rfind("librosidl_runtime_c.so", 0), 0u) << runtime_soname;

  std::vector<std::string> needed = library.needed();
  needed.erase(std::remove(needed.begin(), needed.end(), "libc.so.6"), needed.end());
  std::sort(needed.begin(), needed.end());
  std::vector<std::string> expected{
    "libzorv_interfaces__rosidl_generator_c.so", "librosidl_typesupport_introspection_c.so",
    runtime_soname};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(needed, expected);
}

TEST_F(SharedObject, ExportsExactlyTheSevenFunctionsAndNoData)
{
  const ElfFile library(test_support::kTypeSupportPath);
  const std::set<std::string> expected{
    test_support::kRequestGetter, test_support::kResponseGetter, test_support::kServiceGetter,
    test_support::kRequestInit, test_support::kRequestFini, test_support::kResponseInit,
    test_support::kResponseFini};

  std::set<std::string> exported;
  for (const auto & symbol : library.dynamic_symbols()) {
    EXPECT_NE(symbol.binding, STB_GNU_UNIQUE) << symbol.name;
    const bool visible = symbol.binding != STB_LOCAL && symbol.visibility == STV_DEFAULT;
    if (symbol.defined && visible) {
      exported.insert(symbol.name);
      EXPECT_EQ(symbol.type, STT_FUNC) << symbol.name;
    }
  }
  EXPECT_EQ(exported, expected);
}

TEST_F(SharedObject, NothingRunsAtLoadAndNothingPinsTheLibrary)
{
  // The library's own code: no constructors or static initialisers of any kind.
  for (const std::string & object : split(ZORV_TYPESUPPORT_OBJECTS)) {
    const std::set<std::string> sections = ElfFile(object).section_names();
    for (const char * runs_at_load : {".init_array", ".ctors", ".preinit_array", ".init"}) {
      EXPECT_EQ(sections.count(runs_at_load), 0u) << object << " has " << runs_at_load;
    }
  }

  const ElfFile library(test_support::kTypeSupportPath);
  std::uint64_t flags_1 = 0;
  library.dynamic_value(DT_FLAGS_1, &flags_1);
  EXPECT_EQ(flags_1 & DF_1_NODELETE, 0u);
  EXPECT_EQ(library.dynamic_count(DT_PREINIT_ARRAY), 0u);
}

TEST_F(SharedObject, WrappedIntrospectionLibraryIsTheOneIdentifierHolder)
{
  if (std::string(ZORV_INTROSPECTION_WRAPPED_PATH).empty()) {
    GTEST_SKIP() << "the introspection library was found shared; nothing was wrapped";
  }
  const ElfFile wrapped(ZORV_INTROSPECTION_WRAPPED_PATH);
  EXPECT_EQ(wrapped.soname(), "librosidl_typesupport_introspection_c.so");
  bool exports_identifier = false;
  for (const auto & symbol : wrapped.dynamic_symbols()) {
    exports_identifier |= symbol.defined && symbol.type == STT_OBJECT &&
      symbol.name == "rosidl_typesupport_introspection_c__identifier";
  }
  EXPECT_TRUE(exports_identifier);

  // The type support library holds no identifier of its own.
  for (const auto & symbol : ElfFile(test_support::kTypeSupportPath).dynamic_symbols()) {
    if (symbol.name == "rosidl_typesupport_introspection_c__identifier") {
      EXPECT_FALSE(symbol.defined);
    }
  }
}

// Full RELRO, BIND_NOW, a non-executable stack and no text relocations, for
// every shared object the project builds.
TEST_F(SharedObject, SharedObjectsAreHardened)
{
  std::vector<std::string> files{test_support::kTypeSupportPath, ZORV_SIBLING_LIBRARY_PATH};
  if (!std::string(ZORV_INTROSPECTION_WRAPPED_PATH).empty()) {
    files.push_back(ZORV_INTROSPECTION_WRAPPED_PATH);
  }
  for (const std::string & path : files) {
    SCOPED_TRACE(path);
    const ElfFile file(path);
    bool relro = false;
    bool stack_marked = false;
    for (const Elf64_Phdr & segment : file.program_headers()) {
      relro |= segment.p_type == PT_GNU_RELRO;
      if (segment.p_type == PT_GNU_STACK) {
        stack_marked = true;
        EXPECT_EQ(segment.p_flags & PF_X, 0u) << "executable stack";
      }
    }
    EXPECT_TRUE(relro);
    EXPECT_TRUE(stack_marked);

    std::uint64_t flags = 0;
    std::uint64_t flags_1 = 0;
    file.dynamic_value(DT_FLAGS, &flags);
    file.dynamic_value(DT_FLAGS_1, &flags_1);
    EXPECT_TRUE((flags & DF_BIND_NOW) != 0 || (flags_1 & DF_1_NOW) != 0) << "not BIND_NOW";
    EXPECT_EQ(flags & DF_TEXTREL, 0u);
    EXPECT_EQ(file.dynamic_count(DT_TEXTREL), 0u);
  }
}

// The message library's objects record the options they were compiled with.
TEST_F(SharedObject, MessageLibraryIsBuiltWithStackProtectorAndFortify)
{
  for (const std::string & object : split(ZORV_SIBLING_OBJECTS)) {
    SCOPED_TRACE(object);
    const ElfFile file(object);
    const std::string options = file.section_contents(".GCC.command.line");
    ASSERT_FALSE(options.empty()) << "no recorded compile options";
    EXPECT_NE(options.find("-fstack-protector-strong"), std::string::npos);
    // Clang records the macros given on the command line; GCC's record
    // leaves them out, but its macro table (-g3) holds the C library's own
    // __USE_FORTIFY_LEVEL, set only where fortification took effect.
    const bool fortified = options.find("-D _FORTIFY_SOURCE=2") != std::string::npos ||
      file.section_contents(".debug_str").find("__USE_FORTIFY_LEVEL 2") != std::string::npos;
    EXPECT_TRUE(fortified);
  }
}

}  // namespace
