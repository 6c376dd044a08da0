# One helper per kind of target keeps flags and layout the same everywhere.

set(GRAVIK_WARNINGS -Wall -Wextra -Wno-multichar)
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    list(APPEND GRAVIK_WARNINGS -Wno-four-char-constants)
endif()
if(GRAVIK_WERROR)
    list(APPEND GRAVIK_WARNINGS -Werror)
endif()

function(gravik_apply_flags target)
    target_compile_options(${target} PRIVATE ${GRAVIK_WARNINGS})
    target_compile_features(${target} PUBLIC cxx_std_20)
endfunction()

# gravik_library(<name> FOLDER <dir> [HEADERS <subdir>] [OBJECT] SOURCES ... [DEPS ...])
# A library of one top folder: public headers in <dir>/hdr, or in <dir>/<subdir> for a library
# that exports only part of its folder's headers. OBJECT makes an object library, whose sources
# join the library that links it.
function(gravik_library name)
    cmake_parse_arguments(ARG "OBJECT" "FOLDER;HEADERS" "SOURCES;DEPS" ${ARGN})
    if(NOT ARG_HEADERS)
        set(ARG_HEADERS hdr)
    endif()
    if(ARG_OBJECT)
        add_library(${name} OBJECT ${ARG_SOURCES})
    else()
        add_library(${name} STATIC ${ARG_SOURCES})
    endif()
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/${ARG_FOLDER}/${ARG_HEADERS})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    gravik_apply_flags(${name})
endfunction()

# gravik_headers(<name> FOLDER <dir> HEADERS <subdir> [DEPS ...])
# Headers of one top folder, without sources, for libraries built from another folder.
function(gravik_headers name)
    cmake_parse_arguments(ARG "" "FOLDER;HEADERS" "DEPS" ${ARGN})
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/${ARG_FOLDER}/${ARG_HEADERS})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    target_compile_features(${name} INTERFACE cxx_std_20)
endfunction()

# gravik_executable(<name> SOURCES ... [DEPS ...])
function(gravik_executable name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    gravik_apply_flags(${name})
endfunction()

# The tests' own sources, and their precompiled headers: in the sanitizer build they carry line
# tables only, which is enough for a fault's file and line and costs a quarter less to build
# than full debugging information; the code they test keeps it.
function(gravik_test_flags target)
    gravik_apply_flags(${target})
    if(GRAVIK_SANITIZE)
        target_compile_options(${target} PRIVATE -g1)
    endif()
endfunction()

# gravik_test(<name> SOURCES ... [DEPS ...] [LABEL unit|interop] [HEADERS <target>]): one
# GoogleTest executable, labelled "unit" unless said otherwise ("interop": our output judged by
# real peer programs). It takes GoogleTest's headers precompiled from gravik_test_headers, or
# from the HEADERS target given (tests/support makes them).
function(gravik_test name)
    cmake_parse_arguments(ARG "" "LABEL;HEADERS" "SOURCES;DEPS" ${ARGN})
    if(NOT ARG_LABEL)
        set(ARG_LABEL unit)
    endif()
    if(NOT ARG_HEADERS)
        set(ARG_HEADERS gravik_test_headers)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    gravik_test_flags(${name})
    target_precompile_headers(${name} REUSE_FROM ${ARG_HEADERS})
    target_compile_definitions(${name} PRIVATE
        GRAVIK_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
        GRAVIK_EXAMPLES="${PROJECT_SOURCE_DIR}/examples")
    gtest_discover_tests(${name} PROPERTIES LABELS ${ARG_LABEL} DISCOVERY_TIMEOUT 60)
    set_property(GLOBAL APPEND PROPERTY GRAVIK_TEST_TARGETS ${name})
endfunction()

# gravik_fuzzer(<name> SOURCES ... [DEPS ...]): a libFuzzer target (clang only).
function(gravik_fuzzer name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    gravik_executable(${name} SOURCES ${ARG_SOURCES} DEPS ${ARG_DEPS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()

# gravik_benchmark(<name> SOURCES ... [DEPS ...]): a Google Benchmark program.
function(gravik_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    gravik_executable(${name} SOURCES ${ARG_SOURCES} DEPS ${ARG_DEPS} benchmark::benchmark)
endfunction()

# Filter plug-ins are built into one folder, which programs that load them find as "add-ons"
# beside themselves (a link made here, at configure time).
set(GRAVIK_ADDONS_DIR ${PROJECT_BINARY_DIR}/add-ons)

# gravik_filter_plugin(<name> SOURCES ... [OUTPUT_DIRECTORY <dir>] [NO_INSTALL]): one filter
# plug-in, a module named <name>.so. It links no library of ours except the kernels: the core
# code it calls is resolved against the program that loads it (gravik_filter_host), so there is
# one copy of it in the process. Only "instantiate_filter" is exported.
function(gravik_filter_plugin name)
    cmake_parse_arguments(ARG "NO_INSTALL" "OUTPUT_DIRECTORY" "SOURCES" ${ARGN})
    if(NOT ARG_OUTPUT_DIRECTORY)
        set(ARG_OUTPUT_DIRECTORY ${GRAVIK_ADDONS_DIR})
    endif()
    add_library(${name} MODULE ${ARG_SOURCES})
    gravik_apply_flags(${name})
    target_include_directories(${name} PRIVATE
        $<TARGET_PROPERTY:gravik_kernel_filter,INTERFACE_INCLUDE_DIRECTORIES>)
    # The archive itself, not the target: the target would bring the core's archives along.
    target_link_libraries(${name} PRIVATE $<TARGET_FILE:gravik_filter_kernels> Threads::Threads)
    add_dependencies(${name} gravik_filter_kernels)
    # The kernels' symbols stay inside: the host holds its own copy, which would otherwise
    # stand in for the plug-in's.
    target_link_options(${name} PRIVATE -Wl,--exclude-libs,ALL)
    set_target_properties(${name} PROPERTIES
        PREFIX ""
        LIBRARY_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIRECTORY}
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    if(NOT ARG_NO_INSTALL)
        set_property(GLOBAL APPEND PROPERTY GRAVIK_FILTER_PLUGINS ${name})
        install(TARGETS ${name} LIBRARY DESTINATION lib/gravik/add-ons)
    endif()
endfunction()

# gravik_filter_host(<target> [ADDONS <dir>]): a program that loads filter plug-ins. It exports
# its symbols and holds the whole plug-in support (YKKernelFilter and all it calls), builds the
# shipped plug-ins with it, and finds <dir> (default: the shipped ones) as "add-ons" beside it.
function(gravik_filter_host target)
    cmake_parse_arguments(ARG "" "ADDONS" "" ${ARGN})
    if(NOT ARG_ADDONS)
        set(ARG_ADDONS ${GRAVIK_ADDONS_DIR})
    endif()
    set_target_properties(${target} PROPERTIES ENABLE_EXPORTS ON)
    target_link_libraries(${target} PRIVATE gravik_kernel_filter)
    add_dependencies(${target} gravik_addons)
    get_target_property(folder ${target} BINARY_DIR)
    file(MAKE_DIRECTORY ${ARG_ADDONS})
    file(CREATE_LINK ${ARG_ADDONS} ${folder}/add-ons SYMBOLIC)
endfunction()

# The shipped palette files are made into one folder (share/palettes), which programs find as
# "Palettes" beside themselves (a link made here, at configure time).
set(GRAVIK_PALETTES_DIR ${PROJECT_BINARY_DIR}/Palettes)

# gravik_palettes_beside(<target>): a program that loads the shipped palettes.
function(gravik_palettes_beside target)
    add_dependencies(${target} gravik_palettes)
    get_target_property(folder ${target} BINARY_DIR)
    file(MAKE_DIRECTORY ${GRAVIK_PALETTES_DIR})
    file(CREATE_LINK ${GRAVIK_PALETTES_DIR} ${folder}/Palettes SYMBOLIC)
endfunction()
