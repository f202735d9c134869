# Install rules and the CMake package "OrvListView": the static libraries, the public headers under
# include/orvlistview/<folder>/ (the private/ folders stay behind: no public header includes one) and
# a package configuration, so that an application writes
#
#   find_package(OrvListView REQUIRED)
#   target_link_libraries(app PRIVATE OrvListView::OrvListView)
#
# and gets the include path, C++20 and Qt with it.
include(CMakePackageConfigHelpers)

set(orv_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/OrvListView)

install(TARGETS ${ORV_LIBRARIES} EXPORT OrvListViewTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
foreach(folder IN LISTS ORV_PUBLIC_HEADER_FOLDERS)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${folder}/
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/orvlistview/${folder}
          FILES_MATCHING PATTERN "*.h"
          PATTERN "private" EXCLUDE)
endforeach()

install(EXPORT OrvListViewTargets NAMESPACE OrvListView:: DESTINATION ${orv_package_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/OrvListViewConfig.cmake.in
  ${PROJECT_BINARY_DIR}/OrvListViewConfig.cmake INSTALL_DESTINATION ${orv_package_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/OrvListViewConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/OrvListViewConfig.cmake
              ${PROJECT_BINARY_DIR}/OrvListViewConfigVersion.cmake
        DESTINATION ${orv_package_dir})
