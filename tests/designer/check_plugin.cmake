# Installs the runtime libraries and the Designer plugin into a fresh prefix,
# as their packages do, checks that the plugin finds the libraries relative to
# itself, and runs the plugin check on the installed plugin.
# cmake -DBUILD=<build> -DPLUGIN_DIR=<plugin folder under the prefix> -DCHECK=<tests_designer_plugin>
#       -DFORM=<form.ui> -P check_plugin.cmake
cmake_minimum_required(VERSION 3.25)

if(DEFINED ENV{TMPDIR})
  set(temp $ENV{TMPDIR})
else()
  set(temp /tmp)
endif()
string(RANDOM LENGTH 8 tag)
set(prefix ${temp}/tavo-designer-${tag})

function(run step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${step} failed (${status}):\n${ARGN}\n--- stdout\n${out}\n--- stderr\n${err}\n"
                        "(the prefix ${prefix} is kept for a look)")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

foreach(component Runtime Designer)
  run("installing ${component}" ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix} --component ${component})
endforeach()
file(GLOB plugins ${prefix}/${PLUGIN_DIR}/*.so)
if(NOT plugins)
  message(FATAL_ERROR "no plugin installed in ${prefix}/${PLUGIN_DIR}")
endif()
run("reading the plugin" readelf -d ${plugins})
if(NOT out MATCHES "(RPATH|RUNPATH)[^\n]*\\[\\$ORIGIN[^]:]*\\]")
  message(FATAL_ERROR "the plugin finds the libraries other than relative to itself:\n${out}")
endif()

unset(ENV{QT_PLUGIN_PATH})
set(ENV{QT_QPA_PLATFORM} offscreen)
run("the plugin check" ${CHECK} ${prefix}/${PLUGIN_DIR} ${FORM})
file(REMOVE_RECURSE ${prefix})
