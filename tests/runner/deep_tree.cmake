# A chain 32,767 levels deep, opened and closed by the tree controller in a
# real window (drawn off the screen), and then the run ends and the tree goes:
# deeper than Qt's view and tree items go on a main thread's default stack.
# cmake -DRUNNER=<tavo-run> -DWORK=<folder> -P deep_tree.cmake
set(script "${WORK}/deep_tree.tavo")
string(CONCAT text "new SSActiveTreeView.SSTree Deep 0 0 4000 3000\n"
                   "new TavoSSAddOn.TavoSSTreeController Strip\n"
                   "set Strip.mySSTree ref:Deep\n"
                   "node Deep add n0 \"0\"\n")
file(WRITE "${script}" "${text}")
# Written a thousand lines at a time: one growing text would be slow.
foreach(block RANGE 0 32)
  set(text "")
  foreach(j RANGE 0 999)
    math(EXPR i "${block} * 1000 + ${j}")
    if(i GREATER 0 AND i LESS 32767)
      math(EXPR parent "${i} - 1")
      string(APPEND text "node Deep add n${i} n${parent} \"${i}\"\n")
    endif()
  endforeach()
  file(APPEND "${script}" "${text}")
endforeach()
string(CONCAT text "select Deep n0\n"
                   "click Strip.img(1)\n"
                   "advance 100\n"
                   "expect Deep.node(n32765).Expanded True\n"
                   "click Strip.img(2)\n"
                   "advance 100\n"
                   "expect Deep.node(n0).Expanded False\n")
file(APPEND "${script}" "${text}")
execute_process(COMMAND "${RUNNER}" --script "${script}" RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  string(LENGTH "${out}" length)
  if(length GREATER 2000)
    math(EXPR from "${length} - 2000")
    string(SUBSTRING "${out}" ${from} -1 out)
  endif()
  message(FATAL_ERROR "tavo-run ended with status ${status}\n...${out}\n${err}")
endif()
