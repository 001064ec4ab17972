# Runs one runner script and checks what its comment lines promise:
#   # exit: <n>        the exit status (0 when there is no such line)
#   # stdout: <line>   a line the runner prints; these lines must come in this order
#   # stderr: <line>   a line on standard error, likewise
#   # absent: <line>   a line the runner must not print at all
#   # form: <file>     a form file the runner loads before the script
# Call: cmake -DRUNNER=<tavo-run> -DSCRIPT=<file> [-DEMULATOR=<wine>] -P check_script.cmake
# (EMULATOR runs a cross-built runner; a Windows runner ends its lines in CR LF.)
cmake_minimum_required(VERSION 3.25)

file(STRINGS ${SCRIPT} form_lines REGEX "^# form: ")
list(TRANSFORM form_lines REPLACE "^# form: " "")
execute_process(COMMAND ${EMULATOR} ${RUNNER} --headless --script ${SCRIPT} ${form_lines}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)

# CMake lists split at ";" and group at brackets: take them out of both sides.
function(as_lines text var)
  string(REPLACE ";" "<sc>" text "${text}")
  string(REPLACE "[" "<lb>" text "${text}")
  string(REPLACE "]" "<rb>" text "${text}")
  string(REPLACE "\n" ";" text "${text}")
  set(${var} "${text}" PARENT_SCOPE)
endfunction()

string(REPLACE "\r\n" "\n" out "${out}")
string(REPLACE "\r\n" "\n" err "${err}")

file(READ ${SCRIPT} script)
as_lines("${script}" script_lines)
as_lines("${out}" out_lines)
set(all_out_lines "${out_lines}")
as_lines("${err}" err_lines)

set(want_exit 0)
set(failures "")
foreach(line IN LISTS script_lines)
  if(line MATCHES "^# exit: ([0-9]+)$")
    set(want_exit ${CMAKE_MATCH_1})
  elseif(line MATCHES "^# absent: (.*)$")
    list(FIND all_out_lines "${CMAKE_MATCH_1}" at)
    if(NOT at EQUAL -1)
      string(APPEND failures "printed, but must not be: ${CMAKE_MATCH_1}\n")
    endif()
  elseif(line MATCHES "^# (stdout|stderr): (.*)$")
    set(stream ${CMAKE_MATCH_1})
    set(want "${CMAKE_MATCH_2}")
    if(stream STREQUAL "stdout")
      list(FIND out_lines "${want}" at)
    else()
      list(FIND err_lines "${want}" at)
    endif()
    if(at EQUAL -1)
      string(APPEND failures "missing on ${stream} (in this order): ${want}\n")
    else()
      math(EXPR next "${at} + 1")
      if(stream STREQUAL "stdout")
        list(SUBLIST out_lines ${next} -1 out_lines)
      else()
        list(SUBLIST err_lines ${next} -1 err_lines)
      endif()
    endif()
  endif()
endforeach()

if(NOT status STREQUAL want_exit)
  string(APPEND failures "exit status ${status}, expected ${want_exit}\n")
endif()
if(failures)
  message(FATAL_ERROR "${SCRIPT}\n${failures}--- stdout\n${out}--- stderr\n${err}")
endif()
