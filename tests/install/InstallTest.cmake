# cmake -P script: install, configure and build the examples, run one.
file(REMOVE_RECURSE ${WORK_DIR})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} -S ${EXAMPLES_DIR} -B ${WORK_DIR}/build
    -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix -DCMAKE_BUILD_TYPE=Release
    "-DCMAKE_CXX_FLAGS=${EXAMPLE_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${EXAMPLE_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)

# The shared library exports the public classes only, under a versioned name.
file(GLOB_RECURSE shared ${WORK_DIR}/prefix/*/libhvc_util.so)
list(GET shared 0 shared)
run(nm -D --defined-only -C ${shared})
string(REGEX MATCHALL "hvc_util::(Environment|Orb|Diagnostics|PasswordSeal|ServiceResolver|SodiumText)[^\n]*"
       internals "${last_output}")
if(internals)
  message(FATAL_ERROR "the shared library exports internals:\n${internals}")
endif()
string(REGEX REPLACE "[^\n]*hvc_util::[^\n]*\n" "" foreign "${last_output}")
string(REGEX REPLACE "[^\n]* A HVC_UTIL_0\n" "" foreign "${foreign}")
if(NOT foreign STREQUAL "")
  message(FATAL_ERROR "the shared library exports more than hvc_util:\n${foreign}")
endif()
run(readelf -d ${shared})
if(NOT last_output MATCHES "SONAME\\)[ ]+Library soname: \\[libhvc_util\\.so\\.[0-9]+\\]")
  message(FATAL_ERROR "no versioned SONAME:\n${last_output}")
endif()

# Without a platform (the test's environment names none) the installed
# library runs and reports its failures.
execute_process(COMMAND ${WORK_DIR}/build/resolve_services
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(expected "units server: Error in getServer; cannot resolve 'EpUnitOfMeasureService::Server' service.
user profile: BootstrapIOR : HVC_HOME is not set
")
if(NOT rc EQUAL 1 OR NOT out STREQUAL expected)
  message(FATAL_ERROR "example exited ${rc} with:\n${out}\n${err}")
endif()
