# The dry run's simulation on game folders held in memory.
kit_test(dry_run_tests ${CMAKE_CURRENT_LIST_DIR}/dry_run_tests.cpp
         ${PROJECT_SOURCE_DIR}/tests/update/env_text.cpp)
target_include_directories(dry_run_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/update)
target_link_libraries(dry_run_tests PRIVATE medium_check_dry frame_double)

# The program's --game and --predict on real folders; the Windows build under Wine.
add_test(NAME dry_run_program COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/dry_run_program_test.sh
         $<TARGET_FILE:medium-check> ${CMAKE_CROSSCOMPILING_EMULATOR}
         WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
