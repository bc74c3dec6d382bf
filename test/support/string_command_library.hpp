// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SUPPORT__STRING_COMMAND_LIBRARY_HPP_
#define SUPPORT__STRING_COMMAND_LIBRARY_HPP_

#include <string>

#include "rosidl_runtime_c/message_initialization.h"
#include "rosidl_runtime_c/message_type_support_struct.h"
#include "rosidl_runtime_c/service_type_support_struct.h"
#include "rosidl_typesupport_introspection_c/message_introspection.h"
#include "rosidl_typesupport_introspection_c/service_introspection.h"

#include "loaded_library.hpp"

namespace test_support
{

/// The built type support library (its path is given by the build).
inline const std::string kTypeSupportPath = ZORV_TYPESUPPORT_LIBRARY_PATH;

inline constexpr char kRequestGetter[] =
  "rosidl_typesupport_introspection_c__get_message_type_support_handle__"
  "zorv_interfaces__srv__StringCommand_Request";
inline constexpr char kResponseGetter[] =
  "rosidl_typesupport_introspection_c__get_message_type_support_handle__"
  "zorv_interfaces__srv__StringCommand_Response";
inline constexpr char kServiceGetter[] =
  "rosidl_typesupport_introspection_c__get_service_type_support_handle__"
  "zorv_interfaces__srv__StringCommand";
inline constexpr char kRequestInit[] =
  "StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_init_function";
inline constexpr char kRequestFini[] =
  "StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_fini_function";
inline constexpr char kResponseInit[] =
  "StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_init_function";
inline constexpr char kResponseFini[] =
  "StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_fini_function";

using MessageGetter = const rosidl_message_type_support_t * (*)();
using ServiceGetter = const rosidl_service_type_support_t * (*)();
using InitFunction = void (*)(void *, enum rosidl_runtime_c__message_initialization);
using FiniFunction = void (*)(void *);

/// A fresh load of the library with its seven functions and the identifier
/// global of the introspection library it was linked with.
struct StringCommandLibrary
{
  StringCommandLibrary()
  : library(kTypeSupportPath),
    request_getter(library.function<MessageGetter>(kRequestGetter)),
    response_getter(library.function<MessageGetter>(kResponseGetter)),
    service_getter(library.function<ServiceGetter>(kServiceGetter)),
    request_init(library.function<InitFunction>(kRequestInit)),
    request_fini(library.function<FiniFunction>(kRequestFini)),
    response_init(library.function<InitFunction>(kResponseInit)),
    response_fini(library.function<FiniFunction>(kResponseFini)),
    identifier(*static_cast<const char * const *>(
        library.address("rosidl_typesupport_introspection_c__identifier")))
  {
  }

  LoadedLibrary library;
  MessageGetter request_getter;
  MessageGetter response_getter;
  ServiceGetter service_getter;
  InitFunction request_init;
  FiniFunction request_fini;
  InitFunction response_init;
  FiniFunction response_fini;
  const char * identifier;
};

inline const rosidl_typesupport_introspection_c__MessageMembers *
members_of(const rosidl_message_type_support_t * handle)
{
  return static_cast<const rosidl_typesupport_introspection_c__MessageMembers *>(handle->data);
}

inline const rosidl_typesupport_introspection_c__ServiceMembers *
members_of(const rosidl_service_type_support_t * handle)
{
  return static_cast<const rosidl_typesupport_introspection_c__ServiceMembers *>(handle->data);
}

}  // namespace test_support

#endif  // SUPPORT__STRING_COMMAND_LIBRARY_HPP_
