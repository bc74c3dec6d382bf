// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "cdr_sample_check.hpp"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "typesupport_core/cdr.hpp"
#include "typesupport_core/error.hpp"
#include "typesupport_core/message_memory.hpp"
#include "typesupport_core/type_support_library.hpp"

namespace fuzz
{

namespace
{

using namespace typesupport_core;

struct Target
{
  std::unique_ptr<TypeSupportLibrary> library;
  std::unique_ptr<Interface> interface;
  std::unique_ptr<CdrCodec> codec;
};

Target load(const char * path, const char * name, bool request)
{
  Target target;
  target.library = std::make_unique<TypeSupportLibrary>(path);
  target.interface = std::make_unique<Interface>(
    target.library->describe(parse_interface_name(name), std::nullopt));
  const MessageType & type = request ? *target.interface->service->request : *target.interface->message;
  target.codec = std::make_unique<CdrCodec>(type);
  return target;
}

const std::vector<Target> & targets()
{
  static const std::vector<Target> loaded = [] {
      std::vector<Target> all;
      all.push_back(load(ZORV_TYPESUPPORT_LIBRARY_PATH, "zorv_interfaces/srv/StringCommand", true));
      all.push_back(load(INSPECTOR_FIXTURE_LIBRARY_PATH, "fixture_pkg/msg/Everything", false));
      return all;
    }();
  return loaded;
}

[[noreturn]] void fail(const char * what)
{
  std::fprintf(stderr, "cdr sample check: %s\n", what);
  std::abort();
}

}  // namespace

void check_sample(const std::uint8_t * data, std::size_t size)
{
  if (size == 0) {
    return;
  }
  // First byte: 0 a request with its header, 1 a request alone, 2 the
  // richest fixture message.
  const unsigned selector = data[0] % 3;
  const CdrCodec & codec = *targets()[selector == 2 ? 1 : 0].codec;
  RequestHeader header;
  RequestHeader * with_header = selector == 0 ? &header : nullptr;

  Message first(codec.type());
  try {
    codec.deserialize(data + 1, size - 1, first.data(), with_header);
  } catch (const Error &) {
    return;
  }
  std::vector<unsigned char> encoded;
  try {
    encoded = codec.serialize(first.data(), with_header);
  } catch (const Error &) {
    fail("a sample that decodes does not encode");
  }
  Message second(codec.type());
  RequestHeader second_header;
  try {
    codec.deserialize(encoded.data(), encoded.size(), second.data(),
      with_header != nullptr ? &second_header : nullptr);
  } catch (const Error &) {
    fail("our own encoding does not decode");
  }
  if (codec.serialize(second.data(), with_header != nullptr ? &second_header : nullptr) != encoded) {
    fail("decoding and encoding again changes the bytes");
  }
}

}  // namespace fuzz
