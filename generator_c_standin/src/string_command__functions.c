// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "zorv_interfaces/srv/detail/string_command__functions.h"

#include <string.h>

#include "rosidl_runtime_c/string_functions.h"

// Both messages are one unbounded string; these two do the work for each.

static bool
init_string_message(rosidl_runtime_c__String * text)
{
  if (!text) {
    return false;
  }
  // Zeroed first, so that fini finds a consistent empty string even when the
  // allocation below fails.
  memset(text, 0, sizeof(*text));
  return rosidl_runtime_c__String__init(text);
}

static void
fini_string_message(rosidl_runtime_c__String * text)
{
  if (!text) {
    return;
  }
  rosidl_runtime_c__String__fini(text);
}

bool
zorv_interfaces__srv__StringCommand_Request__init(
  zorv_interfaces__srv__StringCommand_Request * msg)
{
  return init_string_message(msg ? &msg->command : NULL);
}

void
zorv_interfaces__srv__StringCommand_Request__fini(
  zorv_interfaces__srv__StringCommand_Request * msg)
{
  fini_string_message(msg ? &msg->command : NULL);
}

bool
zorv_interfaces__srv__StringCommand_Response__init(
  zorv_interfaces__srv__StringCommand_Response * msg)
{
  return init_string_message(msg ? &msg->answer : NULL);
}

void
zorv_interfaces__srv__StringCommand_Response__fini(
  zorv_interfaces__srv__StringCommand_Response * msg)
{
  fini_string_message(msg ? &msg->answer : NULL);
}
