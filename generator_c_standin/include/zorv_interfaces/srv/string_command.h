// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef ZORV_INTERFACES__SRV__STRING_COMMAND_H_
#define ZORV_INTERFACES__SRV__STRING_COMMAND_H_

// The C structures of zorv_interfaces/srv/StringCommand and their functions.
#include "zorv_interfaces/srv/detail/string_command__functions.h"
#include "zorv_interfaces/srv/detail/string_command__struct.h"

#endif  // ZORV_INTERFACES__SRV__STRING_COMMAND_H_
