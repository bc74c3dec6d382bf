# Options every target of the project shares, applied per target with
# zorv_apply_build_options().

option(ZORV_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)
set(ZORV_SANITIZER "" CACHE STRING
  "Build everything with a sanitizer: 'thread', 'address' (with undefined behaviour), or 'fuzzer' (clang: address and undefined behaviour, with libFuzzer's coverage)")
set_property(CACHE ZORV_SANITIZER PROPERTY STRINGS "" thread address fuzzer)

set(_zorv_warnings -Wall -Wextra -Wpedantic)
if(ZORV_WARNINGS_AS_ERRORS)
  list(APPEND _zorv_warnings -Werror)
endif()

if(ZORV_SANITIZER STREQUAL "thread")
  set(_zorv_sanitizer_flags -fsanitize=thread)
  set(ZORV_SANITIZER_ENVIRONMENT "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1")
elseif(ZORV_SANITIZER STREQUAL "address")
  set(_zorv_sanitizer_flags -fsanitize=address,undefined -fno-sanitize-recover=all)
  set(ZORV_SANITIZER_ENVIRONMENT
    "ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=0"
    "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")
elseif(ZORV_SANITIZER STREQUAL "fuzzer")
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "ZORV_SANITIZER=fuzzer needs clang (libFuzzer)")
  endif()
  set(_zorv_sanitizer_flags -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
  set(ZORV_SANITIZER_ENVIRONMENT
    "ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=0"
    "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")
elseif(NOT ZORV_SANITIZER STREQUAL "")
  message(FATAL_ERROR
    "ZORV_SANITIZER must be empty, 'thread', 'address' or 'fuzzer', not '${ZORV_SANITIZER}'")
else()
  set(_zorv_sanitizer_flags)
  set(ZORV_SANITIZER_ENVIRONMENT)
endif()
if(_zorv_sanitizer_flags)
  list(APPEND _zorv_sanitizer_flags -fno-omit-frame-pointer -g)
endif()

# Shared objects resolve everything at link time, need only what they use,
# keep relocated data read-only (full RELRO) and the stack non-executable.
set(ZORV_SHARED_LINK_OPTIONS
  "LINKER:--no-undefined"
  "LINKER:--as-needed"
  "LINKER:-z,relro,-z,now,-z,noexecstack,-z,text")

# Warnings and the sanitizer, on one target. The fuzzing build instruments
# only what is linked into the fuzzer: clang's sanitizer runtimes live in the
# executable, so its shared libraries stay plain.
function(zorv_apply_build_options target)
  set(_zorv_target_sanitizer_flags ${_zorv_sanitizer_flags})
  get_target_property(_zorv_target_type ${target} TYPE)
  if(ZORV_SANITIZER STREQUAL "fuzzer" AND _zorv_target_type MATCHES "SHARED_LIBRARY|MODULE_LIBRARY")
    set(_zorv_target_sanitizer_flags)
  endif()
  target_compile_options(${target} PRIVATE ${_zorv_warnings} ${_zorv_target_sanitizer_flags})
  target_link_options(${target} PRIVATE ${_zorv_target_sanitizer_flags})
endfunction()
