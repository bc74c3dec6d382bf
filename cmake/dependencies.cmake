# After the two rosidl dependencies are found, provides the targets the project links:
#   rosidl_runtime_c::rosidl_runtime_c
#   zorv_rosidl_typesupport_introspection_c  (always a shared library)
# and ZORV_MESSAGE_MEMBER_HAS_FETCH_AND_ASSIGN, true when the introspection
# MessageMember record has the fetch_function/assign_function fields that
# releases after Foxy added.

include(CheckStructHasMember)

if(TARGET rosidl_typesupport_introspection_c::rosidl_typesupport_introspection_c)
  set(_zorv_introspection rosidl_typesupport_introspection_c::rosidl_typesupport_introspection_c)
  get_target_property(_zorv_introspection_type ${_zorv_introspection} TYPE)
  get_target_property(_zorv_introspection_includes ${_zorv_introspection} INTERFACE_INCLUDE_DIRECTORIES)
  set(_zorv_introspection_file "$<TARGET_FILE:${_zorv_introspection}>")
else()
  # Older ament exports give plain variables instead of a target.
  list(GET rosidl_typesupport_introspection_c_LIBRARIES -1 _zorv_introspection_file)
  set(_zorv_introspection "${_zorv_introspection_file}")
  set(_zorv_introspection_includes ${rosidl_typesupport_introspection_c_INCLUDE_DIRS})
  if(_zorv_introspection_file MATCHES "\\.a$")
    set(_zorv_introspection_type STATIC_LIBRARY)
  else()
    set(_zorv_introspection_type SHARED_LIBRARY)
  endif()
endif()

if(_zorv_introspection_type STREQUAL "STATIC_LIBRARY")
  # Callers recognise this type support by comparing the identifier pointer, so
  # a process must hold exactly one rosidl_typesupport_introspection_c__identifier.
  # Linking the archive into each library would give each its own copy: wrap it
  # once into the shared library that a ROS 2 installation would provide.
  set(_zorv_wrap_source "${CMAKE_CURRENT_BINARY_DIR}/rosidl_typesupport_introspection_c_wrap.c")
  file(WRITE "${_zorv_wrap_source}"
    "/* The whole archive is linked in; this unit only gives the target a source. */\n"
    "typedef int rosidl_typesupport_introspection_c_wrap_unused;\n")
  add_library(zorv_rosidl_typesupport_introspection_c SHARED "${_zorv_wrap_source}")
  set_target_properties(zorv_rosidl_typesupport_introspection_c PROPERTIES
    OUTPUT_NAME rosidl_typesupport_introspection_c
    LINKER_LANGUAGE C)
  target_link_options(zorv_rosidl_typesupport_introspection_c PRIVATE
    "LINKER:--whole-archive,${_zorv_introspection_file},--no-whole-archive"
    ${ZORV_SHARED_LINK_OPTIONS})
  target_include_directories(zorv_rosidl_typesupport_introspection_c INTERFACE
    ${_zorv_introspection_includes})
  target_link_libraries(zorv_rosidl_typesupport_introspection_c INTERFACE
    rosidl_runtime_c::rosidl_runtime_c)
  set(ZORV_INTROSPECTION_C_WRAPPED TRUE)
else()
  add_library(zorv_rosidl_typesupport_introspection_c INTERFACE)
  target_link_libraries(zorv_rosidl_typesupport_introspection_c INTERFACE
    ${_zorv_introspection} rosidl_runtime_c::rosidl_runtime_c)
  set(ZORV_INTROSPECTION_C_WRAPPED FALSE)
endif()

set(CMAKE_REQUIRED_INCLUDES ${_zorv_introspection_includes})
get_target_property(_zorv_runtime_includes rosidl_runtime_c::rosidl_runtime_c INTERFACE_INCLUDE_DIRECTORIES)
list(APPEND CMAKE_REQUIRED_INCLUDES ${_zorv_runtime_includes})
# The runtime headers include rosidl_typesupport_interface's.
if(TARGET rosidl_typesupport_interface::rosidl_typesupport_interface)
  get_target_property(_zorv_interface_includes
    rosidl_typesupport_interface::rosidl_typesupport_interface INTERFACE_INCLUDE_DIRECTORIES)
  list(APPEND CMAKE_REQUIRED_INCLUDES ${_zorv_interface_includes})
endif()
check_struct_has_member(rosidl_typesupport_introspection_c__MessageMember fetch_function
  rosidl_typesupport_introspection_c/message_introspection.h
  ZORV_MESSAGE_MEMBER_HAS_FETCH_AND_ASSIGN LANGUAGE C)
unset(CMAKE_REQUIRED_INCLUDES)
