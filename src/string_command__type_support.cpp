// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// Introspection type support of zorv_interfaces/srv/StringCommand: constant
// records describing the request, the response and the service, the handles
// that point to them, and the adaptors that initialise and finalise messages
// through the package's C message library.
//
// Every record is constant-initialised, so nothing runs at load. The only
// writes after load fill the three handles' identifiers and the service's two
// links to the message records: each goes once from null to a value that is the
// same for every caller, so a compare-and-swap from null with release order
// fills it and acquire loads read it, with no lock.

#include "zorv_interfaces/srv/detail/string_command__rosidl_typesupport_introspection_c.h"

#include <atomic>
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
static_assert(sizeof(zorv_interfaces__srv__StringCommand_Request) == sizeof(rosidl_runtime_c__String));
static_assert(sizeof(zorv_interfaces__srv__StringCommand_Response) == sizeof(rosidl_runtime_c__String));
static_assert(offsetof(zorv_interfaces__srv__StringCommand_Request, command) == 0);
static_assert(offsetof(zorv_interfaces__srv__StringCommand_Response, answer) == 0);

template<typename Pointer>
inline Pointer load_acquire(Pointer & field)
{
  return std::atomic_ref<Pointer>(field).load(std::memory_order_acquire);
}

// Sets a field that is still null; a value already there (from a racing first
// call, which stores the same value) is kept.
template<typename Pointer>
inline void fill_once(Pointer & field, Pointer value)
{
  Pointer expected = nullptr;
  std::atomic_ref<Pointer>(field).compare_exchange_strong(
    expected, value, std::memory_order_release, std::memory_order_acquire);
}

// The identifier global is read on first use rather than copied at load.
template<typename Handle>
inline void fill_identifier(Handle & handle)
{
  if (load_acquire(handle.typesupport_identifier) == nullptr) {
    fill_once(handle.typesupport_identifier, rosidl_typesupport_introspection_c__identifier);
  }
}

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

static constinit rosidl_message_type_support_t
  StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_message_type_support_handle =
{
  .typesupport_identifier = nullptr,  // set by the first call of the getter
  .data = &StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_message_members,
  .func = get_message_typesupport_handle_function,
};

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

const rosidl_message_type_support_t *
rosidl_typesupport_introspection_c__get_message_type_support_handle__zorv_interfaces__srv__StringCommand_Request()
{
  auto & handle =
    StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_message_type_support_handle;
  fill_identifier(handle);
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

static constinit rosidl_message_type_support_t
  StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_message_type_support_handle =
{
  .typesupport_identifier = nullptr,  // set by the first call of the getter
  .data = &StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_message_members,
  .func = get_message_typesupport_handle_function,
};

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

const rosidl_message_type_support_t *
rosidl_typesupport_introspection_c__get_message_type_support_handle__zorv_interfaces__srv__StringCommand_Response()
{
  auto & handle =
    StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_message_type_support_handle;
  fill_identifier(handle);
  return &handle;
}

// Service

static constinit rosidl_typesupport_introspection_c__ServiceMembers
  zorv_interfaces__srv__detail__string_command__rosidl_typesupport_introspection_c__StringCommand_service_members =
{
  .service_namespace_ = "zorv_interfaces__srv",
  .service_name_ = "StringCommand",
  .request_members_ = nullptr,  // linked by the first call of the getter
  .response_members_ = nullptr,  // linked by the first call of the getter
};

static constinit rosidl_service_type_support_t
  zorv_interfaces__srv__detail__string_command__rosidl_typesupport_introspection_c__StringCommand_service_type_support_handle =
{
  .typesupport_identifier = nullptr,  // set by the first call of the getter
  .data = &zorv_interfaces__srv__detail__string_command__rosidl_typesupport_introspection_c__StringCommand_service_members,
  .func = get_service_typesupport_handle_function,
};

}  // extern "C"

namespace
{

inline const rosidl_typesupport_introspection_c__MessageMembers *
members_of(const rosidl_message_type_support_t * handle)
{
  return static_cast<const rosidl_typesupport_introspection_c__MessageMembers *>(handle->data);
}

// The first call's work, kept out of the getter so that its fast path stays a
// load, a test and a return; returns the service handle. The three fields are
// filled in this order, each only after the ones before it are seen set; so a
// thread that sees the last one, the response link, set (with acquire order)
// sees all three.
[[gnu::cold]] [[gnu::noinline]] const rosidl_service_type_support_t * link_service()
{
  auto & handle =
    zorv_interfaces__srv__detail__string_command__rosidl_typesupport_introspection_c__StringCommand_service_type_support_handle;
  auto & members =
    zorv_interfaces__srv__detail__string_command__rosidl_typesupport_introspection_c__StringCommand_service_members;

  fill_identifier(handle);
  if (load_acquire(members.request_members_) == nullptr) {
    fill_once(
      members.request_members_,
      members_of(
        rosidl_typesupport_introspection_c__get_message_type_support_handle__zorv_interfaces__srv__StringCommand_Request()));
  }
  if (load_acquire(members.response_members_) == nullptr) {
    fill_once(
      members.response_members_,
      members_of(
        rosidl_typesupport_introspection_c__get_message_type_support_handle__zorv_interfaces__srv__StringCommand_Response()));
  }
  return &handle;
}

}  // namespace

extern "C" const rosidl_service_type_support_t *
rosidl_typesupport_introspection_c__get_service_type_support_handle__zorv_interfaces__srv__StringCommand()
{
  auto & members =
    zorv_interfaces__srv__detail__string_command__rosidl_typesupport_introspection_c__StringCommand_service_members;
  if (load_acquire(members.response_members_) == nullptr) [[unlikely]] {
    // A tail call, so that the fast path needs no stack frame. Clang would
    // otherwise replace the known result with a constant and keep a frame.
#if defined(__clang__)
    [[clang::musttail]]
#endif
    return link_service();
  }
  return &zorv_interfaces__srv__detail__string_command__rosidl_typesupport_introspection_c__StringCommand_service_type_support_handle;
}
