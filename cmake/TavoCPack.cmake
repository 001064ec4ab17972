# Debian packages from the install components: `cpack -G DEB` in the build
# folder makes
#   libtavo0              Runtime:     the shared libraries
#   libtavo-dev           Development: headers, CMake package, pkg-config files, link names
#   tavo-designer-plugin  Designer:    the Qt Designer plugin
#   tavo-run              Runner:      the form runner
# They install where `cmake --install` does: configure with
# -DCMAKE_INSTALL_PREFIX=/usr for Debian's own folders (libraries in
# /usr/lib/<multiarch>, the plugin in Qt's plugin folder).
set(CPACK_PACKAGE_NAME tavo)
set(CPACK_PACKAGE_VENDOR "Tavo")
set(CPACK_PACKAGE_CONTACT "Tavo maintainers <tavo@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Drop-down date control and tree controller, with Qt 6 widgets")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_GENERATOR DEB)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
# Qt's packages come from what the binaries link (dpkg-shlibdeps); the
# packages' own dependencies on each other from the components'.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
# The packages' own libraries, for dpkg-shlibdeps, which runs in each part's
# staging folder: the Runtime part's beside it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ../Runtime${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR})

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libtavo${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libtavo-dev)
set(CPACK_DEBIAN_DESIGNER_PACKAGE_NAME tavo-designer-plugin)
set(CPACK_DEBIAN_RUNNER_PACKAGE_NAME tavo-run)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_RUNNER_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_DESIGNER_PACKAGE_SECTION devel)
# The CMake package finds Qt 6 Widgets for the widgets' targets.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "qt6-base-dev")
set(CPACK_DEBIAN_DESIGNER_PACKAGE_ENHANCES "designer-qt6")

set(CPACK_COMPONENTS_ALL Runtime Development Runner)
if(TARGET tavo_designer)
  list(APPEND CPACK_COMPONENTS_ALL Designer)
endif()

include(CPack)
cpack_add_component(Runtime DISPLAY_NAME "Libraries" DESCRIPTION "The Tavo controls' shared libraries")
cpack_add_component(Development DISPLAY_NAME "Development files" DEPENDS Runtime
                    DESCRIPTION "Headers, CMake package and pkg-config files of the Tavo libraries")
cpack_add_component(Designer DISPLAY_NAME "Qt Designer plugin" DEPENDS Runtime
                    DESCRIPTION "The Tavo widgets in Qt Designer's widget box")
cpack_add_component(Runner DISPLAY_NAME "Form runner" DEPENDS Runtime
                    DESCRIPTION "tavo-run: runs forms and scripts with the Tavo controls")
