// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef CODEC_TWINS__WIRE_VALUES_HPP_
#define CODEC_TWINS__WIRE_VALUES_HPP_

#include <cstdint>
#include <cstring>
#include <limits>

#include "fixture_twins.h"

namespace codec_twins
{

/// fixture_pkg/msg/Wire with a value in every field, as VALUES YAML: extremes
/// of every integer, floats that need their full precision, strings with
/// quotes, sequences of several lengths, doubles after strings.
inline constexpr char kFullWireValues[] =
  "{flag: true, byte_value: 255, char_value: -5, ratio: 0.1, precise: -2.5e-3,"
  " small: -128, small_unsigned: 200, medium: -32768, medium_unsigned: 65535, large: -7,"
  " large_unsigned: 4294967295, huge: -9223372036854775808,"
  " huge_unsigned: 18446744073709551615, name: 'hello: world', code: '12345678',"
  " triple: [4, 5, 6], readings: [1e20, .inf, -0.0, 5e-324], counts: [1, -2, 2147483647],"
  " tags: [x, ''], inner: {x: 7, label: deep, weight: 2.25},"
  " inners: [{x: 1, weight: 0.5}, {label: two, weight: -1e300}, {x: -3, label: three}]}";

/// The same values in the IDL twin (its strings and sequences point at
/// static storage).
inline void fill_full_wire(fixture_pkg_msg_dds__Wire_ & twin)
{
  static double readings[] = {1e20, std::numeric_limits<double>::infinity(), -0.0, 5e-324};
  static std::int32_t counts[] = {1, -2, 2147483647};
  static fixture_pkg_msg_dds__Inner_ inners[] = {{1, const_cast<char *>(""), 0.5},
    {0, const_cast<char *>("two"), -1e300}, {-3, const_cast<char *>("three"), 0}};
  twin.flag = true;
  twin.byte_value = 255;
  twin.char_value = -5;
  twin.ratio = 0.1f;
  twin.precise = -2.5e-3;
  twin.small = -128;
  twin.small_unsigned = 200;
  twin.medium = -32768;
  twin.medium_unsigned = 65535;
  twin.large = -7;
  twin.large_unsigned = 4294967295u;
  twin.huge = std::numeric_limits<std::int64_t>::min();
  twin.huge_unsigned = std::numeric_limits<std::uint64_t>::max();
  twin.name = const_cast<char *>("hello: world");
  std::strcpy(twin.code, "12345678");
  twin.triple[0] = 4;
  twin.triple[1] = 5;
  twin.triple[2] = 6;
  twin.readings = {4, 4, readings, false};
  twin.counts = {3, 3, counts, false};
  twin.tags[0] = const_cast<char *>("x");
  twin.tags[1] = const_cast<char *>("");
  twin.inner = {7, const_cast<char *>("deep"), 2.25};
  twin.inners = {3, 3, inners, false};
}

}  // namespace codec_twins

#endif  // CODEC_TWINS__WIRE_VALUES_HPP_
