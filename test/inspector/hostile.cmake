# Libraries whose records are wrong on purpose, and the inspector run on them.

# Type support libraries the tests load through the inspector, built as a
# generator's output would be: the introspection library's identifier and the
# runtime's handle functions, only the getters exported.
foreach(_zorv_records IN ITEMS hostile_type_support foxy_fixture_type_support)
  add_library(${_zorv_records} SHARED ${_zorv_records}.cpp)
  set_target_properties(${_zorv_records} PROPERTIES CXX_VISIBILITY_PRESET hidden)
  target_compile_features(${_zorv_records} PRIVATE cxx_std_17)
  zorv_apply_build_options(${_zorv_records})
  target_include_directories(${_zorv_records} PRIVATE "${PROJECT_SOURCE_DIR}/test")
  target_link_libraries(${_zorv_records} PRIVATE
    zorv_rosidl_typesupport_introspection_c rosidl_runtime_c::rosidl_runtime_c)
endforeach()

# Memcheck runs the inspector on a few of them too; a sanitizer build checks
# memory its own way.
set(_zorv_hostile_valgrind "")
if(ZORV_MEMCHECK)
  set(_zorv_hostile_valgrind "${ZORV_VALGRIND}")
endif()

zorv_add_test(test_inspector_hostile)
target_link_libraries(test_inspector_hostile PRIVATE typesupport_core nlohmann_json::nlohmann_json)
target_compile_definitions(test_inspector_hostile PRIVATE
  ${_zorv_inspector_definitions}
  HOSTILE_LIBRARY_PATH="$<TARGET_FILE:hostile_type_support>"
  FOXY_FIXTURE_LIBRARY_PATH="$<TARGET_FILE:foxy_fixture_type_support>"
  HOSTILE_VALGRIND_PATH="${_zorv_hostile_valgrind}"
  VALGRIND_SUPPRESSIONS="${ZORV_VALGRIND_SUPPRESSIONS}")
add_dependencies(test_inspector_hostile
  hostile_type_support foxy_fixture_type_support inspector_fixture typesupport-inspect)
