# One fuzz campaign as a test: runs FUZZER with OPTIONS for RUNS inputs from
# seed 1 over the committed CORPUS. New inputs go to a fresh scratch folder
# under WORK (never into the committed corpus); a crash input is saved there
# as crash-* and the test fails with the fuzzer's report.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/new)
execute_process(
  COMMAND ${FUZZER} -seed=1 -runs=${RUNS} ${OPTIONS} -print_final_stats=1
          -artifact_prefix=${WORK}/ ${WORK}/new ${CORPUS}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}); the input is in ${WORK}")
endif()
