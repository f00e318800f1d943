# Our own code is built with every warning as an error.
set(Q3V_WARNINGS -Wall -Wextra -Werror)
# GCC 12 at -O3 reports overlapping copies inside std::string's own concatenation that cannot
# happen (a known false positive of -Wrestrict): it would fail the optimised build.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    list(APPEND Q3V_WARNINGS -Wno-restrict)
endif()

# q3v_library(name DEPS dep...): a static library of every .cpp in the calling folder,
# except the files named in EXCLUDE.
function(q3v_library name)
    cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    foreach(ex IN LISTS ARG_EXCLUDE)
        list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${ex})
    endforeach()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_compile_options(${name} PRIVATE ${Q3V_WARNINGS})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    # The fuzz targets link a twin of it with libFuzzer's coverage (cmake/Q3vFuzz.cmake).
    set_property(TARGET ${name} PROPERTY Q3V_LIBRARY TRUE)
endfunction()
