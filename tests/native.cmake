add_executable(tarvelin_native_tests
    native/command_line_test.cpp
    native/resource_strings_test.cpp
    native/format_text_test.cpp
    common/expected_strings.cpp
    common/temp_files.cpp
    common/srecord_records.cpp
    common/text_file_test.cpp
    common/srecord_test.cpp
    common/serial_peer_checks.cpp
    native/board_fixture.cpp
    native/serial_test.cpp
    native/update_test.cpp
    native/cli_test.cpp
    ${CMAKE_SOURCE_DIR}/cli/options.cpp
    ${CMAKE_SOURCE_DIR}/cli/progress_line.cpp
    ${CMAKE_SOURCE_DIR}/cli/resource_format.cpp
    ${CMAKE_SOURCE_DIR}/cli/utf8.cpp
    ${CMAKE_SOURCE_DIR}/cli/block_ranges.cpp
)
target_link_libraries(tarvelin_native_tests PRIVATE tarvelin_core tarvelin_board gtest_main)
target_compile_definitions(tarvelin_native_tests PRIVATE
    TARVELIN_TEST_DATA="${TARVELIN_TEST_DATA}")
include(GoogleTest)
# One test each, so that the slow ones (a silent board is waited for) run side by side.
gtest_discover_tests(tarvelin_native_tests DISCOVERY_TIMEOUT 60)

add_executable(load_image tools/load_image.cpp)
target_link_libraries(load_image PRIVATE tarvelin_core)
add_test(NAME srecord_oracle COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/image/test_srecord_oracle.py
    --loader $<TARGET_FILE:load_image>)

# The console program end to end, and on a terminal (tmux).
foreach(suite cli terminal)  # cli_cli, cli_terminal
    add_test(NAME cli_${suite} COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/cli/test_${suite}.py
        --cli $<TARGET_FILE:tarvelin-cli> --board $<TARGET_FILE:tarvelin-board>)
endforeach()

if(TARVELIN_FUZZ)
    add_executable(srecord_fuzzer fuzz/srecord_fuzzer.cpp)
    target_compile_options(srecord_fuzzer PRIVATE -fsanitize=fuzzer)
    target_link_options(srecord_fuzzer PRIVATE -fsanitize=fuzzer)
    target_link_libraries(srecord_fuzzer PRIVATE tarvelin_core)
    # A bounded run: a fresh copy of the seeds, about 30 seconds.
    add_test(NAME srecord_fuzz COMMAND ${CMAKE_COMMAND}
        -DFUZZER=$<TARGET_FILE:srecord_fuzzer> -DSEEDS=${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus
        -DWORK=${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus -DSECONDS=30
        -P ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/run_fuzzer.cmake)
endif()
