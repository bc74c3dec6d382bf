// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef TYPESUPPORT_CORE__RECORDS_HPP_
#define TYPESUPPORT_CORE__RECORDS_HPP_

#include <cstddef>
#include <optional>

#include "typesupport_core/interface_name.hpp"
#include "typesupport_core/message_type.hpp"

namespace typesupport_core
{

/// The identifier every introspection C type support handle carries.
inline constexpr char kIntrospectionIdentifier[] = "rosidl_typesupport_introspection_c";

/// The largest `size_of_` a message record may give: 64 MiB.
inline constexpr std::size_t kMaxMessageSize = std::size_t{64} << 20;
/// The most fields one message record may have.
inline constexpr std::size_t kMaxFields = 65535;
/// The most distinct message records one interface may reach.
inline constexpr std::size_t kMaxMessageTypes = 4096;
/// The deepest nesting of messages.
inline constexpr int kMaxNesting = 64;
/// The longest name or namespace in a record, in bytes.
inline constexpr std::size_t kMaxNameLength = 255;

/// Reads and checks what the type support handle at `handle` describes, which
/// `name` names, before anything is created or written from it: every pointer
/// is followed only into readable memory, every function is code, every field
/// lies inside its message's `size_of_` and has a known type, nested handles
/// carry the introspection identifier, names are valid UTF-8 and match `name`,
/// a service's handle holds a service record. Each members record is read once,
/// so the work grows with the records, not with the paths through them.
///
/// The member layout is `layout` when given; otherwise it is the one of the two
/// under which the records are valid (both read a single field the same).
///
/// Throws Error naming the first fault.
Interface describe_handle(
  const InterfaceName & name, const void * handle, std::optional<MemberLayout> layout);

}  // namespace typesupport_core

#endif  // TYPESUPPORT_CORE__RECORDS_HPP_
