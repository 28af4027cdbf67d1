# Included by tests/: builds each fuzz entry with a plain main that runs it over the fixture
# archives, so every parser a fuzzer reaches is also exercised by the ordinary test run.
# replay_<name> takes the repository's archives and the entry's seeds; replay_<name>_shared
# the whole shared fixture folder with the archives copied from other projects' test data,
# and is skipped where that folder is absent.
file(GLOB FUZZ_ENTRIES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/fuzz_*.cpp)
foreach(entry ${FUZZ_ENTRIES})
    get_filename_component(name ${entry} NAME_WE)
    add_executable(replay_${name} ${entry} ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
    target_link_libraries(replay_${name} PRIVATE orvello_archive)
    orvello_target_defaults(replay_${name})
    set(inputs ${ORVELLO_REPO_FIXTURES}/archives)
    if(EXISTS ${PROJECT_SOURCE_DIR}/fuzz/seeds/${name})
        list(APPEND inputs ${PROJECT_SOURCE_DIR}/fuzz/seeds/${name})
    endif()
    add_test(NAME replay_${name} COMMAND replay_${name} ${inputs})
    add_test(NAME replay_${name}_shared COMMAND replay_${name} --optional ${ORVELLO_SHARED_FIXTURES}/archives)
    set_tests_properties(replay_${name} PROPERTIES TIMEOUT 300)
    set_tests_properties(replay_${name}_shared PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endforeach()
