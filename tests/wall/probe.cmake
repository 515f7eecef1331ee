# Builds one wall probe and checks the outcome it must have:
#   cmake -DBUILD_DIR=… -DPROBE=… -DHEADER=… -DEXPECT="sees"|"cannot see" -P probe.cmake
execute_process(
  COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${PROBE}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)

if(EXPECT STREQUAL "sees")
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${HEADER} should compile through ${PROBE}, but:\n${output}")
  endif()
else()
  # Only "not found" counts: any other error would prove nothing.
  string(FIND "${output}" "${HEADER}: No such file or directory" not_found)
  if(result EQUAL 0 OR not_found EQUAL -1)
    message(FATAL_ERROR "${HEADER} must not be found through ${PROBE}, but:\n${output}")
  endif()
endif()
message(STATUS "${PROBE}: ${EXPECT} ${HEADER}")
