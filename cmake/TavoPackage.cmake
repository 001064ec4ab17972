# What `cmake --install` puts where, in parts that packages can take
# apart: Runtime (the shared libraries), Development (headers, the CMake
# package, pkg-config files, the libraries' link names), Designer (the Qt
# Designer plugin) and Runner (tavo-run).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(tavo_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Tavo)
set(tavo_pkgconfig_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# Installed files find what they need relative to where they lie, so that the
# tree can be installed under any prefix or moved: the libraries find each
# other in their own folder, tavo-run finds them beside its own, pkg-config
# files find the prefix from their own folder.
file(RELATIVE_PATH tavo_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
file(RELATIVE_PATH pc_to_prefix ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" pc_to_prefix "${pc_to_prefix}")

# A library's exported name, its pkg-config name and description, the
# pkg-config packages its headers need, and those its library needs only to
# link statically.
function(tavo_install_library target export_name pc_name description)
  cmake_parse_arguments(PARSE_ARGV 4 arg "" "EXPORT" "REQUIRES;REQUIRES_PRIVATE")
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${export_name} INSTALL_RPATH "$ORIGIN")
  install(TARGETS ${target} EXPORT ${arg_EXPORT}
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development
          RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
          FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Development)
  set(pc_name ${pc_name})
  set(pc_description "${description}")
  list(JOIN arg_REQUIRES " " pc_requires)
  list(JOIN arg_REQUIRES_PRIVATE " " pc_requires_private)
  set(pc_library ${target})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/tavo.pc.in ${PROJECT_BINARY_DIR}/pkgconfig/${pc_name}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/pkgconfig/${pc_name}.pc DESTINATION ${tavo_pkgconfig_dir}
          COMPONENT Development)
endfunction()

tavo_install_library(tavo_host Host tavo-host
  "The seam of the Tavo controls: values, errors, form files, component registry, host interfaces"
  EXPORT TavoTargets)
tavo_install_library(tavo_components Components tavo-components
  "The date box, month grid and tree node interfaces of the Tavo controls"
  EXPORT TavoTargets REQUIRES tavo-host)
tavo_install_library(TavoCalendar Calendar tavo-calendar
  "TavoCalendar: the drop-down date control TavoCalendarDropDown"
  EXPORT TavoTargets REQUIRES tavo-host tavo-components)
tavo_install_library(TavoSSAddOn SSAddOn tavo-ssaddon
  "TavoSSAddOn: the tree controller TavoSSTreeController"
  EXPORT TavoTargets REQUIRES tavo-host tavo-components)
install(EXPORT TavoTargets NAMESPACE Tavo:: DESTINATION ${tavo_cmake_dir} COMPONENT Development)

if(TARGET tavo_qt)
  tavo_install_library(tavo_qt Qt tavo-qt
    "The Tavo controls' host on Qt 6 Widgets"
    EXPORT TavoQtTargets REQUIRES tavo-host tavo-components Qt6Widgets)
  tavo_install_library(tavo_widgets Widgets tavo-widgets
    "The Tavo controls as Qt widgets"
    EXPORT TavoQtTargets REQUIRES tavo-host Qt6Widgets REQUIRES_PRIVATE tavo-qt tavo-calendar tavo-ssaddon)
  install(EXPORT TavoQtTargets NAMESPACE Tavo:: DESTINATION ${tavo_cmake_dir} COMPONENT Development)
endif()

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/TavoConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/cmake/TavoConfig.cmake
                              INSTALL_DESTINATION ${tavo_cmake_dir})
# Within a major version, a newer Tavo serves code built against an older one:
# the same promise as the libraries' SOVERSION.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/cmake/TavoConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/cmake/TavoConfig.cmake ${PROJECT_BINARY_DIR}/cmake/TavoConfigVersion.cmake
        DESTINATION ${tavo_cmake_dir} COMPONENT Development)

set_target_properties(tavo-run PROPERTIES INSTALL_RPATH "$ORIGIN/${tavo_bin_to_lib}")
install(TARGETS tavo-run RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runner)

# The Qt Designer plugin finds the libraries from its folder, wherever that is.
if(TARGET tavo_designer)
  file(RELATIVE_PATH tavo_plugin_to_lib ${CMAKE_INSTALL_PREFIX}/${TAVO_DESIGNER_PLUGIN_DIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  set_target_properties(tavo_designer PROPERTIES INSTALL_RPATH "$ORIGIN/${tavo_plugin_to_lib}")
  install(TARGETS tavo_designer LIBRARY DESTINATION ${TAVO_DESIGNER_PLUGIN_DIR} COMPONENT Designer)
endif()
include(${PROJECT_SOURCE_DIR}/cmake/TavoCPack.cmake)
