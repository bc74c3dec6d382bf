// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// A type support library whose member records are laid out as ROS 2 Foxy's
// (13 fields: no fetch_function or assign_function), whatever headers it is
// built with, so that the inspector is tested on the layout a Foxy library
// has. Package "foxy_pkg":
//   msg/Label   string text, uint8 level
//   msg/Sample  bool flag, int32 count, float64 ratio, string name,
//               string<=16 code, foxy_pkg/Label label, int16[3] triple,
//               int32[] values, foxy_pkg/Label[<=4] labels
//   srv/Lookup  request: string key, uint32 limit; response: bool found,
//               float64[] scores
// Sample's init gives values [7, -7] and one label {text: first, level: 1},
// so that printing shows elements. Every array field has working size, get
// and get_const functions, and every sequence a resize function, which counts
// its calls (foxy_fixture_resize_calls) so a test can tell it was used.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "rosidl_runtime_c/message_initialization.h"
#include "rosidl_runtime_c/message_type_support_struct.h"
#include "rosidl_runtime_c/primitives_sequence.h"
#include "rosidl_runtime_c/primitives_sequence_functions.h"
#include "rosidl_runtime_c/service_type_support_struct.h"
#include "rosidl_runtime_c/string.h"
#include "rosidl_runtime_c/string_functions.h"
#include "rosidl_typesupport_interface/macros.h"
#include "rosidl_typesupport_introspection_c/field_types.h"
#include "rosidl_typesupport_introspection_c/identifier.h"
#include "rosidl_typesupport_introspection_c/message_introspection.h"

#include "support/foxy_records.hpp"

namespace
{

using FoxyMember = test_support::FoxyMessageMember;
using FoxyMembers = test_support::FoxyMessageMembers;
using FoxyServiceMembers = test_support::FoxyServiceMembers;

constexpr char kMessageNamespace[] = "foxy_pkg__msg";
constexpr char kServiceNamespace[] = "foxy_pkg__srv";
constexpr std::size_t kLabelsBound = 4;

std::atomic<unsigned> resize_calls{0};

struct Label
{
  rosidl_runtime_c__String text;
  std::uint8_t level;
};

struct LabelSequence
{
  Label * data;
  std::size_t size;
  std::size_t capacity;
};

struct Sample
{
  bool flag;
  std::int32_t count;
  double ratio;
  rosidl_runtime_c__String name;
  rosidl_runtime_c__String code;  // string<=16
  Label label;
  std::int16_t triple[3];
  rosidl_runtime_c__int32__Sequence values;
  LabelSequence labels;  // Label[<=4]
};

struct LookupRequest
{
  rosidl_runtime_c__String key;
  std::uint32_t limit;
};

struct LookupResponse
{
  bool found;
  rosidl_runtime_c__double__Sequence scores;
};

// --- Init and fini, as a C message library's ---------------------------------

void init_label(Label * label)
{
  rosidl_runtime_c__String__init(&label->text);
  label->level = 0;
}

void fini_label(Label * label)
{
  rosidl_runtime_c__String__fini(&label->text);
}

void drop_labels(LabelSequence * labels)
{
  for (std::size_t i = 0; labels->data != nullptr && i < labels->capacity; ++i) {
    fini_label(&labels->data[i]);
  }
  std::free(labels->data);
  *labels = LabelSequence{nullptr, 0, 0};
}

bool make_labels(LabelSequence * labels, std::size_t size)
{
  drop_labels(labels);
  if (size == 0) {
    return true;
  }
  labels->data = static_cast<Label *>(std::calloc(size, sizeof(Label)));
  if (labels->data == nullptr) {
    return false;
  }
  for (std::size_t i = 0; i < size; ++i) {
    init_label(&labels->data[i]);
  }
  labels->size = labels->capacity = size;
  return true;
}

void label_init(void * message, enum rosidl_runtime_c__message_initialization)
{
  std::memset(message, 0, sizeof(Label));
  init_label(static_cast<Label *>(message));
}

void label_fini(void * message)
{
  fini_label(static_cast<Label *>(message));
}

void sample_init(void * message, enum rosidl_runtime_c__message_initialization)
{
  auto * sample = static_cast<Sample *>(message);
  std::memset(sample, 0, sizeof(*sample));
  rosidl_runtime_c__String__init(&sample->name);
  rosidl_runtime_c__String__init(&sample->code);
  init_label(&sample->label);
  rosidl_runtime_c__int32__Sequence__init(&sample->values, 2);
  sample->values.data[0] = 7;
  sample->values.data[1] = -7;
  make_labels(&sample->labels, 1);
  rosidl_runtime_c__String__assign(&sample->labels.data[0].text, "first");
  sample->labels.data[0].level = 1;
}

void sample_fini(void * message)
{
  auto * sample = static_cast<Sample *>(message);
  rosidl_runtime_c__String__fini(&sample->name);
  rosidl_runtime_c__String__fini(&sample->code);
  fini_label(&sample->label);
  rosidl_runtime_c__int32__Sequence__fini(&sample->values);
  drop_labels(&sample->labels);
}

void request_init(void * message, enum rosidl_runtime_c__message_initialization)
{
  auto * request = static_cast<LookupRequest *>(message);
  std::memset(request, 0, sizeof(*request));
  rosidl_runtime_c__String__init(&request->key);
}

void request_fini(void * message)
{
  rosidl_runtime_c__String__fini(&static_cast<LookupRequest *>(message)->key);
}

void response_init(void * message, enum rosidl_runtime_c__message_initialization)
{
  auto * response = static_cast<LookupResponse *>(message);
  std::memset(response, 0, sizeof(*response));
  rosidl_runtime_c__double__Sequence__init(&response->scores, 0);
}

void response_fini(void * message)
{
  rosidl_runtime_c__double__Sequence__fini(&static_cast<LookupResponse *>(message)->scores);
}

// --- The functions of array fields -------------------------------------------

// Fixed arrays of N elements of T.
template<typename T, std::size_t N>
std::size_t array_size(const void *)
{
  return N;
}

template<typename T, std::size_t N>
const void * array_get_const(const void * array, std::size_t index)
{
  return static_cast<const T *>(array) + index;
}

template<typename T, std::size_t N>
void * array_get(void * array, std::size_t index)
{
  return static_cast<T *>(array) + index;
}

// Sequences {data, size, capacity} of any element type.
template<typename Sequence>
std::size_t sequence_size(const void * sequence)
{
  return static_cast<const Sequence *>(sequence)->size;
}

template<typename Sequence>
const void * sequence_get_const(const void * sequence, std::size_t index)
{
  return &static_cast<const Sequence *>(sequence)->data[index];
}

template<typename Sequence>
void * sequence_get(void * sequence, std::size_t index)
{
  return &static_cast<Sequence *>(sequence)->data[index];
}

bool values_resize(void * sequence, std::size_t size)
{
  ++resize_calls;
  auto * values = static_cast<rosidl_runtime_c__int32__Sequence *>(sequence);
  rosidl_runtime_c__int32__Sequence__fini(values);
  return rosidl_runtime_c__int32__Sequence__init(values, size);
}

bool labels_resize(void * sequence, std::size_t size)
{
  ++resize_calls;
  return size <= kLabelsBound && make_labels(static_cast<LabelSequence *>(sequence), size);
}

bool scores_resize(void * sequence, std::size_t size)
{
  ++resize_calls;
  auto * scores = static_cast<rosidl_runtime_c__double__Sequence *>(sequence);
  rosidl_runtime_c__double__Sequence__fini(scores);
  return rosidl_runtime_c__double__Sequence__init(scores, size);
}

// --- The records -------------------------------------------------------------

FoxyMember member(const char * name, std::uint8_t type, std::size_t offset)
{
  FoxyMember built{};
  built.name_ = name;
  built.type_id_ = type;
  built.offset_ = static_cast<std::uint32_t>(offset);
  return built;
}

rosidl_message_type_support_t handle_of(const FoxyMembers * members)
{
  return {rosidl_typesupport_introspection_c__identifier, members,
    get_message_typesupport_handle_function};
}

struct Records
{
  FoxyMember label_fields[2];
  FoxyMembers label;
  rosidl_message_type_support_t label_handle;
  FoxyMember sample_fields[9];
  FoxyMembers sample;
  rosidl_message_type_support_t sample_handle;
  FoxyMember request_fields[2];
  FoxyMembers request;
  rosidl_message_type_support_t request_handle;
  FoxyMember response_fields[2];
  FoxyMembers response;
  rosidl_message_type_support_t response_handle;
  FoxyServiceMembers lookup;
  rosidl_service_type_support_t lookup_handle;

  Records()
  {
    label_fields[0] =
      member("text", rosidl_typesupport_introspection_c__ROS_TYPE_STRING, offsetof(Label, text));
    label_fields[1] =
      member("level", rosidl_typesupport_introspection_c__ROS_TYPE_UINT8, offsetof(Label, level));
    label = {kMessageNamespace, "Label", 2, sizeof(Label), label_fields, label_init, label_fini};
    label_handle = handle_of(&label);

    FoxyMember * f = sample_fields;
    *f++ = member("flag", rosidl_typesupport_introspection_c__ROS_TYPE_BOOLEAN,
        offsetof(Sample, flag));
    *f++ = member("count", rosidl_typesupport_introspection_c__ROS_TYPE_INT32,
        offsetof(Sample, count));
    *f++ = member("ratio", rosidl_typesupport_introspection_c__ROS_TYPE_DOUBLE,
        offsetof(Sample, ratio));
    *f++ = member("name", rosidl_typesupport_introspection_c__ROS_TYPE_STRING,
        offsetof(Sample, name));
    FoxyMember & code = *f++;
    code = member("code", rosidl_typesupport_introspection_c__ROS_TYPE_STRING,
        offsetof(Sample, code));
    code.string_upper_bound_ = 16;
    FoxyMember & nested = *f++;
    nested = member("label", rosidl_typesupport_introspection_c__ROS_TYPE_MESSAGE,
        offsetof(Sample, label));
    nested.members_ = &label_handle;

    FoxyMember & triple = *f++;
    triple = member("triple", rosidl_typesupport_introspection_c__ROS_TYPE_INT16,
        offsetof(Sample, triple));
    triple.is_array_ = true;
    triple.array_size_ = 3;
    triple.size_function = array_size<std::int16_t, 3>;
    triple.get_const_function = array_get_const<std::int16_t, 3>;
    triple.get_function = array_get<std::int16_t, 3>;

    FoxyMember & values = *f++;
    values = member("values", rosidl_typesupport_introspection_c__ROS_TYPE_INT32,
        offsetof(Sample, values));
    values.is_array_ = true;
    values.size_function = sequence_size<rosidl_runtime_c__int32__Sequence>;
    values.get_const_function = sequence_get_const<rosidl_runtime_c__int32__Sequence>;
    values.get_function = sequence_get<rosidl_runtime_c__int32__Sequence>;
    values.resize_function = values_resize;

    FoxyMember & labels = *f++;
    labels = member("labels", rosidl_typesupport_introspection_c__ROS_TYPE_MESSAGE,
        offsetof(Sample, labels));
    labels.members_ = &label_handle;
    labels.is_array_ = true;
    labels.array_size_ = kLabelsBound;
    labels.is_upper_bound_ = true;
    labels.size_function = sequence_size<LabelSequence>;
    labels.get_const_function = sequence_get_const<LabelSequence>;
    labels.get_function = sequence_get<LabelSequence>;
    labels.resize_function = labels_resize;

    sample = {kMessageNamespace, "Sample", static_cast<std::uint32_t>(f - sample_fields),
      sizeof(Sample), sample_fields, sample_init, sample_fini};
    sample_handle = handle_of(&sample);

    request_fields[0] = member("key", rosidl_typesupport_introspection_c__ROS_TYPE_STRING,
        offsetof(LookupRequest, key));
    request_fields[1] = member("limit", rosidl_typesupport_introspection_c__ROS_TYPE_UINT32,
        offsetof(LookupRequest, limit));
    request = {kServiceNamespace, "Lookup_Request", 2, sizeof(LookupRequest), request_fields,
      request_init, request_fini};
    request_handle = handle_of(&request);

    response_fields[0] = member("found", rosidl_typesupport_introspection_c__ROS_TYPE_BOOLEAN,
        offsetof(LookupResponse, found));
    FoxyMember & scores = response_fields[1];
    scores = member("scores", rosidl_typesupport_introspection_c__ROS_TYPE_DOUBLE,
        offsetof(LookupResponse, scores));
    scores.is_array_ = true;
    scores.size_function = sequence_size<rosidl_runtime_c__double__Sequence>;
    scores.get_const_function = sequence_get_const<rosidl_runtime_c__double__Sequence>;
    scores.get_function = sequence_get<rosidl_runtime_c__double__Sequence>;
    scores.resize_function = scores_resize;
    response = {kServiceNamespace, "Lookup_Response", 2, sizeof(LookupResponse), response_fields,
      response_init, response_fini};
    response_handle = handle_of(&response);

    lookup = {kServiceNamespace, "Lookup", &request, &response};
    lookup_handle = {rosidl_typesupport_introspection_c__identifier, &lookup,
      get_service_typesupport_handle_function};
  }
};

const Records & records()
{
  static const Records built;
  return built;
}

}  // namespace

#define FOXY_FIXTURE_EXPORT extern "C" __attribute__((visibility("default")))

FOXY_FIXTURE_EXPORT const rosidl_message_type_support_t *
ROSIDL_TYPESUPPORT_INTERFACE__MESSAGE_SYMBOL_NAME(
  rosidl_typesupport_introspection_c, foxy_pkg, msg, Label)()
{
  return &records().label_handle;
}

FOXY_FIXTURE_EXPORT const rosidl_message_type_support_t *
ROSIDL_TYPESUPPORT_INTERFACE__MESSAGE_SYMBOL_NAME(
  rosidl_typesupport_introspection_c, foxy_pkg, msg, Sample)()
{
  return &records().sample_handle;
}

FOXY_FIXTURE_EXPORT const rosidl_message_type_support_t *
ROSIDL_TYPESUPPORT_INTERFACE__MESSAGE_SYMBOL_NAME(
  rosidl_typesupport_introspection_c, foxy_pkg, srv, Lookup_Request)()
{
  return &records().request_handle;
}

FOXY_FIXTURE_EXPORT const rosidl_message_type_support_t *
ROSIDL_TYPESUPPORT_INTERFACE__MESSAGE_SYMBOL_NAME(
  rosidl_typesupport_introspection_c, foxy_pkg, srv, Lookup_Response)()
{
  return &records().response_handle;
}

FOXY_FIXTURE_EXPORT const rosidl_service_type_support_t *
ROSIDL_TYPESUPPORT_INTERFACE__SERVICE_SYMBOL_NAME(
  rosidl_typesupport_introspection_c, foxy_pkg, srv, Lookup)()
{
  return &records().lookup_handle;
}

/// How many times a resize function of these records has run.
FOXY_FIXTURE_EXPORT unsigned foxy_fixture_resize_calls()
{
  return resize_calls.load();
}
