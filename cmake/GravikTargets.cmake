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

# gravik_test(<name> SOURCES ... [DEPS ...] [LABEL unit|interop]): one GoogleTest executable,
# labelled "unit" unless said otherwise ("interop": our output judged by real peer programs).
function(gravik_test name)
    cmake_parse_arguments(ARG "" "LABEL" "SOURCES;DEPS" ${ARGN})
    if(NOT ARG_LABEL)
        set(ARG_LABEL unit)
    endif()
    gravik_executable(${name} SOURCES ${ARG_SOURCES} DEPS ${ARG_DEPS} GTest::gtest GTest::gmock
                      GTest::gtest_main)
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
