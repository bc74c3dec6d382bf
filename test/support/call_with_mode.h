// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SUPPORT__CALL_WITH_MODE_H_
#define SUPPORT__CALL_WITH_MODE_H_

#include "rosidl_runtime_c/message_initialization.h"

#ifdef __cplusplus
extern "C"
{
#endif

/// Calls `init_function(message, mode)` with any integer as the mode.
/**
 * C lets an enumeration hold any value of its underlying type, so callers can
 * pass values outside the enumerators, as a C caller may; C++ may not form them.
 */
void call_init_with_mode(
  void (* init_function)(void *, enum rosidl_runtime_c__message_initialization),
  void * message, unsigned int mode);

#ifdef __cplusplus
}
#endif

#endif  // SUPPORT__CALL_WITH_MODE_H_
