# Installs the build into a fresh prefix, configures, builds and runs the
# downstream consumer against it, and checks the installed tree.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... -DC_COMPILER=... -P run_downstream.cmake

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed (${result}): ${ARGN}\n${output}\n${errors}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

set(prefix "${WORK_DIR}/prefix")
file(REMOVE_RECURSE "${WORK_DIR}")
run("${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}")

foreach(installed IN ITEMS
    lib/libzorv_interfaces__rosidl_typesupport_introspection_c.so
    lib/libzorv_interfaces__rosidl_generator_c.so
    include/zorv_interfaces/srv/detail/string_command__rosidl_typesupport_introspection_c.h
    include/zorv_interfaces/srv/string_command.h
    bin/typesupport-inspect
    share/zorv_interfaces/package.xml
    share/zorv_interfaces/cmake/zorv_interfacesConfig.cmake
    share/ament_index/resource_index/packages/zorv_interfaces)
  if(NOT EXISTS "${prefix}/${installed}")
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()
file(READ "${prefix}/share/zorv_interfaces/srv/StringCommand.srv" definition)
if(NOT definition STREQUAL "string command\n---\nstring answer\n")
  message(FATAL_ERROR "unexpected StringCommand.srv:\n${definition}")
endif()

run("${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${WORK_DIR}/build" -G Ninja
  "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_C_COMPILER=${C_COMPILER}")
run("${CMAKE_COMMAND}" --build "${WORK_DIR}/build")
run("${WORK_DIR}/build/consumer")
if(NOT output STREQUAL "consumer: ok\n")
  message(FATAL_ERROR "consumer printed: ${output}")
endif()

# The installed inspector finds the installed library by its bare name.
run("${prefix}/bin/typesupport-inspect" libzorv_interfaces__rosidl_typesupport_introspection_c.so
  zorv_interfaces/srv/StringCommand)
if(NOT output STREQUAL "string command\n---\nstring answer\n")
  message(FATAL_ERROR "installed inspector printed: ${output}")
endif()
# The installed service tool, where one was built, finds the installed
# library by its bare name too: here it gets as far as asking DDS.
if(EXISTS "${prefix}/bin/typesupport-service")
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env ROS_LOCALHOST_ONLY=1 ROS_DOMAIN_ID=231
      "${prefix}/bin/typesupport-service" call --timeout 0.1 /downstream zorv_interfaces/srv/StringCommand
    RESULT_VARIABLE result ERROR_VARIABLE errors)
  if(NOT result EQUAL 1 OR NOT errors MATCHES "service /downstream not available after 0.1 s")
    message(FATAL_ERROR "installed typesupport-service: exit ${result}: ${errors}")
  endif()
endif()
message(STATUS "downstream consumer and installed tools: ok")
