# Windows build (MinGW-w64): relinka.exe, the EchoLink stand-in, and the tests that run under Wine.
enable_language(RC)

# The manifest and the installer's stub name the build's own architecture.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(MANIFEST_ARCHITECTURE x86)
    set(INSTALLER_STUB x86-unicode)
    set(WINE_BITS 32)
else()
    set(MANIFEST_ARCHITECTURE amd64)
    set(INSTALLER_STUB amd64-unicode)
    set(WINE_BITS 64)
endif()
configure_file(assets/relinka.manifest.in generated/relinka.manifest @ONLY)

# Pictures and manifest; also linked into the tests that build the windows in-process.
set(relinka_resources ${CMAKE_SOURCE_DIR}/assets/relinka.rc)
file(GLOB relinka_pictures ${CMAKE_SOURCE_DIR}/assets/*.ico ${CMAKE_SOURCE_DIR}/assets/*.gif
     ${CMAKE_SOURCE_DIR}/assets/*.bmp)
set_source_files_properties(${relinka_resources} PROPERTIES
    OBJECT_DEPENDS "${relinka_pictures};${CMAKE_SOURCE_DIR}/assets/pictures.rc;${CMAKE_BINARY_DIR}/generated/relinka.manifest")

add_executable(relinka WIN32 src/app/main_win.cpp ${relinka_resources})
target_link_libraries(relinka PRIVATE app_win)
# No time stamp in the PE header, so that two builds of the same sources are the same bytes; Windows
# does not look at it (nor at the checksum of a program, which the linker sets right).
target_compile_options(relinka PRIVATE ${size_options})
target_link_options(relinka PRIVATE -municode -mwindows -static -s -Wl,--no-insert-timestamp -Wl,--gc-sections)

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

# The installer operators download beside the zip (scripts/package), made by makensis (Debian's nsis)
# from the same relinka.exe and guide. The 32-bit build's is the one shipped; the 64-bit build's, with
# the 64-bit stub and program, is what its tests install on a machine that cannot run 32-bit programs.
# A build of relinka.exe alone needs no makensis.
find_program(MAKENSIS makensis)
set(INSTALLER_NAME relinka-${PROJECT_VERSION}-instalar.exe)
if(MAKENSIS)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/bin/${INSTALLER_NAME}
        COMMAND ${MAKENSIS} -V2 -WX -INPUTCHARSET UTF8 -DTARGET=${INSTALLER_STUB} -DVERSION=${PROJECT_VERSION}
                -DPROGRAM=$<TARGET_FILE:relinka> -DGUIDE=${CMAKE_BINARY_DIR}/LEIAME.txt
                -DICON=${CMAKE_SOURCE_DIR}/assets/relinka.ico -DOUTFILE=${CMAKE_BINARY_DIR}/bin/${INSTALLER_NAME}
                ${CMAKE_SOURCE_DIR}/packaging/relinka.nsi
        DEPENDS relinka ${CMAKE_BINARY_DIR}/LEIAME.txt ${CMAKE_SOURCE_DIR}/packaging/relinka.nsi
                ${CMAKE_SOURCE_DIR}/assets/relinka.ico
        VERBATIM)
    add_custom_target(installer ALL DEPENDS ${CMAKE_BINARY_DIR}/bin/${INSTALLER_NAME})
elseif(BUILD_TESTING)
    message(FATAL_ERROR "makensis (Debian's nsis) is needed for the installer the tests install")
endif()

if(BUILD_TESTING)
    # The EchoLink stand-in, for the tests and the demo.
    add_subdirectory(tools/echolink-standin)

    # What every test under Wine and every benchmark shares (tests/support): the stand-in and its
    # fixture, relinka.exe as a process, files, the windows' checks, the counters, the benchmarks' helpers.
    add_library(test_support STATIC
        tests/support/bench_support.cpp
        tests/support/debug_output.cpp
        tests/support/embedded_animation.cpp
        tests/support/fake_annotation_service.cpp
        tests/support/process_counters.cpp
        tests/support/relinka_process.cpp
        tests/support/window_checks.cpp
        tests/support/whole_run.cpp
        tests/support/wine_support.cpp
    )
    target_include_directories(test_support PUBLIC tests)
    target_link_libraries(test_support PUBLIC app_win test_fakes standin_control gdiplus shlwapi gtest psapi)

    # Tests that run under Wine, one program each; those that drive the stand-in take its lock. Each has a
    # time-out of its own, a few times what it takes on a busy machine, so that one that hangs is stopped
    # soon (ctest's own is 600 s): add_wine_test(<name> TIMEOUT <seconds>).
    function(add_wine_test name)
        cmake_parse_arguments(PARSE_ARGV 1 wine_test "" TIMEOUT "")
        if(NOT wine_test_TIMEOUT)
            message(FATAL_ERROR "add_wine_test(${name}): give it a TIMEOUT in seconds that fits it")
        endif()
        add_executable(${name} tests/win/${name}.cpp ${relinka_resources})
        target_link_libraries(${name} PRIVATE test_support gtest_main)
        target_link_options(${name} PRIVATE -static)
        if(${name} IN_LIST tests_reading_wine_debug_output)
            # Wine writes a program's debugging channels to the Unix standard error it inherited, whatever
            # handle it was given: such a test runs with its own in a file, which its programs share.
            set(standard_error ${CMAKE_BINARY_DIR}/${name}.stderr)
            target_compile_definitions(${name} PRIVATE STANDARD_ERROR_FILE="Z:${standard_error}")
            add_test(NAME ${name} COMMAND sh -c "exec \"$@\" 2>\"$0\"" ${standard_error}
                     ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
        else()
            add_test(NAME ${name} COMMAND ${name})
        endif()
        set_tests_properties(${name} PROPERTIES TIMEOUT ${wine_test_TIMEOUT})
        if(${name} IN_LIST standin_tests)
            set_tests_properties(${name} PROPERTIES RESOURCE_LOCK echolink-standin FIXTURES_REQUIRED standin)
        endif()
    endfunction()

    # The stand-in registered in the prefix, for the tests that talk to it.
    add_test(NAME register-standin COMMAND echolink-standin /regserver)
    set_tests_properties(register-standin PROPERTIES FIXTURES_SETUP standin)
    set(standin_tests echolink_binding_test end_to_end_test station_pc_test tick_wait_test
                      bench_instruments_test dll_search_test history_file_test)
    set(tests_reading_wine_debug_output station_pc_test)

    add_wine_test(form_base_test TIMEOUT 30)
    add_wine_test(window_base_test TIMEOUT 30)
    add_wine_test(answering_wait_test TIMEOUT 30)
    add_wine_test(amigos_window_test TIMEOUT 60)
    add_wine_test(friends_files_test TIMEOUT 30)
    add_wine_test(icon_sizes_test TIMEOUT 30)
    add_wine_test(auxiliary_windows_test TIMEOUT 90)
    add_wine_test(animations_test TIMEOUT 90)
    add_wine_test(high_contrast_test TIMEOUT 90)
    add_wine_test(accessibility_test TIMEOUT 40)
    add_wine_test(annotations_test TIMEOUT 30)
    add_wine_test(screen_watch_test TIMEOUT 30)
    target_link_libraries(accessibility_test PRIVATE oleacc)
    target_sources(animations_test PRIVATE tests/win/damaged_picture.rc)
    set_source_files_properties(tests/win/damaged_picture.rc PROPERTIES OBJECT_DEPENDS
                                ${CMAKE_SOURCE_DIR}/tests/win/oversized_picture.gif)
    add_wine_test(echolink_binding_test TIMEOUT 90)
    add_wine_test(echolink_declaration_test TIMEOUT 30)
    add_wine_test(end_to_end_test TIMEOUT 450)
    add_wine_test(station_pc_test TIMEOUT 120)
    add_wine_test(tick_wait_test TIMEOUT 240)
    # The connection history: its window and the taskbar in-process, its file beside the stand-in.
    add_wine_test(history_window_test TIMEOUT 120)
    add_wine_test(history_file_test TIMEOUT 300)
    add_dependencies(history_file_test relinka echolink-standin)
    # What the benchmarks count with, and the start-up bench's refusals.
    add_wine_test(bench_instruments_test TIMEOUT 30)
    target_sources(bench_instruments_test PRIVATE bench/screen_area.cpp bench/serving_processes.cpp)
    target_include_directories(bench_instruments_test PRIVATE bench)
    add_dependencies(bench_instruments_test startup_bench)
    # A download folder with DLLs of system names beside relinka.exe and the installer: the planted DLL,
    # copied under each name, and small programs that keep their search to the system's folder, to
    # compare with.
    add_library(planted_dll SHARED tests/win/planted_dll.cpp)
    set_target_properties(planted_dll PROPERTIES PREFIX "" OUTPUT_NAME planted)
    target_link_options(planted_dll PRIVATE -static)
    # The second reference imports shell32 and saves a shortcut, as the installer does.
    foreach(reference dll_search_reference dll_search_reference_shell)
        add_executable(${reference} WIN32 tests/win/dll_search_reference.cpp ${relinka_resources})
        target_include_directories(${reference} PRIVATE src assets ${CMAKE_BINARY_DIR}/generated)
        target_link_libraries(${reference} PRIVATE ole32 uuid)
        target_link_options(${reference} PRIVATE -static -municode -mwindows)
    endforeach()
    target_compile_definitions(dll_search_reference_shell PRIVATE IMPORTS_THE_SHELL)
    target_link_libraries(dll_search_reference_shell PRIVATE shell32)
    add_wine_test(dll_search_test TIMEOUT 240)
    add_dependencies(dll_search_test relinka planted_dll dll_search_reference dll_search_reference_shell
                     installer)
    target_compile_definitions(dll_search_test PRIVATE INSTALLER_NAME="${INSTALLER_NAME}")
    # The names planted: the system DLLs relinka.exe and the libraries it uses load under Wine
    # (WINEDEBUG=+loaddll, opening its three windows) that are not KnownDLLs on Windows, and others that
    # programs of its kind load. Wine's internal ones that its KnownDLLs import (combase, ucrtbase, win32u,
    # zlib1) are left out: on Windows a KnownDLL's imports come from the system's folder.
    set(planted_dlls actxprxy comctl32 cryptbase dbghelp dwmapi gdiplus msimg32 oleacc propsys shcore userenv
                     uxtheme version windowscodecs winmm wtsapi32)
    list(JOIN planted_dlls "," planted_dlls)
    # Wine's menu builder, which a shortcut the installer makes would start, writes Linux menu entries into
    # the home folder: it is kept out.
    set_tests_properties(dll_search_test PROPERTIES ENVIRONMENT
                         "WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=\;${planted_dlls}=n,b")
    # The main window at 144 dpi, in a prefix of its own set to that resolution (scripts/lib.sh ends
    # only the prefix it made itself, so this one's server is ended here).
    set(high_dpi_prefix ${CMAKE_BINARY_DIR}/wineprefix-144dpi)
    add_test(NAME make-high-dpi-prefix
             COMMAND bash -c "WINE_BITS=${WINE_BITS} && source '${CMAKE_SOURCE_DIR}/scripts/lib.sh' && choose_wine_build && make_wine_prefix '${high_dpi_prefix}' 144 1280x1024")
    add_test(NAME end-high-dpi-prefix COMMAND sh -c "WINEPREFIX='${high_dpi_prefix}' wineserver -k || true")
    set_tests_properties(make-high-dpi-prefix PROPERTIES FIXTURES_SETUP high_dpi)
    set_tests_properties(end-high-dpi-prefix PROPERTIES FIXTURES_CLEANUP high_dpi)
    add_wine_test(high_dpi_test TIMEOUT 30)
    set_tests_properties(high_dpi_test PROPERTIES ENVIRONMENT WINEPREFIX=${high_dpi_prefix} FIXTURES_REQUIRED high_dpi)
    # Windows moved between 96 and 144 dpi: there, where the screen is large enough for the main window at
    # 144 dpi.
    add_wine_test(dpi_change_test TIMEOUT 30)
    set_tests_properties(dpi_change_test PROPERTIES ENVIRONMENT WINEPREFIX=${high_dpi_prefix} FIXTURES_REQUIRED high_dpi)
    # What operators get is the 32-bit build: this one, or beside this one when this is the 64-bit build
    # that runs the tests on a machine that cannot run 32-bit programs.
    set(SHIPPED_BUILD ${CMAKE_BINARY_DIR} CACHE PATH "The build folder of the 32-bit relinka.exe operators get")
    add_wine_test(program_file_test TIMEOUT 30)
    target_link_libraries(program_file_test PRIVATE version imagehlp)
    # Wine's drive Z: is the Linux root.
    target_compile_definitions(program_file_test PRIVATE SHIPPED_PROGRAM="Z:${SHIPPED_BUILD}/bin/relinka.exe"
                               SHIPPED_INSTALLER="Z:${SHIPPED_BUILD}/bin/${INSTALLER_NAME}")
    add_dependencies(program_file_test relinka echolink-standin installer)

    # The installer installed, run again over a running Relinka and a closed one, and uninstalled, in a
    # fresh prefix of its own where the stand-in is registered for relinka.exe to start: about 12 s here,
    # and 35 s to make the prefix, on a loaded machine. Wine's menu builder, which the shortcuts would
    # start, is kept out: it writes Linux menu entries into the home folder.
    set(installer_prefix ${CMAKE_BINARY_DIR}/wineprefix-installer)
    add_test(NAME make-installer-prefix
             COMMAND bash -c "WINEPREFIX='${installer_prefix}' wineserver -k 2>/dev/null; rm -rf '${installer_prefix}' && WINE_BITS=${WINE_BITS} && source '${CMAKE_SOURCE_DIR}/scripts/lib.sh' && choose_wine_build && make_wine_prefix '${installer_prefix}' && WINEPREFIX='${installer_prefix}' wine_step 'registering the EchoLink stand-in' \"$WINE\" '$<TARGET_FILE:echolink-standin>' /regserver")
    add_test(NAME end-installer-prefix COMMAND sh -c "WINEPREFIX='${installer_prefix}' wineserver -k || true")
    set_tests_properties(make-installer-prefix PROPERTIES FIXTURES_SETUP installer_prefix TIMEOUT 150
                         ENVIRONMENT "WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=")
    set_tests_properties(end-installer-prefix PROPERTIES FIXTURES_CLEANUP installer_prefix)
    add_wine_test(installer_test TIMEOUT 60)
    target_link_libraries(installer_test PRIVATE shell32 uuid)
    target_compile_definitions(installer_test PRIVATE INSTALLER_NAME="${INSTALLER_NAME}"
                               PROJECT_VERSION="${PROJECT_VERSION}" BUILT_GUIDE="Z:${CMAKE_BINARY_DIR}/LEIAME.txt")
    add_dependencies(installer_test installer echolink-standin)
    set_tests_properties(installer_test PROPERTIES
                         ENVIRONMENT "WINEPREFIX=${installer_prefix};WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe="
                         FIXTURES_REQUIRED installer_prefix)

    # The package as scripts/package makes it, and again from a clean build, in folders of the test's own.
    add_test(NAME package_test
             COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/package/package_test.py ${CMAKE_SOURCE_DIR}
                     ${SHIPPED_BUILD} ${CMAKE_SOURCE_DIR}/cmake/mingw-w64-i686.cmake)
    add_dependencies(end_to_end_test relinka echolink-standin)
    add_dependencies(station_pc_test relinka echolink-standin)
    add_dependencies(tick_wait_test relinka echolink-standin)

    # Measurements under Wine, run by bench/wine_benches (not tests): start-up to the first paint and
    # the working set against the floor; one supervision tick against the stand-in with eight connected
    # stations; how soon a dropped link is asked back; what a screen reader is told over a minute; whether
    # the program answers while a tick waits; the soak of months of frames, ticks and openings; the CPU
    # time a minute of the program, the wineserver and the X server, shown, locked and minimized.
    foreach(bench startup_bench tick_bench announcements_bench answer_bench soak_bench cpu_bench
                  relink_bench)
        add_executable(${bench} bench/${bench}.cpp ${relinka_resources})
        target_link_libraries(${bench} PRIVATE test_support)
        target_link_options(${bench} PRIVATE -static -municode)
    endforeach()
    target_sources(cpu_bench PRIVATE bench/serving_processes.cpp)
    target_sources(soak_bench PRIVATE bench/screen_area.cpp)
    add_executable(startup_floor WIN32 bench/startup_floor.cpp)
    target_include_directories(startup_floor PRIVATE src)
    target_link_libraries(startup_floor PRIVATE ole32 uuid)
    target_link_options(startup_floor PRIVATE -static -municode -mwindows)
    # The second floor: the main window of plain controls, without a manifest and with relinka.exe's;
    # options add relinka.exe's own pieces.
    foreach(plain startup_plain_window startup_plain_window_manifest)
        set_source_files_properties(bench/${plain}.rc PROPERTIES OBJECT_DEPENDS
            "${relinka_pictures};${CMAKE_SOURCE_DIR}/assets/pictures.rc;${CMAKE_SOURCE_DIR}/bench/startup_plain_window.rc;${CMAKE_BINARY_DIR}/generated/relinka.manifest")
        add_executable(${plain} WIN32 bench/startup_plain_window.cpp bench/${plain}.rc)
        target_include_directories(${plain} PRIVATE bench)
        target_link_libraries(${plain} PRIVATE app_win)
        target_link_options(${plain} PRIVATE -static -municode -mwindows)
    endforeach()
endif()

# scripts/test hands over the native build's tests, so one ctest run covers both builds.
set(NATIVE_TESTS "" CACHE FILEPATH "CTestTestfile.cmake of the native build, run with these tests")
if(NATIVE_TESTS)
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${NATIVE_TESTS}")
endif()
