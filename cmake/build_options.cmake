# Options every target of the project shares, applied per target with
# zorv_apply_build_options().

option(ZORV_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)
set(ZORV_SANITIZER "" CACHE STRING
  "Build everything with a sanitizer: 'thread', or 'address' (with undefined behaviour)")
set_property(CACHE ZORV_SANITIZER PROPERTY STRINGS "" thread address)

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
elseif(NOT ZORV_SANITIZER STREQUAL "")
  message(FATAL_ERROR "ZORV_SANITIZER must be empty, 'thread' or 'address', not '${ZORV_SANITIZER}'")
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

# Warnings and the sanitizer, on one target.
function(zorv_apply_build_options target)
  target_compile_options(${target} PRIVATE ${_zorv_warnings} ${_zorv_sanitizer_flags})
  target_link_options(${target} PRIVATE ${_zorv_sanitizer_flags})
endfunction()
