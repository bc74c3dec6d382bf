// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef ZORV_INTERFACES__MSG__ROSIDL_TYPESUPPORT_INTROSPECTION_C__VISIBILITY_CONTROL_H_
#define ZORV_INTERFACES__MSG__ROSIDL_TYPESUPPORT_INTROSPECTION_C__VISIBILITY_CONTROL_H_

/// Marks a function of the zorv_interfaces introspection type support as exported.
/**
 * The library is built with hidden visibility by default; only declarations
 * carrying this macro are visible to callers.
 */
#if defined(__GNUC__)
#define ROSIDL_TYPESUPPORT_INTROSPECTION_C_PUBLIC_zorv_interfaces \
  __attribute__((visibility("default")))
#else
#define ROSIDL_TYPESUPPORT_INTROSPECTION_C_PUBLIC_zorv_interfaces
#endif

#endif  // ZORV_INTERFACES__MSG__ROSIDL_TYPESUPPORT_INTROSPECTION_C__VISIBILITY_CONTROL_H_
