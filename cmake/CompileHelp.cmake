# Compiles the help project into help.chm with chmcmd, run as a script at build time:
#   cmake -DCHMCMD=<chmcmd> -DPROJECT=<.hhp> -DOUTPUT=<folder>/help.chm -P CompileHelp.cmake
# chmcmd writes the project's "Compiled file" into the current folder and reports missing pages,
# broken links and other faults only as warnings with a zero exit code; here every warning and
# error fails the build, and no stale help.chm survives a failed compile.
#
# The same pages give the same help.chm: chmcmd writes the time of day of the compile into the
# file's header and into its #SYSTEM file (both stored uncompressed), which are set to 0 here, and
# a value that follows where memory lies into its keyword map, which is stable with address-space
# randomisation off (setarch -R, where the system allows it).
get_filename_component(out_dir "${OUTPUT}" DIRECTORY)
file(REMOVE "${OUTPUT}")
set(fixed_layout)
find_program(SETARCH setarch)
if(SETARCH)
    execute_process(COMMAND "${SETARCH}" -R true RESULT_VARIABLE setarch_result OUTPUT_QUIET ERROR_QUIET)
    if(setarch_result EQUAL 0)
        set(fixed_layout "${SETARCH}" -R)
    endif()
endif()
execute_process(
    COMMAND ${fixed_layout} "${CHMCMD}" "${PROJECT}"
    WORKING_DIRECTORY "${out_dir}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE errors)
string(REGEX MATCHALL "(^|\n)[^\n]*([Ww]arning|[Ee]rror|[Ee]xception)[^\n]*" problems "${output}\n${errors}")
if(NOT result EQUAL 0 OR problems OR NOT EXISTS "${OUTPUT}")
    file(REMOVE "${OUTPUT}")
    message(FATAL_ERROR "chmcmd failed to compile ${PROJECT} (exit ${result}):\n${output}\n${errors}")
endif()

# The header's time stamp (4 bytes at offset 16), then #SYSTEM's: its version 3 is followed by the
# entry of code 10 (the time stamp), 4 bytes long.
function(zero_bytes offset)
    execute_process(COMMAND dd if=/dev/zero "of=${OUTPUT}" bs=1 seek=${offset} count=4 conv=notrunc
                    RESULT_VARIABLE zeroed OUTPUT_QUIET ERROR_QUIET)
    if(NOT zeroed EQUAL 0)
        file(REMOVE "${OUTPUT}")
        message(FATAL_ERROR "could not clear the time stamp at ${offset} in ${OUTPUT}")
    endif()
endfunction()
file(READ "${OUTPUT}" head LIMIT 4 HEX)
if(NOT head STREQUAL "49545346") # "ITSF"
    file(REMOVE "${OUTPUT}")
    message(FATAL_ERROR "${OUTPUT} is not a compiled help file")
endif()
zero_bytes(16)
file(READ "${OUTPUT}" content HEX)
string(FIND "${content}" "030000000a000400" system_at)
math(EXPR odd "${system_at} % 2")
if(system_at LESS 0 OR odd)
    file(REMOVE "${OUTPUT}")
    message(FATAL_ERROR "no #SYSTEM time stamp found in ${OUTPUT}")
endif()
math(EXPR stamp_at "${system_at} / 2 + 8")
zero_bytes(${stamp_at})
