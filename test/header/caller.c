// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// A caller of the public header, compiled as C99 and as C++14 (the standards
// that C and C++ packages of ROS 2 Foxy compile with), linked against the
// library: it reaches both messages through the service and round-trips a
// request through the exported adaptors. Exits 0 when all holds.

#include <stdio.h>
#include <string.h>

#include "rosidl_runtime_c/string.h"
#include "rosidl_runtime_c/string_functions.h"
#include "rosidl_typesupport_introspection_c/service_introspection.h"
#include "zorv_interfaces/srv/detail/string_command__rosidl_typesupport_introspection_c.h"

static int check(int holds, const char * what)
{
  if (!holds) {
    fprintf(stderr, "header caller: %s\n", what);
  }
  return holds ? 0 : 1;
}

int main(void)
{
  const rosidl_service_type_support_t * service =
    rosidl_typesupport_introspection_c__get_service_type_support_handle__zorv_interfaces__srv__StringCommand();
  const rosidl_typesupport_introspection_c__ServiceMembers * members =
    (const rosidl_typesupport_introspection_c__ServiceMembers *)service->data;
  const rosidl_message_type_support_t * request =
    rosidl_typesupport_introspection_c__get_message_type_support_handle__zorv_interfaces__srv__StringCommand_Request();
  rosidl_runtime_c__String command;
  int failures = 0;

  failures += check(strcmp(members->service_name_, "StringCommand") == 0, "service name");
  failures += check(members->request_members_ == request->data, "request link");
  failures += check(
    strcmp(members->response_members_->members_[0].name_, "answer") == 0, "response field");

  StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_init_function(
    &command, ROSIDL_RUNTIME_C_MSG_INIT_ALL);
  failures += check(rosidl_runtime_c__String__assign(&command, "dock"), "assign");
  failures += check(strcmp(command.data, "dock") == 0, "read back");
  StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_fini_function(
    &command);
  failures += check(command.data == NULL, "fini");
  return failures == 0 ? 0 : 1;
}
