set(TARVELIN_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)

add_executable(tarvelin_win32_tests
    win32/resources_test.cpp
    common/expected_strings.cpp
    common/temp_files.cpp
    common/srecord_records.cpp
    common/text_file_test.cpp
    common/srecord_test.cpp
    common/serial_peer_checks.cpp
    win32/text_file_ansi_test.cpp
    win32/serial_test.cpp
    ${CMAKE_SOURCE_DIR}/app/ui_record.cpp
    $<TARGET_OBJECTS:tarvelin_resources>
)
target_link_libraries(tarvelin_win32_tests PRIVATE tarvelin_shell gtest_main)

# Drives the real tarvelin.exe through its windows, from a second process.
add_executable(tarvelin_driver driver/driver_win32.cpp)
target_compile_definitions(tarvelin_driver PRIVATE UNICODE _UNICODE)
target_link_options(tarvelin_driver PRIVATE -municode)
target_link_libraries(tarvelin_driver PRIVATE comctl32)

add_test(NAME win32_unit COMMAND ${TARVELIN_WINE_RUN} $<TARGET_FILE:tarvelin_win32_tests>)
set_tests_properties(win32_unit PROPERTIES
    ENVIRONMENT "TARVELIN_EXPECTED_STRINGS=${TARVELIN_TEST_DATA}/expected_strings.txt")

# The Win32 serial port against the virtual board, as an echo and silent.
set(TARVELIN_BOARD ${CMAKE_SOURCE_DIR}/build/native/tarvelin-board CACHE FILEPATH "the virtual board program")
foreach(mode echo silent)
    add_test(NAME win32_serial_${mode} COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/win32/run_with_board.py
        --board ${TARVELIN_BOARD} --mode ${mode}
        -- ${TARVELIN_WINE_RUN} $<TARGET_FILE:tarvelin_win32_tests> --gtest_filter=SerialBoard*.*_${mode})
endforeach()

# The shipped 32-bit program, read from outside (needs no Wine).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    add_test(NAME product_exe COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/gui/test_product_exe.py
        --exe $<TARGET_FILE:tarvelin> --cli-exe $<TARGET_FILE:tarvelin-cli> --expected ${TARVELIN_TEST_DATA}/expected_strings.txt)
    set_tests_properties(product_exe PROPERTIES LABELS product)
endif()

add_test(NAME gui_shell COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/gui/test_shell.py
    --exe $<TARGET_FILE:tarvelin> --driver $<TARGET_FILE:tarvelin_driver>)

# Whole updates against the virtual board of the native build.
foreach(group whole_update boot block loader firmware_malformed abort)
    add_test(NAME e2e_${group} COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/gui/test_update.py
        --exe $<TARGET_FILE:tarvelin> --driver $<TARGET_FILE:tarvelin_driver> --board ${TARVELIN_BOARD}
        -k ${group})
endforeach()

# The console program's Windows build: --check beside the native one, and an update.
set(TARVELIN_NATIVE_CLI ${CMAKE_SOURCE_DIR}/build/native/tarvelin-cli CACHE FILEPATH "the native console program")
add_test(NAME cli_wine COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tests/cli/test_cli_wine.py
    --exe $<TARGET_FILE:tarvelin-cli> --native-cli ${TARVELIN_NATIVE_CLI} --board ${TARVELIN_BOARD})
