# The dry run: the simulation on the game folder's table (portable, tested natively), and
# in the program the game folder's scan per platform and the command line's options.
add_library(medium_check_dry STATIC ${CMAKE_CURRENT_LIST_DIR}/game_folder.cpp
            ${CMAKE_CURRENT_LIST_DIR}/dry_run.cpp ${CMAKE_CURRENT_LIST_DIR}/dry_run_report.cpp)
target_include_directories(medium_check_dry PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(medium_check_dry PUBLIC updater_update updater_resfs kit_common)

if(WIN32)
  set(DRY_RUN_SCAN ${CMAKE_CURRENT_LIST_DIR}/game_scan_win.cpp)
else()
  set(DRY_RUN_SCAN ${CMAKE_CURRENT_LIST_DIR}/game_scan_posix.cpp)
endif()
set(DRY_RUN_PROGRAM_SOURCES ${CMAKE_CURRENT_LIST_DIR}/dry_run_command.cpp ${DRY_RUN_SCAN})
