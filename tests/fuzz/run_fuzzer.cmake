# Runs a libFuzzer binary for SECONDS on a working copy of the SEEDS corpus.
file(REMOVE_RECURSE ${WORK})
file(COPY ${SEEDS}/ DESTINATION ${WORK})
execute_process(
    COMMAND ${FUZZER} -max_total_time=${SECONDS} -max_len=4096 -rss_limit_mb=1024 -print_final_stats=1 ${WORK}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "fuzzer exited with ${result}")
endif()
