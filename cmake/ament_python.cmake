# ament's CMake runs Python helpers that import `ament_package`. A python3 found
# first on PATH (a pyenv one, say) may not have it, so pick an interpreter that
# does before any ament package is searched for. An interpreter given on the
# command line is left alone; when none is found, Python3_EXECUTABLE stays
# undefined.

if(DEFINED Python3_EXECUTABLE OR DEFINED PYTHON_EXECUTABLE)
  return()
endif()

find_program(_zorv_path_python3 NAMES python3)
set(_zorv_python3_candidates ${_zorv_path_python3} /usr/bin/python3)
# Only the interpreter chosen below is kept in the cache.
unset(_zorv_path_python3 CACHE)

foreach(_zorv_candidate IN LISTS _zorv_python3_candidates)
  if(NOT EXISTS "${_zorv_candidate}")
    continue()
  endif()
  execute_process(
    COMMAND "${_zorv_candidate}" -c "import ament_package"
    RESULT_VARIABLE _zorv_import_result
    OUTPUT_QUIET ERROR_QUIET)
  if(_zorv_import_result EQUAL 0)
    set(Python3_EXECUTABLE "${_zorv_candidate}" CACHE FILEPATH
      "Python 3 interpreter that has the ament_package module")
    break()
  endif()
endforeach()
