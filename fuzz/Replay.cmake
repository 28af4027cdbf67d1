# Included by tests/: builds each fuzz entry with a plain main that runs it over the fixture
# archives, so every parser a fuzzer reaches is also exercised by the ordinary test run.
file(GLOB FUZZ_ENTRIES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/fuzz_*.cpp)
foreach(entry ${FUZZ_ENTRIES})
    get_filename_component(name ${entry} NAME_WE)
    add_executable(replay_${name} ${entry} ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
    target_link_libraries(replay_${name} PRIVATE orvello_archive)
    orvello_target_defaults(replay_${name})
    add_test(NAME replay_${name} COMMAND replay_${name} ${ORVELLO_FIXTURES}/archives)
endforeach()
