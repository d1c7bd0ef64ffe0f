# Included by the test suite: every input that ever crashed or hung a fuzz
# target, replayed through both targets' code in the normal build (and so in
# the sanitizer build too), each within a time limit.
foreach(target compile search)
  add_executable(fuzz_replay_${target}
    ${CMAKE_CURRENT_LIST_DIR}/${target}_fuzzer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/replay_main.cpp)
  target_link_libraries(fuzz_replay_${target} PRIVATE tovikcore)
  target_compile_options(fuzz_replay_${target} PRIVATE ${TOVIK_WARNINGS})
  add_test(NAME fuzz_regressions_${target}
           COMMAND fuzz_replay_${target} ${CMAKE_CURRENT_LIST_DIR}/regressions)
  set_tests_properties(fuzz_regressions_${target} PROPERTIES TIMEOUT 300)
endforeach()
