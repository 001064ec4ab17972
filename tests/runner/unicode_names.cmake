# A script and a form whose names go beyond ASCII, as people's folders and
# files do: the runner must find both by the names on its command line.
# Call: cmake -DRUNNER=<tavo-run> -DSOURCE=<source folder> -DWORK=<folder>
#             [-DEMULATOR=<wine>] -P unicode_names.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(script "${WORK}/Prüfung – Größe.tavo")
set(form "${WORK}/Formular Größe.frm")
file(COPY_FILE ${SOURCE}/tests/runner/checked/form_on_command_line.tavo ${script})
file(COPY_FILE ${SOURCE}/tests/runner/data/named_form.frm ${form})

execute_process(COMMAND ${EMULATOR} ${RUNNER} --headless --script ${script} ${form}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "show frmOrders modeless")
  message(FATAL_ERROR "exit ${status}\nstdout:\n${out}\nstderr:\n${err}")
endif()
