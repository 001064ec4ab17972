# What the install checks share: a fresh work folder under TMPDIR (or /tmp),
# named <stem>-<random>, kept when a check fails so that it can be looked at,
# and run(), which stops the check with a step's command and output when the
# step fails and otherwise leaves its output in `out`.
# include(work_folder.cmake) after setting work_stem.
if(DEFINED ENV{TMPDIR})
  set(temp $ENV{TMPDIR})
else()
  set(temp /tmp)
endif()
string(RANDOM LENGTH 8 tag)
set(work ${temp}/${work_stem}-${tag})
file(MAKE_DIRECTORY ${work})

function(fail what)
  message(FATAL_ERROR "${what}\n(the work folder ${work} is kept for a look)")
endfunction()

function(run step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    fail("${step} failed (${status}):\n${ARGN}\n--- stdout\n${out}\n--- stderr\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

# Copies the consumer project into the work folder, configures it against
# the Tavo package found under `prefix` (built as the build was: compiler,
# launcher, sanitizers), checks that it found Tavo there and builds it.
# Further arguments go to the configure step. Needs SOURCE, CXX, GENERATOR,
# LAUNCHER and SANITIZE as the checks are given them.
function(build_consumer prefix)
  set(flags "")
  if(SANITIZE)
    set(flags "-fsanitize=address,undefined")
  endif()
  set(launcher "")
  if(LAUNCHER)
    set(launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
  endif()
  file(COPY ${SOURCE}/tests/consumer/CMakeLists.txt ${SOURCE}/tests/consumer/main.cpp DESTINATION ${work}/consumer)
  run("configuring the consumer"
      ${CMAKE_COMMAND} -S ${work}/consumer -B ${work}/consumer-build -G ${GENERATOR}
      -DCMAKE_CXX_COMPILER=${CXX} ${launcher} -DCMAKE_BUILD_TYPE=Release
      -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
      -DCMAKE_CXX_FLAGS=${flags} -DCMAKE_EXE_LINKER_FLAGS=${flags} ${ARGN})
  file(STRINGS ${work}/consumer-build/CMakeCache.txt found REGEX "^Tavo_DIR:")
  if(NOT found MATCHES "=${prefix}/")
    fail("the consumer found Tavo elsewhere than in ${prefix}: ${found}")
  endif()
  run("building the consumer" ${CMAKE_COMMAND} --build ${work}/consumer-build)
endfunction()
