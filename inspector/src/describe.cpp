// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#include "describe.hpp"

namespace typesupport_inspect
{

namespace
{

std::string message_definition(const MessageMembers & members)
{
  std::string text;
  for (std::uint32_t i = 0; i < members.member_count_; ++i) {
    const MessageMember & member = members.members_[i];
    text += field_type_name(member) + " " + member.name_ + "\n";
  }
  return text;
}

const char * array_kind_name(ArrayKind kind)
{
  switch (kind) {
    case ArrayKind::fixed: return "fixed";
    case ArrayKind::bounded_sequence: return "bounded sequence";
    case ArrayKind::sequence: return "sequence";
    case ArrayKind::none: break;
  }
  return "none";
}

ReportNode message_report(const MessageMembers & members)
{
  ReportNode fields = ReportNode::list();
  for (std::uint32_t i = 0; i < members.member_count_; ++i) {
    const MessageMember & member = members.members_[i];
    ReportNode field = ReportNode::object();
    field.add("name", ReportNode::of_text(member.name_))
    .add("type", ReportNode::of_text(field_type_name(member)))
    .add("type_id", ReportNode::of_number(member.type_id_))
    .add("string_upper_bound", ReportNode::of_number(member.string_upper_bound_))
    .add("array", ReportNode::of_text(array_kind_name(array_kind(member))))
    .add("array_size", ReportNode::of_number(member.array_size_))
    .add("offset", ReportNode::of_number(member.offset_))
    .add("has_default_value", ReportNode::of_boolean(member.default_value_ != nullptr));
    if (const MessageMembers * nested = nested_members(member)) {
      field.add("message", message_report(*nested));
    }
    fields.append(std::move(field));
  }
  ReportNode report = ReportNode::object();
  report.add("namespace", ReportNode::of_text(members.message_namespace_))
  .add("name", ReportNode::of_text(members.message_name_))
  .add("size_of", ReportNode::of_number(members.size_of_))
  .add("member_count", ReportNode::of_number(members.member_count_))
  .add("has_init_function", ReportNode::of_boolean(members.init_function != nullptr))
  .add("has_fini_function", ReportNode::of_boolean(members.fini_function != nullptr))
  .add("fields", std::move(fields));
  return report;
}

}  // namespace

std::string definition_text(const Interface & interface)
{
  if (interface.service != nullptr) {
    return message_definition(*interface.service->request_members_) + "---\n" +
           message_definition(*interface.service->response_members_);
  }
  return message_definition(*interface.message);
}

ReportNode records_report(const Interface & interface)
{
  ReportNode report = ReportNode::object();
  report.add("interface", ReportNode::of_text(interface.name.text()))
  .add("typesupport_identifier", ReportNode::of_text(interface.identifier));
  if (interface.service != nullptr) {
    ReportNode service = ReportNode::object();
    service.add("namespace", ReportNode::of_text(interface.service->service_namespace_))
    .add("name", ReportNode::of_text(interface.service->service_name_))
    .add("request", message_report(*interface.service->request_members_))
    .add("response", message_report(*interface.service->response_members_));
    report.add("service", std::move(service));
  } else {
    report.add("message", message_report(*interface.message));
  }
  return report;
}

}  // namespace typesupport_inspect
