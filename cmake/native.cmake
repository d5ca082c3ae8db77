# Native Linux build: the portable libraries' unit tests under AddressSanitizer and UBSan.

add_executable(core_tests
    tests/core/startup_test.cpp
    tests/core/supervision_test.cpp
    tests/core/disconnection_test.cpp
    tests/core/echolink_processes_test.cpp
    tests/core/friends_test.cpp
    tests/core/windows_test.cpp
    tests/core/contrast_test.cpp
    tests/core/restart_test.cpp
    tests/core/busy_and_clicks_test.cpp
    tests/core/history_test.cpp
)
target_compile_options(core_tests PRIVATE ${sanitizers} -Wall -Wextra)
target_compile_options(test_fakes PRIVATE ${sanitizers})
target_link_libraries(core_tests PRIVATE test_fakes winlib gtest_main)
add_test(NAME core_tests COMMAND core_tests)
# The same tests with a History watching every rig's handlers: they must do exactly the same.
add_test(NAME core_tests_watched COMMAND core_tests --gtest_filter=-History*)
set_tests_properties(core_tests_watched PROPERTIES ENVIRONMENT RELINKA_TEST_HISTORY=1)

# The friends-file reader under libFuzzer, for a bounded time on each run (clang only). New inputs go
# to a corpus in the build tree; the seeds in tests/fuzz/corpus are only read.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    set(fuzzing -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_executable(friends_reader_fuzz tests/fuzz/friends_reader_fuzz.cpp src/friends/friends_file.cpp)
    target_include_directories(friends_reader_fuzz PRIVATE src)
    target_compile_options(friends_reader_fuzz PRIVATE ${fuzzing} -Wall -Wextra)
    target_link_options(friends_reader_fuzz PRIVATE ${fuzzing})
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz/corpus ${CMAKE_BINARY_DIR}/fuzz/crashes)
    add_test(NAME friends_reader_fuzz
             COMMAND friends_reader_fuzz -max_total_time=20 -max_len=4096 -timeout=10
                     -artifact_prefix=${CMAKE_BINARY_DIR}/fuzz/crashes/
                     ${CMAKE_BINARY_DIR}/fuzz/corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus)
    # The history file's tail reader, the same way.
    add_executable(history_tail_fuzz tests/fuzz/history_tail_fuzz.cpp src/history/event.cpp
                   src/history/history_line.cpp src/history/local_time.cpp src/history/utf8.cpp)
    target_include_directories(history_tail_fuzz PRIVATE src)
    target_compile_options(history_tail_fuzz PRIVATE ${fuzzing} -Wall -Wextra)
    target_link_options(history_tail_fuzz PRIVATE ${fuzzing})
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz/history_corpus)
    add_test(NAME history_tail_fuzz
             COMMAND history_tail_fuzz -max_total_time=20 -max_len=4096 -timeout=10
                     -artifact_prefix=${CMAKE_BINARY_DIR}/fuzz/crashes/
                     ${CMAKE_BINARY_DIR}/fuzz/history_corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/history_corpus)
endif()

# The build-and-run scripts: failed builds fail them; only the Wine prefix they made is ever ended.
add_test(NAME scripts_test COMMAND bash ${CMAKE_SOURCE_DIR}/tests/scripts/lib_test.sh)
# The folders' include rules on trees made to break them, and their drawing in docs/.
add_test(NAME include_rules_test
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/scripts/include_rules_test.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})

# Every C++ file as clang-format (.clang-format) would write it.
add_test(NAME format_check
         COMMAND sh -c "find src tests tools bench -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run --Werror"
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})

# The operator's guide: every caption and message it quotes is the program's own, every picture it
# shows exists, and its package text (LEIAME.txt) comes out as Notepad needs it.
add_test(NAME guide_test COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/guide/guide_test.py ${CMAKE_SOURCE_DIR})
