# Runs an example program and checks that it wrote a non-empty WAV file.
file(REMOVE ${OUT})
execute_process(COMMAND ${PROGRAM} ${OUT} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "example failed (${rc}): ${out}${err}")
endif()
file(SIZE ${OUT} size)
# 6001 float samples and a header.
if(size LESS 24000)
  message(FATAL_ERROR "example wrote ${size} bytes only")
endif()
message(STATUS "${out}")
