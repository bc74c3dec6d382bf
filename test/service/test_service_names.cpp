// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// What the binding derives from names and the environment, before any DDS
// traffic: topic and type names, the endpoint ids of the user data, the
// domain settings.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "service/dds/endpoint_id.hpp"
#include "service/dds/ros_environment.hpp"
#include "service/dds/ros_names.hpp"

namespace
{

using typesupport_dds::ServiceTopicNames;

TEST(ServiceNames, TopicAndTypeNamesAsAFoxyNodeUsesThem)
{
  struct Case
  {
    std::string name;
    std::string request_topic;
    std::string reply_topic;
  };
  const std::vector<Case> cases = {
    {"/dock_command", "rq/dock_commandRequest", "rr/dock_commandReply"},
    {"dock_command", "rq/dock_commandRequest", "rr/dock_commandReply"},
    {"/robot1/dock", "rq/robot1/dockRequest", "rr/robot1/dockReply"},
    {"_a/B_2/c", "rq/_a/B_2/cRequest", "rr/_a/B_2/cReply"},
  };
  for (const Case & c : cases) {
    ServiceTopicNames names;
    EXPECT_EQ("", service_topic_names(c.name, "zorv_interfaces__srv", "StringCommand", names))
      << c.name;
    EXPECT_EQ(c.request_topic, names.request_topic) << c.name;
    EXPECT_EQ(c.reply_topic, names.reply_topic) << c.name;
    EXPECT_EQ("zorv_interfaces::srv::dds_::StringCommand_Request_", names.request_type);
    EXPECT_EQ("zorv_interfaces::srv::dds_::StringCommand_Response_", names.response_type);
  }
  ServiceTopicNames nested;
  ASSERT_EQ("", service_topic_names("/s", "a__b__srv", "Do", nested));
  EXPECT_EQ("a::b::srv::dds_::Do_Request_", nested.request_type);
}

TEST(ServiceNames, InvalidNamesAreRefusedWithTheirFault)
{
  struct Case
  {
    std::string name;
    std::string fault;
  };
  const std::vector<Case> cases = {
    {"", "must not be empty"},
    {"/", "namespace"},
    {"/dock/", "must not end with '/'"},
    {"/robot1//dock", "'//'"},
    {"//dock", "'//'"},
    {"~/dock", "substitutions"},
    {"/{node}/dock", "substitutions"},
    {"/1robot/dock", "must not start with a digit"},
    {"9dock", "must not start with a digit"},
    {"/dock-command", "character 6"},
    {"/dock command", "character 6"},
    {"/dock\ncommand", "character 6"},
  };
  for (const Case & c : cases) {
    ServiceTopicNames names;
    const std::string reason =
      service_topic_names(c.name, "zorv_interfaces__srv", "StringCommand", names);
    EXPECT_NE(std::string::npos, reason.find(c.fault)) << "'" << c.name << "': " << reason;
    EXPECT_TRUE(names.request_topic.empty()) << c.name;
  }
  ServiceTopicNames names;
  EXPECT_NE("", service_topic_names("/dock", "", "StringCommand", names));
}

TEST(EndpointIds, FormattedAsAFoxyNodeWritesThem)
{
  const typesupport_dds::EndpointId id = {
    0x01, 0x10, 0xc2, 0x92, 0x00, 0x0f, 0xab, 0xcd, 0x10, 0x00, 0x00, 0xff,
    0x00, 0x00, 0x01, 0x2a};
  EXPECT_EQ(" 1.10.c2.92.0.f.ab.cd.10.0.0.ff.0.0.1.2a", typesupport_dds::format_endpoint_id(id));
  EXPECT_EQ(
    "clientid= 1.10.c2.92.0.f.ab.cd.10.0.0.ff.0.0.1.2a;",
    typesupport_dds::endpoint_user_data("clientid", id));
  typesupport_dds::EndpointId wide = id;
  wide[0] = 0xfe;
  EXPECT_EQ("fe.", typesupport_dds::format_endpoint_id(wide).substr(0, 3));

  // Ids of one process share the participant's prefix and count on.
  const std::array<unsigned char, 12> prefix = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const typesupport_dds::EndpointId first = typesupport_dds::next_endpoint_id(prefix);
  const typesupport_dds::EndpointId second = typesupport_dds::next_endpoint_id(prefix);
  EXPECT_TRUE(std::equal(prefix.begin(), prefix.end(), first.begin()));
  const auto counter = [](const typesupport_dds::EndpointId & e) {
      return (std::uint32_t{e[12]} << 24) | (std::uint32_t{e[13]} << 16) |
             (std::uint32_t{e[14]} << 8) | e[15];
    };
  EXPECT_EQ(counter(first) + 1, counter(second));
}

TEST(EndpointIds, UserDataValuesAreFoundByKey)
{
  std::string value;
  const std::string data = "enclave=/;clientid= 1.2.3;serviceid=x;";
  EXPECT_TRUE(typesupport_dds::user_data_value(data.data(), data.size(), "clientid", value));
  EXPECT_EQ(" 1.2.3", value);
  EXPECT_TRUE(typesupport_dds::user_data_value(data.data(), data.size(), "enclave", value));
  EXPECT_EQ("/", value);
  EXPECT_FALSE(typesupport_dds::user_data_value(data.data(), data.size(), "client", value));
  EXPECT_FALSE(typesupport_dds::user_data_value(data.data(), data.size(), "id", value));

  // A peer's bytes: no ";" at the end, a NUL inside, nothing at all.
  const std::string last = "clientid=abc";
  EXPECT_TRUE(typesupport_dds::user_data_value(last.data(), last.size(), "clientid", value));
  EXPECT_EQ("abc", value);
  const std::string cut("a=1;\0clientid=2;", 16);
  EXPECT_FALSE(typesupport_dds::user_data_value(cut.data(), cut.size(), "clientid", value));
  EXPECT_FALSE(typesupport_dds::user_data_value(nullptr, 0, "clientid", value));
}

TEST(RosEnvironment, DomainIdAndLocalhostOnlyAreReadStrictly)
{
  std::uint32_t id = 99;
  EXPECT_EQ("", typesupport_dds::parse_domain_id(nullptr, id));
  EXPECT_EQ(0u, id);
  EXPECT_EQ("", typesupport_dds::parse_domain_id("", id));
  EXPECT_EQ(0u, id);
  EXPECT_EQ("", typesupport_dds::parse_domain_id("42", id));
  EXPECT_EQ(42u, id);
  EXPECT_EQ("", typesupport_dds::parse_domain_id("232", id));
  EXPECT_EQ(232u, id);
  for (const char * bad : {"233", "-1", "abc", "1x", " 1", "99999999999999999999", "0x10"}) {
    id = 7;
    const std::string reason = typesupport_dds::parse_domain_id(bad, id);
    EXPECT_NE(std::string::npos, reason.find("ROS_DOMAIN_ID")) << bad;
    EXPECT_NE(std::string::npos, reason.find(bad)) << reason;
    EXPECT_EQ(std::string::npos, reason.find('\n')) << reason;
    EXPECT_EQ(7u, id) << bad;
  }

  bool on = true;
  EXPECT_EQ("", typesupport_dds::parse_localhost_only(nullptr, on));
  EXPECT_FALSE(on);
  EXPECT_EQ("", typesupport_dds::parse_localhost_only("1", on));
  EXPECT_TRUE(on);
  EXPECT_EQ("", typesupport_dds::parse_localhost_only("0", on));
  EXPECT_FALSE(on);
  EXPECT_NE(
    std::string::npos,
    typesupport_dds::parse_localhost_only("true", on).find("ROS_LOCALHOST_ONLY"));
}

TEST(RosEnvironment, BadEnvironmentIsReportedNotGuessed)
{
  setenv("ROS_DOMAIN_ID", "300", 1);
  typesupport_dds::DomainSettings settings;
  settings.domain_id = 5;
  EXPECT_NE("", typesupport_dds::read_ros_environment(settings));
  EXPECT_EQ(5u, settings.domain_id);

  setenv("ROS_DOMAIN_ID", "12", 1);
  setenv("ROS_LOCALHOST_ONLY", "1", 1);
  setenv("CYCLONEDDS_URI", "file:///x.xml", 1);
  ASSERT_EQ("", typesupport_dds::read_ros_environment(settings));
  EXPECT_EQ(12u, settings.domain_id);
  EXPECT_TRUE(settings.localhost_only);
  EXPECT_EQ("file:///x.xml", settings.user_config);
  unsetenv("ROS_DOMAIN_ID");
  unsetenv("ROS_LOCALHOST_ONLY");
  unsetenv("CYCLONEDDS_URI");
}

}  // namespace
