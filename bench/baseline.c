// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// The floor the benchmarks compare against: a minimal shared object whose one
// function returns a constant address, as a getter does at best.

static const int zorv_bench_constant = 42;

__attribute__((visibility("default"))) const void * zorv_bench_constant_address(void)
{
  return &zorv_bench_constant;
}
