// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// Introspection type support of zorv_interfaces/srv/StringCommand: constant
// records describing the request, the response and the service, the handles
// that point to them, and the adaptors that initialise and finalise messages
// through the package's C message library.
//
// Every record is constant-initialised, so nothing runs at load: the records
// that change after load are copies of constexpr twins, which the compiler
// must evaluate as constant expressions. The only writes after load fill the
// three handles' identifiers and the service's two links to the message
// records, each once, from null to a value that is the same for every caller. A getter's fast path is an acquire load of the field
// its first call fills last, a test and a return. The first fill runs under a
// once-only guard, so that each field is written by exactly one thread: callers
// read the records with plain loads, and a second (even identical) store racing
// with those reads would be a data race.

#include "zorv_interfaces/srv/detail/string_command__rosidl_typesupport_introspection_c.h"

#include <pthread.h>

#include <cstddef>

#include "rosidl_runtime_c/string.h"
#include "rosidl_typesupport_introspection_c/field_types.h"
#include "rosidl_typesupport_introspection_c/identifier.h"
#include "rosidl_typesupport_introspection_c/message_introspection.h"
#include "rosidl_typesupport_introspection_c/service_introspection.h"

#include "zorv_interfaces/srv/detail/string_command__functions.h"
#include "zorv_interfaces/srv/detail/string_command__struct.h"

namespace
{

// The description of both messages depends on this layout.
static_assert(
  sizeof(zorv_interfaces__srv__StringCommand_Request) == sizeof(rosidl_runtime_c__String));
static_assert(
  sizeof(zorv_interfaces__srv__StringCommand_Response) == sizeof(rosidl_runtime_c__String));
static_assert(offsetof(zorv_interfaces__srv__StringCommand_Request, command) == 0);
static_assert(offsetof(zorv_interfaces__srv__StringCommand_Response, answer) == 0);

// Atomic access to plain pointer fields of the dependencies' record types,
// which cannot be declared atomic.
template<typename Pointer>
inline Pointer load_acquire(Pointer & field)
{
  return __atomic_load_n(&field, __ATOMIC_ACQUIRE);
}

template<typename Pointer>
inline void store_release(Pointer & field, Pointer value)
{
  __atomic_store_n(&field, value, __ATOMIC_RELEASE);
}

// Fills a handle's identifier, under a once-only guard. The identifier global
// is read on first use rather than copied at load.
template<rosidl_message_type_support_t & handle>
void set_identifier()
{
  store_release(handle.typesupport_identifier, rosidl_typesupport_introspection_c__identifier);
}

// A message getter's first call, kept out of the getter so that its fast path
// needs no stack frame.
template<rosidl_message_type_support_t & handle, pthread_once_t & once>
[[gnu::cold]] [[gnu::noinline]] const rosidl_message_type_support_t * first_call()
{
  pthread_once(&once, set_identifier<handle>);
  return &handle;
}

// Marks a call that must compile to a jump, so that the caller needs no stack
// frame. Clang would otherwise replace the call's known result with a
// constant and keep a frame around the call; GCC makes the jump by itself.
#if defined(__clang__)
#define TAIL_CALL [[clang::musttail]]
#else
#define TAIL_CALL
#endif

}  // namespace

extern "C" {

// Request

static const rosidl_typesupport_introspection_c__MessageMember
  StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_message_member_array[1] =
{
  {
    .name_ = "command",
    .type_id_ = rosidl_typesupport_introspection_c__ROS_TYPE_STRING,
    .string_upper_bound_ = 0,  // unbounded
    .members_ = nullptr,
    .is_array_ = false,
    .array_size_ = 0,
    .is_upper_bound_ = false,
    .offset_ = offsetof(zorv_interfaces__srv__StringCommand_Request, command),
    .default_value_ = nullptr,
    .size_function = nullptr,
    .get_const_function = nullptr,
    .get_function = nullptr,
#if ZORV_MESSAGE_MEMBER_HAS_FETCH_AND_ASSIGN
    .fetch_function = nullptr,
    .assign_function = nullptr,
#endif
    .resize_function = nullptr,
  },
};

static const rosidl_typesupport_introspection_c__MessageMembers
  StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_message_members =
{
  .message_namespace_ = "zorv_interfaces__srv",
  .message_name_ = "StringCommand_Request",
  .member_count_ = 1,
  .size_of_ = sizeof(zorv_interfaces__srv__StringCommand_Request),
  .members_ =
    StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_message_member_array,
  .init_function =
    StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_init_function,
  .fini_function =
    StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_fini_function,
};

static constexpr rosidl_message_type_support_t StringCommand_Request_handle_at_load =
{
  .typesupport_identifier = nullptr,  // set by the first call of the getter
  .data = &StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_message_members,
  .func = get_message_typesupport_handle_function,
};
static rosidl_message_type_support_t
  StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_message_type_support_handle =
  StringCommand_Request_handle_at_load;

void
StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_init_function(
  void * message_memory, enum rosidl_runtime_c__message_initialization)
{
  // No field has a default value, so every initialisation mode does the same.
  // The message library's result cannot be passed on through this signature;
  // a failed init leaves the message in a state that fini accepts.
  zorv_interfaces__srv__StringCommand_Request__init(
    static_cast<zorv_interfaces__srv__StringCommand_Request *>(message_memory));
}

void
StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_fini_function(
  void * message_memory)
{
  zorv_interfaces__srv__StringCommand_Request__fini(
    static_cast<zorv_interfaces__srv__StringCommand_Request *>(message_memory));
}

static pthread_once_t StringCommand_Request_identifier_once = PTHREAD_ONCE_INIT;

const rosidl_message_type_support_t *
rosidl_typesupport_introspection_c__get_message_type_support_handle__zorv_interfaces__srv__StringCommand_Request()
{
  auto & handle =
    StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_message_type_support_handle;
  if (__builtin_expect(load_acquire(handle.typesupport_identifier) == nullptr, false)) {
    TAIL_CALL return first_call<handle, StringCommand_Request_identifier_once>();
  }
  return &handle;
}

// Response

static const rosidl_typesupport_introspection_c__MessageMember
  StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_message_member_array[1] =
{
  {
    .name_ = "answer",
    .type_id_ = rosidl_typesupport_introspection_c__ROS_TYPE_STRING,
    .string_upper_bound_ = 0,  // unbounded
    .members_ = nullptr,
    .is_array_ = false,
    .array_size_ = 0,
    .is_upper_bound_ = false,
    .offset_ = offsetof(zorv_interfaces__srv__StringCommand_Response, answer),
    .default_value_ = nullptr,
    .size_function = nullptr,
    .get_const_function = nullptr,
    .get_function = nullptr,
#if ZORV_MESSAGE_MEMBER_HAS_FETCH_AND_ASSIGN
    .fetch_function = nullptr,
    .assign_function = nullptr,
#endif
    .resize_function = nullptr,
  },
};

static const rosidl_typesupport_introspection_c__MessageMembers
  StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_message_members =
{
  .message_namespace_ = "zorv_interfaces__srv",
  .message_name_ = "StringCommand_Response",
  .member_count_ = 1,
  .size_of_ = sizeof(zorv_interfaces__srv__StringCommand_Response),
  .members_ =
    StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_message_member_array,
  .init_function =
    StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_init_function,
  .fini_function =
    StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_fini_function,
};

static constexpr rosidl_message_type_support_t StringCommand_Response_handle_at_load =
{
  .typesupport_identifier = nullptr,  // set by the first call of the getter
  .data = &StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_message_members,
  .func = get_message_typesupport_handle_function,
};
static rosidl_message_type_support_t
  StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_message_type_support_handle =
  StringCommand_Response_handle_at_load;

void
StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_init_function(
  void * message_memory, enum rosidl_runtime_c__message_initialization)
{
  // As for the request: the mode changes nothing and the result has no way out.
  zorv_interfaces__srv__StringCommand_Response__init(
    static_cast<zorv_interfaces__srv__StringCommand_Response *>(message_memory));
}

void
StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_fini_function(
  void * message_memory)
{
  zorv_interfaces__srv__StringCommand_Response__fini(
    static_cast<zorv_interfaces__srv__StringCommand_Response *>(message_memory));
}

static pthread_once_t StringCommand_Response_identifier_once = PTHREAD_ONCE_INIT;

const rosidl_message_type_support_t *
rosidl_typesupport_introspection_c__get_message_type_support_handle__zorv_interfaces__srv__StringCommand_Response()
{
  auto & handle =
    StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_message_type_support_handle;
  if (__builtin_expect(load_acquire(handle.typesupport_identifier) == nullptr, false)) {
    TAIL_CALL return first_call<handle, StringCommand_Response_identifier_once>();
  }
  return &handle;
}

// Service

static constexpr rosidl_typesupport_introspection_c__ServiceMembers StringCommand_service_members_at_load =
{
  .service_namespace_ = "zorv_interfaces__srv",
  .service_name_ = "StringCommand",
  .request_members_ = nullptr,  // linked by the first call of the getter
  .response_members_ = nullptr,  // linked by the first call of the getter
};
static rosidl_typesupport_introspection_c__ServiceMembers
  zorv_interfaces__srv__detail__string_command__rosidl_typesupport_introspection_c__StringCommand_service_members =
  StringCommand_service_members_at_load;

static constexpr rosidl_service_type_support_t StringCommand_service_handle_at_load =
{
  .typesupport_identifier = nullptr,  // set by the first call of the getter
  .data = &zorv_interfaces__srv__detail__string_command__rosidl_typesupport_introspection_c__StringCommand_service_members,
  .func = get_service_typesupport_handle_function,
};
static rosidl_service_type_support_t
  zorv_interfaces__srv__detail__string_command__rosidl_typesupport_introspection_c__StringCommand_service_type_support_handle =
  StringCommand_service_handle_at_load;

static pthread_once_t zorv_interfaces__srv__StringCommand_service_once = PTHREAD_ONCE_INIT;

}  // extern "C"

namespace
{

inline const rosidl_typesupport_introspection_c__MessageMembers *
members_of(const rosidl_message_type_support_t * handle)
{
  return static_cast<const rosidl_typesupport_introspection_c__MessageMembers *>(handle->data);
}

// Fills the service's three fields, under a once-only guard, in this order: the
// response link last, so that a thread that sees it set (with acquire order)
// sees all three. The message getters set their handles' identifiers if no
// caller has yet.
void link_service()
{
  auto & handle =
    zorv_interfaces__srv__detail__string_command__rosidl_typesupport_introspection_c__StringCommand_service_type_support_handle;
  auto & members =
    zorv_interfaces__srv__detail__string_command__rosidl_typesupport_introspection_c__StringCommand_service_members;

  store_release(handle.typesupport_identifier, rosidl_typesupport_introspection_c__identifier);
  store_release(
    members.request_members_,
    members_of(
      rosidl_typesupport_introspection_c__get_message_type_support_handle__zorv_interfaces__srv__StringCommand_Request()));
  store_release(
    members.response_members_,
    members_of(
      rosidl_typesupport_introspection_c__get_message_type_support_handle__zorv_interfaces__srv__StringCommand_Response()));
}

// The service getter's first call; returns the service handle.
[[gnu::cold]] [[gnu::noinline]] const rosidl_service_type_support_t * first_service_call()
{
  pthread_once(&zorv_interfaces__srv__StringCommand_service_once, link_service);
  return &zorv_interfaces__srv__detail__string_command__rosidl_typesupport_introspection_c__StringCommand_service_type_support_handle;
}

}  // namespace

extern "C" const rosidl_service_type_support_t *
rosidl_typesupport_introspection_c__get_service_type_support_handle__zorv_interfaces__srv__StringCommand()
{
  auto & members =
    zorv_interfaces__srv__detail__string_command__rosidl_typesupport_introspection_c__StringCommand_service_members;
  if (__builtin_expect(load_acquire(members.response_members_) == nullptr, false)) {
    TAIL_CALL return first_service_call();
  }
  return &zorv_interfaces__srv__detail__string_command__rosidl_typesupport_introspection_c__StringCommand_service_type_support_handle;
}
