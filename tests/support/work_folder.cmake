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
