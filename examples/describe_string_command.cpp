// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// A generic caller in miniature: loads the type support library by file name,
// prints what the service's records describe, and round-trips a request using
// nothing but those records.
//
//   describe_string_command [LIBRARY]

#include <dlfcn.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "rosidl_runtime_c/service_type_support_struct.h"
#include "rosidl_runtime_c/string.h"
#include "rosidl_runtime_c/string_functions.h"
#include "rosidl_typesupport_introspection_c/service_introspection.h"

namespace
{

constexpr char kServiceGetter[] =
  "rosidl_typesupport_introspection_c__get_service_type_support_handle__"
  "zorv_interfaces__srv__StringCommand";

void print_message(const char * role, const rosidl_typesupport_introspection_c__MessageMembers & m)
{
  std::printf(
    "  %-8s %s__%s: %zu bytes, %u field(s)\n", role, m.message_namespace_, m.message_name_,
    m.size_of_, static_cast<unsigned>(m.member_count_));
  for (std::uint32_t i = 0; i < m.member_count_; ++i) {
    const auto & field = m.members_[i];
    std::printf(
      "    %s: type %u, string bound %zu, offset %u, %s\n", field.name_,
      static_cast<unsigned>(field.type_id_), field.string_upper_bound_,
      static_cast<unsigned>(field.offset_), field.is_array_ ? "array" : "single");
  }
}

}  // namespace

int main(int argc, char ** argv)
{
  const char * path =
    argc > 1 ? argv[1] : "libzorv_interfaces__rosidl_typesupport_introspection_c.so";
  void * library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    std::fprintf(stderr, "cannot load %s: %s\n", path, dlerror());
    return 1;
  }
  using ServiceGetter = const rosidl_service_type_support_t * (*)();
  auto getter = reinterpret_cast<ServiceGetter>(dlsym(library, kServiceGetter));
  if (getter == nullptr) {
    std::fprintf(stderr, "%s does not export %s\n", path, kServiceGetter);
    dlclose(library);
    return 1;
  }

  const rosidl_service_type_support_t * service = getter();
  const auto * members =
    static_cast<const rosidl_typesupport_introspection_c__ServiceMembers *>(service->data);
  std::printf(
    "service %s__%s (type support \"%s\")\n", members->service_namespace_,
    members->service_name_, service->typesupport_identifier);
  print_message("request", *members->request_members_);
  print_message("response", *members->response_members_);

  // Create a request in memory of our own, fill its one string field by
  // offset, read it back and destroy it: all through the records.
  const auto & request = *members->request_members_;
  alignas(std::max_align_t) unsigned char message[64];
  if (request.size_of_ > sizeof(message)) {
    std::fprintf(stderr, "request of %zu bytes does not fit\n", request.size_of_);
    dlclose(library);
    return 1;
  }
  request.init_function(message, ROSIDL_RUNTIME_C_MSG_INIT_ALL);
  auto * command = reinterpret_cast<rosidl_runtime_c__String *>(message + request.members_[0].offset_);
  const bool assigned = rosidl_runtime_c__String__assign(command, "hello from a generic caller");
  if (assigned) {
    std::printf("round trip: %s = \"%s\" (%zu bytes)\n", request.members_[0].name_, command->data,
      command->size);
  }
  request.fini_function(message);
  dlclose(library);
  return assigned ? 0 : 1;
}
