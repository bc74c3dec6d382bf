# Installs the package as a ROS 2 package is laid out, with an exported CMake
# package config: find_package(zorv_interfaces) then links
# zorv_interfaces::zorv_interfaces__rosidl_typesupport_introspection_c and
# zorv_interfaces::zorv_interfaces__rosidl_generator_c.

include(CMakePackageConfigHelpers)

set(_zorv_cmake_dir "${CMAKE_INSTALL_DATADIR}/${PROJECT_NAME}/cmake")

set_target_properties(zorv_rosidl_typesupport_introspection_c PROPERTIES
  EXPORT_NAME rosidl_typesupport_introspection_c)
install(TARGETS
    ${ZORV_TYPESUPPORT} zorv_interfaces__rosidl_generator_c zorv_rosidl_typesupport_introspection_c
  EXPORT zorv_interfacesTargets
  LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}"
  ARCHIVE DESTINATION "${CMAKE_INSTALL_LIBDIR}"
  RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(TARGETS typesupport-inspect RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
if(TARGET typesupport-service)
  install(TARGETS typesupport-service RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
endif()
install(DIRECTORY include/ generator_c_standin/include/ DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}")

install(EXPORT zorv_interfacesTargets
  NAMESPACE zorv_interfaces::
  DESTINATION "${_zorv_cmake_dir}")
configure_package_config_file(cmake/zorv_interfacesConfig.cmake.in
  "${CMAKE_CURRENT_BINARY_DIR}/zorv_interfacesConfig.cmake"
  INSTALL_DESTINATION "${_zorv_cmake_dir}")
write_basic_package_version_file("${CMAKE_CURRENT_BINARY_DIR}/zorv_interfacesConfigVersion.cmake"
  COMPATIBILITY SameMajorVersion)
install(FILES
    "${CMAKE_CURRENT_BINARY_DIR}/zorv_interfacesConfig.cmake"
    "${CMAKE_CURRENT_BINARY_DIR}/zorv_interfacesConfigVersion.cmake"
    cmake/ament_python.cmake
  DESTINATION "${_zorv_cmake_dir}")

# What ROS 2 tools look for: the interface definition, the manifest, and the
# package's entry in the ament resource index.
install(FILES srv/StringCommand.srv DESTINATION "${CMAKE_INSTALL_DATADIR}/${PROJECT_NAME}/srv")
install(FILES package.xml DESTINATION "${CMAKE_INSTALL_DATADIR}/${PROJECT_NAME}")
file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/ament_index_marker" "")
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/ament_index_marker"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/ament_index/resource_index/packages"
  RENAME "${PROJECT_NAME}")
