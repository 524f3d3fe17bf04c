add_executable(tarvelin_native_tests
    native/command_line_test.cpp
    native/resource_strings_test.cpp
    native/format_text_test.cpp
    common/expected_strings.cpp
)
target_link_libraries(tarvelin_native_tests PRIVATE tarvelin_core gtest_main)
target_compile_definitions(tarvelin_native_tests PRIVATE
    TARVELIN_TEST_DATA="${TARVELIN_TEST_DATA}")
add_test(NAME native_unit COMMAND tarvelin_native_tests)
