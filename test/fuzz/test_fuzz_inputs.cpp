// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// Every input the fuzzer starts from, and every one that ever failed it, run
// through the same check in every build of the suite (and so under valgrind
// and the sanitizers).

#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cdr_sample_check.hpp"

namespace
{

std::vector<std::string> files_in(const std::string & directory)
{
  std::vector<std::string> files;
  DIR * listing = opendir(directory.c_str());
  if (listing == nullptr) {
    return files;
  }
  while (const dirent * entry = readdir(listing)) {
    if (entry->d_name[0] != '.') {
      files.push_back(directory + "/" + entry->d_name);
    }
  }
  closedir(listing);
  return files;
}

TEST(FuzzInputs, EverySeedAndRegressionPassesTheCheck)
{
  std::size_t checked = 0;
  for (const char * directory : {ZORV_FUZZ_DIRECTORY "/corpus", ZORV_FUZZ_DIRECTORY "/regressions"}) {
    for (const std::string & file : files_in(directory)) {
      SCOPED_TRACE(file);
      std::ifstream in(file, std::ios::binary);
      const std::vector<std::uint8_t> bytes(
        (std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      fuzz::check_sample(bytes.data(), bytes.size());
      ++checked;
    }
  }
  EXPECT_GT(checked, 0u);
}

}  // namespace
