// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// Links the installed libraries, reads the service's records and round-trips
// a request through them; prints "consumer: ok" when all holds.

#include <stdio.h>
#include <string.h>

#include "rosidl_runtime_c/string_functions.h"
#include "rosidl_typesupport_introspection_c/identifier.h"
#include "rosidl_typesupport_introspection_c/service_introspection.h"
#include "zorv_interfaces/srv/detail/string_command__rosidl_typesupport_introspection_c.h"
#include "zorv_interfaces/srv/string_command.h"

static int fail(const char * what)
{
  fprintf(stderr, "consumer: %s\n", what);
  return 1;
}

int main(void)
{
  const rosidl_service_type_support_t * service =
    rosidl_typesupport_introspection_c__get_service_type_support_handle__zorv_interfaces__srv__StringCommand();
  // The same identifier object as the library's: one per process.
  if (service->typesupport_identifier != rosidl_typesupport_introspection_c__identifier) {
    return fail("identifier is not the process's one");
  }
  const rosidl_typesupport_introspection_c__ServiceMembers * members = service->data;
  if (strcmp(members->service_name_, "StringCommand") != 0 ||
    strcmp(members->request_members_->members_[0].name_, "command") != 0)
  {
    return fail("unexpected records");
  }

  zorv_interfaces__srv__StringCommand_Request request;
  members->request_members_->init_function(&request, ROSIDL_RUNTIME_C_MSG_INIT_ALL);
  if (!rosidl_runtime_c__String__assign(&request.command, "from downstream")) {
    return fail("assign failed");
  }
  const int same = strcmp(request.command.data, "from downstream") == 0;
  zorv_interfaces__srv__StringCommand_Request__fini(&request);
  if (!same) {
    return fail("round trip lost the text");
  }
  puts("consumer: ok");
  return 0;
}
