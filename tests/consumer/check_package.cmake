# Installs the build into a fresh prefix and checks the package as an
# application developer meets it there:
#  - the installed CMake and pkg-config files name no source or build folder,
#    and no installed library or program has a run path that is not relative
#    to itself ($ORIGIN);
#  - the consumer project (a copy, outside both trees) configures against the
#    prefix alone, builds every installed header on its own and its program,
#    and the program runs (offscreen) and exits 0; nothing in its build names
#    the source or build folder;
#  - a one-file program built with pkg-config's flags for tavo-widgets runs.
# cmake -DSOURCE=<source> -DBUILD=<build> -DCXX=<compiler> -DGENERATOR=<generator>
#       [-DLAUNCHER=<compiler launcher>] [-DSANITIZE=ON] -P check_package.cmake
cmake_minimum_required(VERSION 3.25)

set(work_stem tavo-package)
include(${CMAKE_CURRENT_LIST_DIR}/../support/work_folder.cmake)
set(prefix ${work}/prefix)

# The source or build folder, as a pattern.
string(REGEX REPLACE "([][+.*()^$?|\\])" "\\\\\\1" source_pattern "${SOURCE}")
string(REGEX REPLACE "([][+.*()^$?|\\])" "\\\\\\1" build_pattern "${BUILD}")
set(tree_pattern "${source_pattern}|${build_pattern}")

# Fails on a file among those the globs find whose text holds the source or
# build folder.
function(check_no_tree_paths what)
  file(GLOB_RECURSE files LIST_DIRECTORIES false ${ARGN})
  foreach(file IN LISTS files)
    file(STRINGS ${file} lines REGEX "${tree_pattern}")
    if(lines)
      list(GET lines 0 line)
      fail("${what} ${file} names the source or build folder:\n${line}")
    endif()
  endforeach()
endfunction()

run("install" ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix})

check_no_tree_paths("the installed file" ${prefix}/*.cmake ${prefix}/*.pc)
file(GLOB elves LIST_DIRECTORIES false ${prefix}/bin/* ${prefix}/lib/*.so.*)
if(NOT elves)
  fail("nothing installed in ${prefix}/bin or ${prefix}/lib")
endif()
foreach(elf IN LISTS elves)
  execute_process(COMMAND readelf -d ${elf} OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    fail("readelf could not read ${elf}")
  endif()
  string(REGEX MATCHALL "(RPATH|RUNPATH)[^\n]*\\[[^]\n]*\\]" paths "${dynamic}")
  foreach(entry IN LISTS paths)
    string(REGEX REPLACE ".*\\[(.*)\\]" "\\1" path "${entry}")
    string(REPLACE ":" ";" path "${path}")
    foreach(dir IN LISTS path)
      if(NOT dir MATCHES "^\\$ORIGIN")
        fail("${elf} has the run path ${dir}: an installed file finds its libraries relative to itself")
      endif()
    endforeach()
  endforeach()
endforeach()

build_consumer(${prefix} -DCMAKE_EXPORT_COMPILE_COMMANDS=ON)
check_no_tree_paths("the consumer's build file"
                    ${work}/consumer-build/compile_commands.json ${work}/consumer-build/*.txt
                    ${work}/consumer-build/*.make ${work}/consumer-build/*.ninja)
set(ENV{QT_QPA_PLATFORM} offscreen)
run("the consumer" ${work}/consumer-build/tavo-consumer)

set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
execute_process(COMMAND pkg-config --cflags --libs tavo-widgets
                RESULT_VARIABLE status OUTPUT_VARIABLE pc_flags ERROR_VARIABLE err OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT status EQUAL 0)
  fail("pkg-config does not know tavo-widgets:\n${err}")
endif()
if(pc_flags MATCHES "${tree_pattern}")
  fail("pkg-config's flags for tavo-widgets name the source or build folder: ${pc_flags}")
endif()
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
set(flags "")
if(SANITIZE)
  set(flags -fsanitize=address,undefined)
endif()
run("building with pkg-config's flags"
    ${CXX} -std=c++20 -fPIC ${flags} ${SOURCE}/tests/consumer/pkg_config_check.cpp ${pc_flags}
    -Wl,-rpath,${prefix}/lib -o ${work}/pkg_config_check)
run("the pkg-config program" ${work}/pkg_config_check)

file(REMOVE_RECURSE ${work})
