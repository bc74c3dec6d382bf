// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "call_with_mode.h"

void call_init_with_mode(
  void (* init_function)(void *, enum rosidl_runtime_c__message_initialization),
  void * message, unsigned int mode)
{
  init_function(message, (enum rosidl_runtime_c__message_initialization)mode);
}
