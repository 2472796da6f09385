# Sends every call of a list through fmhost and compares its answers, byte for byte,
# with the answers the module gave when the list was written:
#   cmake -DWINE_EXEC=... -DPREFIX=... -DFMHOST=... -DCALLS=... -DEXPECTED=... -DOUTPUT=... -P run_calls.cmake
# The list makes and removes C:\kvreg; what an interrupted run left there goes first. It
# leaves the clipboard out: other tests of the same prefix leave pictures on it. The mouse
# pointer is put at one point of the window before each call, so that the answers of
# KImg-GetMousePos are the same on every run.
file(REMOVE_RECURSE "${PREFIX}/wine/drive_c/kvreg")
execute_process(
    COMMAND "${WINE_EXEC}" --prefix "${PREFIX}" "${FMHOST}" --mouse 150,80
    INPUT_FILE "${CALLS}"
    OUTPUT_FILE "${OUTPUT}"
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "fmhost ended with ${status}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUTPUT}" "${EXPECTED}" RESULT_VARIABLE different)
if(different)
    execute_process(COMMAND diff "${EXPECTED}" "${OUTPUT}")
    message(FATAL_ERROR "the answers in ${OUTPUT} differ from ${EXPECTED}")
endif()
