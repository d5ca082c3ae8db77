# Native Linux build: the portable core's unit tests under AddressSanitizer and UBSan.
set(sanitizers -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
target_compile_options(relinka_core PRIVATE ${sanitizers})
target_link_options(relinka_core PUBLIC ${sanitizers})

add_executable(core_tests
    tests/core/startup_test.cpp
    tests/core/supervision_test.cpp
    tests/core/disconnection_test.cpp
    tests/core/friends_test.cpp
)
target_compile_options(core_tests PRIVATE ${sanitizers} -Wall -Wextra)
target_compile_options(test_fakes PRIVATE ${sanitizers})
target_link_libraries(core_tests PRIVATE test_fakes gtest_main)
add_test(NAME core_tests COMMAND core_tests)
