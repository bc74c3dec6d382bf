// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// The same caller, compiled as C++14.
#include "caller.c"  // NOLINT
