// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// libFuzzer entry: the CDR decoder over StringCommand and the richest
// fixture message (see cdr_sample_check.hpp).

#include <cstddef>
#include <cstdint>

#include "cdr_sample_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  fuzz::check_sample(data, size);
  return 0;
}
