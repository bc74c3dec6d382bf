// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SUPPORT__DESCRIBED_INTERFACE_HPP_
#define SUPPORT__DESCRIBED_INTERFACE_HPP_

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "typesupport_core/interface_name.hpp"
#include "typesupport_core/message_type.hpp"
#include "typesupport_core/type_support_library.hpp"

namespace test_support
{

/// What `library` describes for `name` ("package/kind/Name"), read once and
/// kept, with the library loaded, for the rest of the test program.
inline const typesupport_core::Interface & described(
  const std::string & library, const std::string & name)
{
  struct Described
  {
    std::string library;
    std::unique_ptr<typesupport_core::TypeSupportLibrary> loaded;
    std::unique_ptr<typesupport_core::Interface> interface;
  };
  static std::vector<Described> all;
  for (const Described & entry : all) {
    if (entry.library == library && entry.interface->name.text() == name) {
      return *entry.interface;
    }
  }
  Described entry{library, std::make_unique<typesupport_core::TypeSupportLibrary>(library), nullptr};
  entry.interface = std::make_unique<typesupport_core::Interface>(
    entry.loaded->describe(typesupport_core::parse_interface_name(name), std::nullopt));
  all.push_back(std::move(entry));
  return *all.back().interface;
}

}  // namespace test_support

#endif  // SUPPORT__DESCRIBED_INTERFACE_HPP_
