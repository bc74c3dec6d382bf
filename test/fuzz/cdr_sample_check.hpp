// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef FUZZ__CDR_SAMPLE_CHECK_HPP_
#define FUZZ__CDR_SAMPLE_CHECK_HPP_

#include <cstddef>
#include <cstdint>

namespace fuzz
{

/// Decodes `data` as a sample of the type its first byte selects (a
/// StringCommand request with or without the request header, or the
/// fixture's richest message); a sample that decodes must encode again to
/// bytes that decode to the same encoding. Aborts when that does not hold;
/// refusals are fine. Memory errors are the sanitizers' to find.
void check_sample(const std::uint8_t * data, std::size_t size);

}  // namespace fuzz

#endif  // FUZZ__CDR_SAMPLE_CHECK_HPP_
