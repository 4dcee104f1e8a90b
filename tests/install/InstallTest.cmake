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

# Without a platform the installed library runs and reports its failures.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=HVC_HOME --unset=HVC_UNITS_IOR
                        --unset=HVC_USER_IOR --unset=HVC_UAS_IOR --unset=ORBInitRef
                        ${WORK_DIR}/build/resolve_services
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(expected "units server: Error in getServer; cannot resolve 'EpUnitOfMeasureService::Server' service.
user profile: BootstrapIOR : HVC_HOME is not set
")
if(NOT rc EQUAL 1 OR NOT out STREQUAL expected)
  message(FATAL_ERROR "example exited ${rc} with:\n${out}\n${err}")
endif()
