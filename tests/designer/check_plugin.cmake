# Installs the runtime libraries and the Designer plugin into a fresh prefix,
# as their packages do, checks that the plugin finds the libraries relative to
# itself, and runs the plugin check on the installed plugin.
# cmake -DBUILD=<build> -DPLUGIN_DIR=<plugin folder under the prefix> -DCHECK=<tests_designer_plugin>
#       -DFORM=<form.ui> -P check_plugin.cmake
cmake_minimum_required(VERSION 3.25)

set(work_stem tavo-designer)
include(${CMAKE_CURRENT_LIST_DIR}/../support/work_folder.cmake)
set(prefix ${work})

foreach(component Runtime Designer)
  run("installing ${component}" ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix} --component ${component})
endforeach()
file(GLOB plugins ${prefix}/${PLUGIN_DIR}/*.so)
if(NOT plugins)
  fail("no plugin installed in ${prefix}/${PLUGIN_DIR}")
endif()
run("reading the plugin" readelf -d ${plugins})
if(NOT out MATCHES "(RPATH|RUNPATH)[^\n]*\\[\\$ORIGIN[^]:]*\\]")
  fail("the plugin finds the libraries other than relative to itself:\n${out}")
endif()

unset(ENV{QT_PLUGIN_PATH})
set(ENV{QT_QPA_PLATFORM} offscreen)
run("the plugin check" ${CHECK} ${prefix}/${PLUGIN_DIR} ${FORM})
file(REMOVE_RECURSE ${prefix})
