# Windows build (MinGW-w64): relinka.exe, the EchoLink stand-in, and the tests that run under Wine.
enable_language(RC)

add_library(relinka_win STATIC
    src/app/amigos_window_win.cpp
    src/echolink/closing_sink_win.cpp
    src/echolink/com_echolink_win.cpp
    src/win32/animation_frames_win.cpp
    src/win32/animation_win.cpp
    src/win32/fonts_win.cpp
    src/win32/form_win.cpp
    src/win32/modal_form_win.cpp
    src/win32/painting_win.cpp
    src/win32/window_win.cpp
    src/win32/windows_desktop_win.cpp
    src/windows/ajuda_win.cpp
    src/windows/sobre_auto_win.cpp
)
target_compile_definitions(relinka_win PUBLIC UNICODE _UNICODE)
target_compile_options(relinka_win PRIVATE -Wall -Wextra -Werror)
target_include_directories(relinka_win PUBLIC assets)
target_link_libraries(relinka_win PUBLIC relinka_core ole32 oleaut32 uuid gdiplus shlwapi shell32 gdi32 user32)

# The manifest names the build's own architecture.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(MANIFEST_ARCHITECTURE x86)
else()
    set(MANIFEST_ARCHITECTURE amd64)
endif()
configure_file(assets/relinka.manifest.in generated/relinka.manifest @ONLY)
target_include_directories(relinka_win PUBLIC ${CMAKE_BINARY_DIR}/generated)

# Pictures and manifest; also linked into the tests that build the windows in-process.
set(relinka_resources ${CMAKE_SOURCE_DIR}/assets/relinka.rc)
file(GLOB relinka_pictures ${CMAKE_SOURCE_DIR}/assets/*.ico ${CMAKE_SOURCE_DIR}/assets/*.gif
     ${CMAKE_SOURCE_DIR}/assets/*.bmp)
set_source_files_properties(${relinka_resources} PROPERTIES
    OBJECT_DEPENDS "${relinka_pictures};${CMAKE_BINARY_DIR}/generated/relinka.manifest")

add_executable(relinka WIN32 src/app/main_win.cpp ${relinka_resources})
target_link_libraries(relinka PRIVATE relinka_win)
target_link_options(relinka PRIVATE -municode -mwindows -static -s)

# The package operators download (scripts/package): relinka.exe and the guide, LEIAME.txt, made from
# LEIAME.md as Notepad shows it.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/LEIAME.txt
    COMMAND python3 ${CMAKE_SOURCE_DIR}/scripts/leiame_txt.py ${CMAKE_SOURCE_DIR}/LEIAME.md
            ${CMAKE_BINARY_DIR}/LEIAME.txt
    DEPENDS ${CMAKE_SOURCE_DIR}/LEIAME.md ${CMAKE_SOURCE_DIR}/scripts/leiame_txt.py
    VERBATIM)
add_custom_target(leiame ALL DEPENDS ${CMAKE_BINARY_DIR}/LEIAME.txt)
install(TARGETS relinka RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/LEIAME.txt DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(relinka_package relinka-${PROJECT_VERSION}-windows-${MANIFEST_ARCHITECTURE})
set(CPACK_PACKAGE_FILE_NAME ${relinka_package})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)

if(BUILD_TESTING)
    # The EchoLink stand-in, for the tests and the demo.
    add_subdirectory(tools/echolink-standin)

    # Tests that run under Wine, one program each; those that drive the stand-in take its lock.
    add_library(wine_support STATIC tests/win/wine_support.cpp tests/win/relinka_process.cpp tests/win/window_checks.cpp
                tests/win/process_counters.cpp)
    target_link_libraries(wine_support PUBLIC relinka_win standin_control gdiplus gtest psapi)

    function(add_wine_test name)
        add_executable(${name} tests/win/${name}.cpp ${relinka_resources})
        target_link_libraries(${name} PRIVATE wine_support test_fakes gtest_main)
        target_link_options(${name} PRIVATE -static)
        add_test(NAME ${name} COMMAND ${name})
        if(${name} IN_LIST standin_tests)
            set_tests_properties(${name} PROPERTIES RESOURCE_LOCK echolink-standin FIXTURES_REQUIRED standin)
        endif()
    endfunction()

    # The stand-in registered in the prefix, for the tests that talk to it.
    add_test(NAME register-standin COMMAND echolink-standin /regserver)
    set_tests_properties(register-standin PROPERTIES FIXTURES_SETUP standin)
    set(standin_tests echolink_binding_test end_to_end_test)

    add_wine_test(form_base_test)
    add_wine_test(amigos_window_test)
    add_wine_test(friends_files_test)
    add_wine_test(icon_sizes_test)
    add_wine_test(auxiliary_windows_test)
    target_sources(auxiliary_windows_test PRIVATE tests/win/damaged_picture.rc)
    add_wine_test(echolink_binding_test)
    add_wine_test(echolink_declaration_test)
    add_wine_test(end_to_end_test)
    # The main window at 144 dpi, in a prefix of its own set to that resolution (scripts/lib.sh ends
    # only the prefix it made itself, so this one's server is ended here).
    set(high_dpi_prefix ${CMAKE_BINARY_DIR}/wineprefix-144dpi)
    add_test(NAME make-high-dpi-prefix
             COMMAND bash -c "source '${CMAKE_SOURCE_DIR}/scripts/lib.sh' && make_wine_prefix '${high_dpi_prefix}' 144 1280x1024")
    add_test(NAME end-high-dpi-prefix COMMAND sh -c "WINEPREFIX='${high_dpi_prefix}' wineserver -k || true")
    set_tests_properties(make-high-dpi-prefix PROPERTIES FIXTURES_SETUP high_dpi)
    set_tests_properties(end-high-dpi-prefix PROPERTIES FIXTURES_CLEANUP high_dpi)
    add_wine_test(high_dpi_test)
    set_tests_properties(high_dpi_test PROPERTIES ENVIRONMENT WINEPREFIX=${high_dpi_prefix} FIXTURES_REQUIRED high_dpi)
    add_wine_test(program_file_test)
    target_link_libraries(program_file_test PRIVATE version)
    add_dependencies(program_file_test relinka echolink-standin)

    # The package as scripts/package makes it, in a folder of the test's own.
    add_test(NAME package_test
             COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/package/package_test.py ${CMAKE_BINARY_DIR}
                     ${relinka_package}.zip)
    add_dependencies(end_to_end_test relinka echolink-standin)

    # Measurements under Wine, run by bench/wine_benches (not tests): start-up to the first paint and
    # the working set against the floor, and where the start-up goes; one supervision tick against the
    # stand-in with eight connected stations; the soak of months of frames, ticks and openings; the
    # program's CPU time a minute, shown and minimized.
    foreach(bench startup_bench startup_breakdown tick_bench soak_bench cpu_bench)
        add_executable(${bench} bench/${bench}.cpp ${relinka_resources})
        target_link_libraries(${bench} PRIVATE wine_support psapi)
        target_link_options(${bench} PRIVATE -static -municode)
    endforeach()
    add_executable(startup_floor WIN32 bench/startup_floor.cpp)
    target_include_directories(startup_floor PRIVATE src)
    target_link_libraries(startup_floor PRIVATE ole32 uuid)
    target_link_options(startup_floor PRIVATE -static -municode -mwindows)
endif()

# scripts/test hands over the native build's tests, so one ctest run covers both builds.
set(NATIVE_TESTS "" CACHE FILEPATH "CTestTestfile.cmake of the native build, run with these tests")
if(NATIVE_TESTS)
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${NATIVE_TESTS}")
endif()
