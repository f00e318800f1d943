# Fuzz targets: an entry (LLVMFuzzerTestOneInput) of tests/<subsystem>/fuzz, compiled once and
# linked twice:
# - replay_NAME, with the replay driver of tests/support (FuzzReplay.cpp) and the library
#   targets, in every build: the test fuzz_replay_NAME feeds it every seed (its corpus folder,
#   the SEED_FILES and the SEEDS the build makes) and every saved input kept in its regressions
#   folder, once each;
# - fuzz_NAME, with libFuzzer, only when Q3V_FUZZ is on (the asan preset, built by clang): it
#   links twins of the library targets (<library>_fuzz) made from each library target's own
#   sources and settings with libFuzzer's coverage added, so the test programs keep the plain
#   libraries and their speed. The test fuzz_run_NAME runs it for Q3V_FUZZ_SECONDS over the
#   same seeds (tests/support/fuzz_run.sh), in build/<preset>/fuzz/NAME.

set(Q3V_FUZZ_SECONDS 20 CACHE STRING "Seconds of each bounded fuzz run")
set(Q3V_FUZZ_RUNNER ${PROJECT_SOURCE_DIR}/tests/support/fuzz_run.sh)
# The replay driver is the same for every target: compiled once.
add_library(q3v_fuzz_replay_driver OBJECT ${PROJECT_SOURCE_DIR}/tests/support/FuzzReplay.cpp)
target_compile_options(q3v_fuzz_replay_driver PRIVATE ${Q3V_WARNINGS})
# Coverage for libFuzzer, and -O1 as fuzzing is usually done (the tree itself is -O0).
set(Q3V_FUZZ_COVERAGE -fsanitize=fuzzer-no-link -O1)

# The name of the coverage twin of a link item: <library>_fuzz for a library of our own (made on
# first use, with the twins of its own libraries), the item itself otherwise.
function(q3v_fuzz_twin item out)
    if(NOT TARGET ${item})
        set(${out} ${item} PARENT_SCOPE)
        return()
    endif()
    get_target_property(ours ${item} Q3V_LIBRARY)
    if(NOT ours)
        set(${out} ${item} PARENT_SCOPE)
        return()
    endif()
    set(twin ${item}_fuzz)
    set(${out} ${twin} PARENT_SCOPE)
    if(TARGET ${twin})
        return()
    endif()
    get_target_property(sources ${item} SOURCES)
    get_target_property(source_dir ${item} SOURCE_DIR)
    # Objects the library takes from object libraries ($<TARGET_OBJECTS:...>, the imaging row
    # kernels) are linked as they were built: under the sanitizers, but without coverage.
    set(absolute "")
    foreach(source IN LISTS sources)
        if(NOT source MATCHES "^\\$<" AND NOT IS_ABSOLUTE ${source})
            set(source ${source_dir}/${source})
        endif()
        list(APPEND absolute ${source})
    endforeach()
    add_library(${twin} STATIC ${absolute})
    foreach(property INCLUDE_DIRECTORIES INTERFACE_INCLUDE_DIRECTORIES COMPILE_OPTIONS
            COMPILE_DEFINITIONS)
        get_target_property(value ${item} ${property})
        if(value)
            set_property(TARGET ${twin} PROPERTY ${property} ${value})
        endif()
    endforeach()
    target_compile_options(${twin} PRIVATE ${Q3V_FUZZ_COVERAGE})
    get_target_property(links ${item} LINK_LIBRARIES)
    if(links)
        foreach(link IN LISTS links)
            q3v_fuzz_twin(${link} linked)
            target_link_libraries(${twin} PUBLIC ${linked})
        endforeach()
    endif()
    # Sources that the library's folder generates are made before the twin compiles them.
    add_dependencies(${twin} ${item})
endfunction()

# q3v_fuzz_target(NAME SOURCE entry.cpp DEPS target... [DICT file] [MAX_LEN bytes]
#                 [CORPUS folder] [REGRESSIONS folder] [SEED_FILES file...]
#                 [SEEDS generated-file...])
# Paths are relative to the calling folder; the seed corpus is corpus/ and the saved inputs are
# kept in regressions/ unless CORPUS and REGRESSIONS say otherwise. SEEDS are files made by the
# build (custom commands of the calling folder). Like every test program, the entry clears the
# board's controls from the environment first.
function(q3v_fuzz_target name)
    cmake_parse_arguments(ARG "" "SOURCE;DICT;MAX_LEN;CORPUS;REGRESSIONS"
                          "DEPS;SEED_FILES;SEEDS" ${ARGN})
    set(here ${CMAKE_CURRENT_SOURCE_DIR})
    set(entry fuzz_entry_${name})
    add_library(${entry} OBJECT ${ARG_SOURCE})
    target_compile_options(${entry} PRIVATE ${Q3V_WARNINGS})
    if(Q3V_FUZZ)
        target_compile_options(${entry} PRIVATE ${Q3V_FUZZ_COVERAGE})
    endif()
    # The headers of the libraries and of the tests; the libraries themselves are linked by the
    # two programs, each its own kind.
    target_include_directories(${entry} PRIVATE ${PROJECT_SOURCE_DIR}/src
                               ${PROJECT_SOURCE_DIR}/tests)
    q3v_clean_board_environment(${entry})

    if(NOT ARG_CORPUS)
        set(ARG_CORPUS corpus)
    endif()
    if(NOT ARG_REGRESSIONS)
        set(ARG_REGRESSIONS regressions)
    endif()
    set(seeds ${here}/${ARG_CORPUS})
    foreach(file IN LISTS ARG_SEED_FILES)
        get_filename_component(file ${file} ABSOLUTE BASE_DIR ${here})
        list(APPEND seeds ${file})
    endforeach()
    foreach(file IN LISTS ARG_SEEDS)
        get_filename_component(file ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_BINARY_DIR})
        list(APPEND seeds ${file})
    endforeach()

    add_executable(replay_${name})
    target_link_libraries(replay_${name} PRIVATE q3v_fuzz_replay_driver ${entry} ${ARG_DEPS})
    # The seeds the build makes come with the programs that read them, also when one program
    # is built alone.
    if(ARG_SEEDS)
        add_custom_target(fuzz_seeds_${name} DEPENDS ${ARG_SEEDS})
        add_dependencies(replay_${name} fuzz_seeds_${name})
    endif()
    add_test(NAME fuzz_replay_${name}
             COMMAND replay_${name} ${seeds} ${here}/${ARG_REGRESSIONS})

    if(NOT Q3V_FUZZ)
        return()
    endif()
    set(twins "")
    foreach(dep IN LISTS ARG_DEPS)
        q3v_fuzz_twin(${dep} twin)
        list(APPEND twins ${twin})
    endforeach()
    add_executable(fuzz_${name})
    target_link_libraries(fuzz_${name} PRIVATE ${entry} ${twins})
    if(ARG_SEEDS)
        add_dependencies(fuzz_${name} fuzz_seeds_${name})
    endif()
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    set(options "")
    if(ARG_MAX_LEN)
        list(APPEND options -max_len=${ARG_MAX_LEN})
    endif()
    if(ARG_DICT)
        list(APPEND options -dict=${here}/${ARG_DICT})
    endif()
    add_test(NAME fuzz_run_${name}
             COMMAND sh ${Q3V_FUZZ_RUNNER} $<TARGET_FILE:fuzz_${name}>
                     ${PROJECT_BINARY_DIR}/fuzz/${name} ${Q3V_FUZZ_SECONDS} ${options} -- ${seeds})
    # Started first: each runs for its whole time box while the short tests share the other cores.
    set_tests_properties(fuzz_run_${name} PROPERTIES COST 1000 TIMEOUT 600)
endfunction()
