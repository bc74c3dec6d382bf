// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SUPPORT__UNEXPORTED_HANDLES_HPP_
#define SUPPORT__UNEXPORTED_HANDLES_HPP_

#include <dlfcn.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "elf_file.hpp"
#include "string_command_library.hpp"

namespace test_support
{

/// The library's three handles, which no getter has returned yet.
struct UnexportedHandles
{
  const rosidl_message_type_support_t * request;
  const rosidl_message_type_support_t * response;
  const rosidl_service_type_support_t * service;
};

/// Finds the handles in a loaded library through the file's symbol table, so
/// that the state they are in at load can be read before any getter runs.
class HandleLocator
{
public:
  explicit HandleLocator(const std::string & path)
  {
    const ElfFile file(path);
    request_ = file.object_address("StringCommand_Request_message_type_support_handle");
    response_ = file.object_address("StringCommand_Response_message_type_support_handle");
    service_ = file.object_address("StringCommand_service_type_support_handle");
  }

  UnexportedHandles locate(const StringCommandLibrary & lib) const
  {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(lib.service_getter), &info) == 0) {
      throw std::runtime_error("dladdr failed");
    }
    const auto * base = static_cast<const char *>(info.dli_fbase);
    return {
      reinterpret_cast<const rosidl_message_type_support_t *>(base + request_),
      reinterpret_cast<const rosidl_message_type_support_t *>(base + response_),
      reinterpret_cast<const rosidl_service_type_support_t *>(base + service_)};
  }

private:
  std::uint64_t request_ = 0;
  std::uint64_t response_ = 0;
  std::uint64_t service_ = 0;
};

/// "" when the handles are as the library is loaded (identifiers and service
/// links null, constant fields in place), else what differs.
inline std::string load_state_deviation(const UnexportedHandles & handles)
{
  const auto * service = members_of(handles.service);
  if (handles.request->typesupport_identifier != nullptr) {
    return "request identifier already set";
  }
  if (handles.response->typesupport_identifier != nullptr) {
    return "response identifier already set";
  }
  if (handles.service->typesupport_identifier != nullptr) {
    return "service identifier already set";
  }
  if (service->request_members_ != nullptr || service->response_members_ != nullptr) {
    return "service links already set";
  }
  if (std::string(service->service_name_) != "StringCommand" ||
    std::string(members_of(handles.request)->message_name_) != "StringCommand_Request" ||
    std::string(members_of(handles.response)->message_name_) != "StringCommand_Response")
  {
    return "records not in place";
  }
  return "";
}

}  // namespace test_support

#endif  // SUPPORT__UNEXPORTED_HANDLES_HPP_
