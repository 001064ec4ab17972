# Windows programs built with MinGW-w64 need the compiler's runtime DLLs (the
# C++ library, the unwinder and the thread library) beside them, as they need
# the project's own: both land in the programs' folder, and are installed
# beside the project's DLLs. One copy of the C++ runtime is shared by all the
# DLLs, so exceptions, strings and streams pass between them as in one program.
set(tavo_mingw_runtime "")
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
    message(FATAL_ERROR "the MinGW runtime ${dll} was not found beside ${CMAKE_CXX_COMPILER}")
  endif()
  file(REAL_PATH "${found}" found)
  list(APPEND tavo_mingw_runtime "${found}")
endforeach()
file(COPY ${tavo_mingw_runtime} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
include(GNUInstallDirs)
install(FILES ${tavo_mingw_runtime} DESTINATION ${CMAKE_INSTALL_BINDIR})
