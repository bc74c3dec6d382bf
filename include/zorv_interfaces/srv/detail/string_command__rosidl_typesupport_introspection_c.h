// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef ZORV_INTERFACES__SRV__DETAIL__STRING_COMMAND__ROSIDL_TYPESUPPORT_INTROSPECTION_C_H_
#define ZORV_INTERFACES__SRV__DETAIL__STRING_COMMAND__ROSIDL_TYPESUPPORT_INTROSPECTION_C_H_

#include "rosidl_runtime_c/message_initialization.h"
#include "rosidl_runtime_c/message_type_support_struct.h"
#include "rosidl_runtime_c/service_type_support_struct.h"

#include "zorv_interfaces/msg/rosidl_typesupport_introspection_c__visibility_control.h"

#ifdef __cplusplus
extern "C"
{
#endif

/// Return the introspection type support handle of zorv_interfaces/srv/StringCommand_Request.
/**
 * The handle's `data` is the request's
 * rosidl_typesupport_introspection_c__MessageMembers. The first call sets the
 * handle's `typesupport_identifier`; every call, from any thread, returns the
 * same address, valid until the library is unloaded.
 *
 * \return the request message handle; never NULL. The caller only reads it.
 */
ROSIDL_TYPESUPPORT_INTROSPECTION_C_PUBLIC_zorv_interfaces
const rosidl_message_type_support_t *
rosidl_typesupport_introspection_c__get_message_type_support_handle__zorv_interfaces__srv__StringCommand_Request(
  void);

/// Return the introspection type support handle of zorv_interfaces/srv/StringCommand_Response.
/**
 * The handle's `data` is the response's
 * rosidl_typesupport_introspection_c__MessageMembers. The first call sets the
 * handle's `typesupport_identifier`; every call, from any thread, returns the
 * same address, valid until the library is unloaded.
 *
 * \return the response message handle; never NULL. The caller only reads it.
 */
ROSIDL_TYPESUPPORT_INTROSPECTION_C_PUBLIC_zorv_interfaces
const rosidl_message_type_support_t *
rosidl_typesupport_introspection_c__get_message_type_support_handle__zorv_interfaces__srv__StringCommand_Response(
  void);

/// Return the introspection type support handle of the service zorv_interfaces/srv/StringCommand.
/**
 * The handle's `data` is the service's
 * rosidl_typesupport_introspection_c__ServiceMembers. The first call sets the
 * handle's `typesupport_identifier` and links the service record to the request
 * and response members records (setting both message handles' identifiers);
 * every call, from any thread, returns the same address, valid until the
 * library is unloaded.
 *
 * \return the service handle; never NULL. The caller only reads it.
 */
ROSIDL_TYPESUPPORT_INTROSPECTION_C_PUBLIC_zorv_interfaces
const rosidl_service_type_support_t *
rosidl_typesupport_introspection_c__get_service_type_support_handle__zorv_interfaces__srv__StringCommand(
  void);

/// Initialise a request in caller-owned memory: the `init_function` of its members record.
/**
 * Passes `message_memory` unchanged to zorv_interfaces__srv__StringCommand_Request__init().
 * The message has no default values, so every initialisation mode does the same.
 *
 * \param[out] message_memory at least 24 bytes, suitably aligned, owned by the caller.
 * \param[in] initialization ignored.
 */
ROSIDL_TYPESUPPORT_INTROSPECTION_C_PUBLIC_zorv_interfaces
void
StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_init_function(
  void * message_memory, enum rosidl_runtime_c__message_initialization initialization);

/// Finalise a request: the `fini_function` of its members record.
/**
 * Passes `message_memory` unchanged to zorv_interfaces__srv__StringCommand_Request__fini().
 *
 * \param[inout] message_memory a request initialised through the init function.
 */
ROSIDL_TYPESUPPORT_INTROSPECTION_C_PUBLIC_zorv_interfaces
void
StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_fini_function(
  void * message_memory);

/// Initialise a response in caller-owned memory: the `init_function` of its members record.
/**
 * Passes `message_memory` unchanged to zorv_interfaces__srv__StringCommand_Response__init().
 * The message has no default values, so every initialisation mode does the same.
 *
 * \param[out] message_memory at least 24 bytes, suitably aligned, owned by the caller.
 * \param[in] initialization ignored.
 */
ROSIDL_TYPESUPPORT_INTROSPECTION_C_PUBLIC_zorv_interfaces
void
StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_init_function(
  void * message_memory, enum rosidl_runtime_c__message_initialization initialization);

/// Finalise a response: the `fini_function` of its members record.
/**
 * Passes `message_memory` unchanged to zorv_interfaces__srv__StringCommand_Response__fini().
 *
 * \param[inout] message_memory a response initialised through the init function.
 */
ROSIDL_TYPESUPPORT_INTROSPECTION_C_PUBLIC_zorv_interfaces
void
StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_fini_function(
  void * message_memory);

#ifdef __cplusplus
}
#endif

#endif  // ZORV_INTERFACES__SRV__DETAIL__STRING_COMMAND__ROSIDL_TYPESUPPORT_INTROSPECTION_C_H_
