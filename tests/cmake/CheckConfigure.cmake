# cmake -P CheckConfigure.cmake: configures the layer-check project with
# CASE in a fresh BINARY_DIR. With EXPECT empty the configuration must
# succeed; otherwise it must fail with a message matching EXPECT.
file(REMOVE_RECURSE "${BINARY_DIR}")
execute_process(
    COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${BINARY_DIR}" -G "${GENERATOR}" "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}"
        "-DKESTRA_SOURCE_DIR=${KESTRA_SOURCE_DIR}" "-DKESTRA_LAYERS_CASE=${CASE}"
    RESULT_VARIABLE rc
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err)
# CMake wraps long messages: compare them as one line.
string(REGEX REPLACE "[ \n]+" " " err "${err}")
if(EXPECT STREQUAL "")
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "case '${CASE}' should configure, but:\n${err}")
    endif()
elseif(rc EQUAL 0)
    message(FATAL_ERROR "case '${CASE}' should be refused with \"${EXPECT}\", but it configures")
elseif(NOT err MATCHES "${EXPECT}")
    message(FATAL_ERROR "case '${CASE}' is refused, but not with \"${EXPECT}\":\n${err}")
endif()
