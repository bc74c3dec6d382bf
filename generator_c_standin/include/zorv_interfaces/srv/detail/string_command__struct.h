// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef ZORV_INTERFACES__SRV__DETAIL__STRING_COMMAND__STRUCT_H_
#define ZORV_INTERFACES__SRV__DETAIL__STRING_COMMAND__STRUCT_H_

#include "rosidl_runtime_c/string.h"

#ifdef __cplusplus
extern "C"
{
#endif

/// The request of the service zorv_interfaces/srv/StringCommand.
typedef struct zorv_interfaces__srv__StringCommand_Request
{
  /// The command text; unbounded.
  rosidl_runtime_c__String command;
} zorv_interfaces__srv__StringCommand_Request;

/// The response of the service zorv_interfaces/srv/StringCommand.
typedef struct zorv_interfaces__srv__StringCommand_Response
{
  /// The answer text; unbounded.
  rosidl_runtime_c__String answer;
} zorv_interfaces__srv__StringCommand_Response;

#ifdef __cplusplus
}
#endif

#endif  // ZORV_INTERFACES__SRV__DETAIL__STRING_COMMAND__STRUCT_H_
