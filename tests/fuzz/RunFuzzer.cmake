# Run by CTest (see tests/CMakeLists.txt) as cmake -P with:
#   STEP=build                            configure and build this folder's project with clang
#   STEP=FuzzBitmapReader|FuzzJpegLoader  run that target for FUZZ_SECONDS on its seed pictures
# and FUZZ_SOURCE, FUZZ_BINARY, CLANGXX, GENERATOR, FUZZ_SECONDS. A crash, an out-of-bounds access, a hang or a leak
# found by the target fails the step; the input that caused it is kept beside the build as crash-*, timeout-* ...
if(NOT CLANGXX)
    message(FATAL_ERROR "clang++ is missing: install the packages of scripts/packages.txt")
endif()

if(STEP STREQUAL "build")
    execute_process(COMMAND ${CMAKE_COMMAND} -S ${FUZZ_SOURCE} -B ${FUZZ_BINARY} -G ${GENERATOR}
                            -DCMAKE_CXX_COMPILER=${CLANGXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo
                    RESULT_VARIABLE result)
    if(result)
        message(FATAL_ERROR "configuring the fuzz targets failed")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${FUZZ_BINARY} RESULT_VARIABLE result)
    if(result)
        message(FATAL_ERROR "building the fuzz targets failed")
    endif()
    return()
endif()

if(STEP STREQUAL "FuzzBitmapReader")
    set(seeds ${FUZZ_SOURCE}/corpus/bitmap)
elseif(STEP STREQUAL "FuzzJpegLoader")
    set(seeds ${FUZZ_SOURCE}/corpus/jpeg)
else()
    message(FATAL_ERROR "unknown step ${STEP}")
endif()
# New inputs go to a corpus of the build folder; the committed seeds stay as they are.
set(corpus ${FUZZ_BINARY}/corpus-${STEP})
file(MAKE_DIRECTORY ${corpus})
execute_process(COMMAND ${FUZZ_BINARY}/${STEP} -max_total_time=${FUZZ_SECONDS} -timeout=25 -rss_limit_mb=2048
                        -print_final_stats=1 -artifact_prefix=${FUZZ_BINARY}/${STEP}- ${corpus} ${seeds}
                RESULT_VARIABLE result)
if(result)
    message(FATAL_ERROR "${STEP} found a fault; the input is in ${FUZZ_BINARY} as ${STEP}-crash-* (or timeout-*, "
                        "leak-*, oom-*): run ${FUZZ_BINARY}/${STEP} on it to see the fault")
endif()
