// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef ZORV_INTERFACES__MSG__ROSIDL_GENERATOR_C__VISIBILITY_CONTROL_H_
#define ZORV_INTERFACES__MSG__ROSIDL_GENERATOR_C__VISIBILITY_CONTROL_H_

/// Marks a function of the zorv_interfaces C message library as exported.
#if defined(__GNUC__)
#define ROSIDL_GENERATOR_C_PUBLIC_zorv_interfaces __attribute__((visibility("default")))
#else
#define ROSIDL_GENERATOR_C_PUBLIC_zorv_interfaces
#endif

#endif  // ZORV_INTERFACES__MSG__ROSIDL_GENERATOR_C__VISIBILITY_CONTROL_H_
