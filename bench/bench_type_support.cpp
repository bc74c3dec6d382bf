// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// What the type support library costs a caller, each figure next to its
// baseline in the same run (bench/report.py pairs them up):
//   steady-state getter calls        vs a constant-address function in another shared object
//   dlopen + first call + dlclose    vs dlopen + dlclose
//   dlopen + dlclose                 vs the same of a minimal shared object
//   init + fini through the adaptors vs the message library's functions called directly
//   first call raced by N threads    vs the same threads calling the baseline function
//
// This program links the library's dependencies, so they stay loaded and a
// load measures the library itself; the library is only ever dlopen'ed.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>
#include <thread>
#include <vector>

#include "zorv_interfaces/srv/detail/string_command__functions.h"

#include "support/start_line.hpp"
#include "support/string_command_library.hpp"

namespace
{

using test_support::LoadedLibrary;
using test_support::kRequestFini;
using test_support::kRequestGetter;
using test_support::kRequestInit;
using test_support::kResponseGetter;
using test_support::kServiceGetter;

const std::string kTypeSupport = test_support::kTypeSupportPath;
const std::string kBaseline = ZORV_BASELINE_LIBRARY_PATH;
constexpr char kBaselineFunction[] = "zorv_bench_constant_address";

// The baseline returns an untyped constant address; the getters are called
// through the same pointer type, as both return a pointer to constant data.
using Getter = const void * (*)();

// Steady state: the first call is made before timing starts.

void steady_calls(benchmark::State & state, const std::string & path, const char * function)
{
  const LoadedLibrary library(path);
  const auto getter = library.function<Getter>(function);
  getter();
  for (auto _ : state) {
    benchmark::DoNotOptimize(getter());
  }
}

void BM_Baseline_ConstantAddress(benchmark::State & state)
{
  steady_calls(state, kBaseline, kBaselineFunction);
}
BENCHMARK(BM_Baseline_ConstantAddress);

void BM_RequestGetter(benchmark::State & state)
{
  steady_calls(state, kTypeSupport, kRequestGetter);
}
BENCHMARK(BM_RequestGetter);

void BM_ResponseGetter(benchmark::State & state)
{
  steady_calls(state, kTypeSupport, kResponseGetter);
}
BENCHMARK(BM_ResponseGetter);

void BM_ServiceGetter(benchmark::State & state)
{
  steady_calls(state, kTypeSupport, kServiceGetter);
}
BENCHMARK(BM_ServiceGetter);

// Loads

void BM_Baseline_LoadUnloadMinimal(benchmark::State & state)
{
  for (auto _ : state) {
    const LoadedLibrary library(kBaseline);
    benchmark::DoNotOptimize(&library);
  }
}
BENCHMARK(BM_Baseline_LoadUnloadMinimal);

void BM_LoadUnload(benchmark::State & state)
{
  for (auto _ : state) {
    const LoadedLibrary library(kTypeSupport);
    benchmark::DoNotOptimize(&library);
  }
}
BENCHMARK(BM_LoadUnload);

void BM_LoadFirstServiceCallUnload(benchmark::State & state)
{
  for (auto _ : state) {
    const LoadedLibrary library(kTypeSupport);
    benchmark::DoNotOptimize(library.function<Getter>(kServiceGetter)());
  }
}
BENCHMARK(BM_LoadFirstServiceCallUnload);

// Messages

void BM_Baseline_InitFiniDirect(benchmark::State & state)
{
  zorv_interfaces__srv__StringCommand_Request request;
  for (auto _ : state) {
    zorv_interfaces__srv__StringCommand_Request__init(&request);
    benchmark::DoNotOptimize(&request);
    zorv_interfaces__srv__StringCommand_Request__fini(&request);
  }
}
BENCHMARK(BM_Baseline_InitFiniDirect);

void BM_InitFiniThroughAdaptors(benchmark::State & state)
{
  const LoadedLibrary library(kTypeSupport);
  const auto init = library.function<test_support::InitFunction>(kRequestInit);
  const auto fini = library.function<test_support::FiniFunction>(kRequestFini);
  alignas(std::max_align_t) unsigned char message[24];
  for (auto _ : state) {
    init(message, ROSIDL_RUNTIME_C_MSG_INIT_ALL);
    benchmark::DoNotOptimize(message);
    fini(message);
  }
}
BENCHMARK(BM_InitFiniThroughAdaptors);

// Racing first calls: each iteration loads the library fresh, releases the
// threads together at a start line, joins them and unloads.

void raced_first_calls(
  benchmark::State & state, const std::string & path, const char * function)
{
  const int threads = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const LoadedLibrary library(path);
    const auto getter = library.function<Getter>(function);
    test_support::StartLine start(threads);
    std::vector<std::thread> racers;
    for (int t = 0; t < threads; ++t) {
      racers.emplace_back(
        [&] {
          start.arrive_and_wait();
          benchmark::DoNotOptimize(getter());
        });
    }
    for (auto & racer : racers) {
      racer.join();
    }
  }
}

void BM_Baseline_RacedConstantAddress(benchmark::State & state)
{
  raced_first_calls(state, kBaseline, kBaselineFunction);
}
BENCHMARK(BM_Baseline_RacedConstantAddress)->Arg(2)->Arg(4)->Arg(8)->UseRealTime();

void BM_RacedFirstServiceCall(benchmark::State & state)
{
  raced_first_calls(state, kTypeSupport, kServiceGetter);
}
BENCHMARK(BM_RacedFirstServiceCall)->Arg(2)->Arg(4)->Arg(8)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
