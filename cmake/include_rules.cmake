# The folders of src/ depend one way only: each includes only the folders it may use, all of them below
# it, so that the library at the bottom knows nothing of the program and the program sits on top.
#
#   cmake -DROOT=<source tree> -DGRAPH=<file.dot> -P include_rules.cmake
#
# reads every #include under src/ and tools/echolink-standin/ and stops with the file, the line and the
# rule broken; when none is broken, writes the graph of which folder includes which to GRAPH. Run at
# every configure, and by the build whenever a file changes (CMakeLists.txt).

cmake_minimum_required(VERSION 3.25)

# Bottom up. "resources" is the program's own resources: assets/, resources.h among them.
set(folders winlib echolink friends history windows app)
set(winlib_may_use "")
set(echolink_may_use winlib)
set(friends_may_use winlib)
set(history_may_use winlib)
# The history window shows what history/ reads from the file.
set(windows_may_use winlib history resources)
set(app_may_use winlib echolink friends history windows resources)
set(echolink-standin_may_use winlib)

foreach(variable ROOT GRAPH)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "include_rules.cmake: give -D${variable}=...")
    endif()
endforeach()
get_filename_component(ROOT "${ROOT}" ABSOLUTE)

# The folder a file of the tree belongs to, or "" for one outside the folders (a system or generated
# header).
function(folder_of path result)
    file(RELATIVE_PATH relative "${ROOT}" "${path}")
    if(relative MATCHES "^src/([^/]+)/")
        set(folder ${CMAKE_MATCH_1})
    elseif(relative MATCHES "^assets/")
        set(folder resources)
    elseif(relative MATCHES "^tools/echolink-standin/")
        set(folder echolink-standin)
    else()
        set(folder "")
    endif()
    set(${result} "${folder}" PARENT_SCOPE)
endfunction()

# What `#include` finds for `name` in `directory`: the file beside the includer first for a quoted
# name (`opening` a double quote), then src/ and assets/, where every build of the program looks.
function(included_folder directory name opening result)
    set(places "")
    if(opening STREQUAL "\"")
        list(APPEND places "${directory}")
    endif()
    list(APPEND places "${ROOT}/src" "${ROOT}/assets")
    set(folder "")
    foreach(place IN LISTS places)
        get_filename_component(candidate "${place}/${name}" ABSOLUTE)
        if(EXISTS "${candidate}")
            folder_of("${candidate}" folder)
            break()
        endif()
    endforeach()
    # A header that is not written yet still names its folder.
    if(folder STREQUAL "" AND name MATCHES "^([^/]+)/" AND CMAKE_MATCH_1 IN_LIST folders)
        set(folder ${CMAKE_MATCH_1})
    endif()
    set(${result} "${folder}" PARENT_SCOPE)
endfunction()

# How the drawing names a folder.
function(node_of folder result)
    if(folder STREQUAL "resources")
        set(${result} "assets/" PARENT_SCOPE)
    elseif(folder STREQUAL "echolink-standin")
        set(${result} "tools/echolink-standin/" PARENT_SCOPE)
    else()
        set(${result} "src/${folder}/" PARENT_SCOPE)
    endif()
endfunction()

function(described folder result)
    if(folder STREQUAL "resources")
        set(${result} "the program's resources (assets/)" PARENT_SCOPE)
    else()
        set(${result} "${folder}/" PARENT_SCOPE)
    endif()
endfunction()

file(GLOB_RECURSE files LIST_DIRECTORIES false "${ROOT}/src/*" "${ROOT}/tools/echolink-standin/*")
list(FILTER files INCLUDE REGEX "\\.(h|c|cpp|rc|idl)$")
list(SORT files)
set(broken "")
set(arrows "")
foreach(file IN LISTS files)
    folder_of("${file}" from)
    file(RELATIVE_PATH shown "${ROOT}" "${file}")
    if(NOT from IN_LIST folders AND NOT from STREQUAL "echolink-standin")
        list(JOIN folders ", " known)
        string(APPEND broken "\n  ${shown}: in none of the folders (${known}): add its folder in its place here")
        continue()
    endif()
    get_filename_component(directory "${file}" DIRECTORY)
    file(READ "${file}" text)
    # One list element a line: the characters CMake's lists treat specially go first.
    foreach(special ";" "[" "]")
        string(REPLACE "${special}" "_" text "${text}")
    endforeach()
    string(REPLACE "\n" ";" lines "${text}")
    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*([\"<])([^\">]+)[\">]")
            continue()
        endif()
        set(name "${CMAKE_MATCH_2}")
        included_folder("${directory}" "${name}" "${CMAKE_MATCH_1}" to)
        if(to STREQUAL "" OR to STREQUAL from)
            continue()
        endif()
        if(NOT to IN_LIST ${from}_may_use)
            described(${to} used)
            if(${from}_may_use)
                list(JOIN ${from}_may_use ", " allowed)
                set(allowed "only ${allowed}")
            else()
                set(allowed "no other folder")
            endif()
            string(APPEND broken "\n  ${shown}:${number}: #include \"${name}\": ${from}/ may not use ${used}; it may use ${allowed}")
        endif()
        node_of(${from} from_node)
        node_of(${to} to_node)
        list(APPEND arrows "    \"${from_node}\" -> \"${to_node}\"")
    endforeach()
endforeach()

if(broken)
    message(FATAL_ERROR "Includes that break the folders' rules (cmake/include_rules.cmake):${broken}\n")
endif()

list(REMOVE_DUPLICATES arrows)
list(SORT arrows)
list(JOIN arrows "\n" arrows)
file(WRITE "${GRAPH}" "// Which folder's files include which folder's: every arrow runs down (cmake/include_rules.cmake).
digraph includes {
    node [shape=box, fontname=monospace];
${arrows}
}
")
