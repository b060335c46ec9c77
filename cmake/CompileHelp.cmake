# Compiles the help project into help.chm with chmcmd, run as a script at build time:
#   cmake -DCHMCMD=<chmcmd> -DPROJECT=<.hhp> -DOUTPUT=<folder>/help.chm -P CompileHelp.cmake
# chmcmd writes the project's "Compiled file" into the current folder and reports missing pages,
# broken links and other faults only as warnings with a zero exit code; here every warning and
# error fails the build, and no stale help.chm survives a failed compile.
get_filename_component(out_dir "${OUTPUT}" DIRECTORY)
file(REMOVE "${OUTPUT}")
execute_process(
    COMMAND "${CHMCMD}" "${PROJECT}"
    WORKING_DIRECTORY "${out_dir}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE errors)
string(REGEX MATCHALL "(^|\n)[^\n]*([Ww]arning|[Ee]rror|[Ee]xception)[^\n]*" problems "${output}\n${errors}")
if(NOT result EQUAL 0 OR problems OR NOT EXISTS "${OUTPUT}")
    file(REMOVE "${OUTPUT}")
    message(FATAL_ERROR "chmcmd failed to compile ${PROJECT} (exit ${result}):\n${output}\n${errors}")
endif()
