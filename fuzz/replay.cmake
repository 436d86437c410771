# Runs a fuzz target once over every file of its corpus (no mutation).
file(GLOB inputs ${CORPUS}/*)
if(NOT inputs)
  return()
endif()
execute_process(COMMAND ${FUZZER} -runs=0 ${CORPUS} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "fuzz corpus replay failed: ${rc}")
endif()
