# Shared build settings for Orvello's own targets.

# Warnings are errors on our code (not on third-party headers, which come in as SYSTEM).
function(orvello_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

if(ORVELLO_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

if(ORVELLO_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "ORVELLO_FUZZ needs clang (CXX=clang++)")
    endif()
    # Instrument everything for coverage; the fuzzer main is linked only into the fuzz targets.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# Collect the sources of a folder: every .cpp directly in it.
function(orvello_sources out dir)
    file(GLOB files CONFIGURE_DEPENDS ${dir}/*.cpp)
    set(${out} ${files} PARENT_SCOPE)
endfunction()

# Test data. The archives made for this project lie in the repository (tests/fixtures); the
# real archives copied from other projects' test data are kept out of it, in a shared fixture
# folder beside the repository. Tests of those archives skip, saying why, where it is absent.
set(ORVELLO_REPO_FIXTURES "${PROJECT_SOURCE_DIR}/tests/fixtures")
set(ORVELLO_SHARED_FIXTURES "${PROJECT_SOURCE_DIR}/../shared/fixtures" CACHE PATH
    "Shared fixture folder holding the archives copied from other projects' test data")
