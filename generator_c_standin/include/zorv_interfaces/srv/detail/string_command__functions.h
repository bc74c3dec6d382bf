// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef ZORV_INTERFACES__SRV__DETAIL__STRING_COMMAND__FUNCTIONS_H_
#define ZORV_INTERFACES__SRV__DETAIL__STRING_COMMAND__FUNCTIONS_H_

#include <stdbool.h>

#include "zorv_interfaces/msg/rosidl_generator_c__visibility_control.h"
#include "zorv_interfaces/srv/detail/string_command__struct.h"

#ifdef __cplusplus
extern "C"
{
#endif

/// Initialise a request: an empty `command`.
/**
 * The structure is zeroed before the string is set up, so a request whose
 * initialisation failed can still be passed to
 * zorv_interfaces__srv__StringCommand_Request__fini().
 *
 * \param[out] msg the request to initialise; may be NULL.
 * \return true on success, false if `msg` is NULL or memory ran out.
 */
ROSIDL_GENERATOR_C_PUBLIC_zorv_interfaces
bool
zorv_interfaces__srv__StringCommand_Request__init(
  zorv_interfaces__srv__StringCommand_Request * msg);

/// Release what a request holds, leaving it zeroed.
/**
 * \param[inout] msg an initialised (or failed-to-initialise) request; NULL is ignored.
 */
ROSIDL_GENERATOR_C_PUBLIC_zorv_interfaces
void
zorv_interfaces__srv__StringCommand_Request__fini(
  zorv_interfaces__srv__StringCommand_Request * msg);

/// Initialise a response: an empty `answer`.
/**
 * The structure is zeroed before the string is set up, so a response whose
 * initialisation failed can still be passed to
 * zorv_interfaces__srv__StringCommand_Response__fini().
 *
 * \param[out] msg the response to initialise; may be NULL.
 * \return true on success, false if `msg` is NULL or memory ran out.
 */
ROSIDL_GENERATOR_C_PUBLIC_zorv_interfaces
bool
zorv_interfaces__srv__StringCommand_Response__init(
  zorv_interfaces__srv__StringCommand_Response * msg);

/// Release what a response holds, leaving it zeroed.
/**
 * \param[inout] msg an initialised (or failed-to-initialise) response; NULL is ignored.
 */
ROSIDL_GENERATOR_C_PUBLIC_zorv_interfaces
void
zorv_interfaces__srv__StringCommand_Response__fini(
  zorv_interfaces__srv__StringCommand_Response * msg);

#ifdef __cplusplus
}
#endif

#endif  // ZORV_INTERFACES__SRV__DETAIL__STRING_COMMAND__FUNCTIONS_H_
