# Runs two press_trace programs and fails, showing the first differences, when
# their outputs are not the same byte for byte.
# cmake -DFIRST=<command> -DSECOND=<command> -DWORK=<dir> -P compare_traces.cmake
# FIRST and SECOND are lists (an emulator may come first).
foreach(side FIRST SECOND)
  execute_process(COMMAND ${${side}} OUTPUT_FILE ${WORK}/${side}.txt RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${${side}} failed: ${status}")
  endif()
endforeach()
file(STRINGS ${WORK}/FIRST.txt lines)
list(LENGTH lines count)
execute_process(COMMAND diff ${WORK}/FIRST.txt ${WORK}/SECOND.txt OUTPUT_VARIABLE differences RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR count EQUAL 0)
  string(SUBSTRING "${differences}" 0 4000 differences)
  message(FATAL_ERROR "the two traces differ (${count} lines):\n${differences}")
endif()
message(STATUS "${count} presses, the same in both")
