# Makes the Debian packages of the build (cpack -G DEB) and checks them as a
# user installs them:
#  - each package holds what its part of the install holds, and no file is in
#    two packages;
#  - the packages depend on each other and on Debian's Qt packages;
#  - the consumer project (a copy, without its header checks) builds against
#    the runtime and development packages unpacked into a folder, and runs.
# cmake -DSOURCE=<source> -DBUILD=<build> -DPREFIX=<install prefix> -DLIBDIR=<libdir>
#       -DPLUGIN_DIR=<plugin folder> -DMAJOR=<major version> -DCXX=<compiler>
#       -DGENERATOR=<generator> [-DLAUNCHER=<launcher>] [-DSANITIZE=ON] -P check_deb.cmake
cmake_minimum_required(VERSION 3.25)

set(work_stem tavo-deb)
include(${CMAKE_CURRENT_LIST_DIR}/../support/work_folder.cmake)

run("cpack" cpack -G DEB --config ${BUILD}/CPackConfig.cmake -B ${work}/packages)

# Package, a file each must hold (a pattern on its path), and the packages it
# must depend on. Paths are as dpkg-deb lists them: ./<prefix>/...
string(REGEX REPLACE "^/" "" root "${PREFIX}")
set(lib "\\./${root}/${LIBDIR}")
set(packages libtavo${MAJOR} libtavo-dev tavo-designer-plugin tavo-run)
set(holds_libtavo${MAJOR}
    "${lib}/libtavo_host\\.so\\.${MAJOR}$" "${lib}/libTavoCalendar\\.so\\.${MAJOR}$"
    "${lib}/libTavoSSAddOn\\.so\\.${MAJOR}$" "${lib}/libtavo_widgets\\.so\\.${MAJOR}\\.")
set(holds_libtavo-dev
    "\\./${root}/include/tavo/widgets/date_drop_down\\.h$" "\\./${root}/include/tavo/widgets/widgets_export\\.h$"
    "${lib}/cmake/Tavo/TavoConfig\\.cmake$" "${lib}/pkgconfig/tavo-widgets\\.pc$" "${lib}/libtavo_widgets\\.so$")
set(holds_tavo-designer-plugin "\\./${root}/${PLUGIN_DIR}/libtavo_designer\\.so$")
set(holds_tavo-run "\\./${root}/bin/tavo-run$")
set(needs_libtavo${MAJOR} "libqt6widgets6")
set(needs_libtavo-dev "libtavo${MAJOR}" "qt6-base-dev")
set(needs_tavo-designer-plugin "libtavo${MAJOR}" "libqt6core6")
set(needs_tavo-run "libtavo${MAJOR}")

set(seen "")
foreach(package IN LISTS packages)
  file(GLOB deb ${work}/packages/${package}_*.deb)
  if(NOT deb)
    file(GLOB made ${work}/packages/*.deb)
    fail("cpack made no package ${package}; it made: ${made}")
  endif()
  run("listing ${package}" dpkg-deb -c ${deb})
  # The files: each line's path (a link's, before " -> "); folders end in "/".
  string(REPLACE "\n" ";" lines "${out}")
  set(files "")
  foreach(line IN LISTS lines)
    if(line MATCHES " (\\./[^ ]*[^/ ])( -> .*)?$")
      list(APPEND files "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  foreach(pattern IN LISTS holds_${package})
    set(found ${files})
    list(FILTER found INCLUDE REGEX "${pattern}")
    if(NOT found)
      fail("${package} holds nothing like ${pattern}:\n${out}")
    endif()
  endforeach()
  foreach(file IN LISTS files)
    if(file IN_LIST seen)
      fail("${file} is in ${package} and in another package")
    endif()
  endforeach()
  list(APPEND seen ${files})
  run("reading ${package}'s dependencies" dpkg-deb -f ${deb} Depends)
  foreach(dependency IN LISTS needs_${package})
    if(NOT out MATCHES "(^|[ ,])${dependency}([ ,(\n]|$)")
      fail("${package} does not depend on ${dependency}: ${out}")
    endif()
  endforeach()
  if(package MATCHES "^libtavo")
    run("unpacking ${package}" dpkg-deb -x ${deb} ${work}/root)
  endif()
endforeach()

build_consumer(${work}/root${PREFIX} -DTAVO_CHECK_HEADERS=OFF)
set(ENV{QT_QPA_PLATFORM} offscreen)
run("the consumer" ${work}/consumer-build/tavo-consumer)

file(REMOVE_RECURSE ${work})
