// The dry run held against the real updater: before each start, medium-check.exe predicts
// the game folder's state after the update and the update's end; once the updater has ended
// after reaching the update procedure (its last box the success dialog, the failure message
// or the space refusal), the folder as it is and the end the boxes showed must equal the
// prediction, or the test fails.
#pragma once
#include <string>
#include <vector>

struct Prediction {
  bool enabled = true;            // off for a test that interrupts the copy on purpose
  bool made = false;              // a prediction was made for the current start
  std::string file;               // cp932 path of the prediction file
  std::string report;             // medium-check's output, shown when they differ
  std::vector<std::string> seen;  // the boxes of the current start, as the robot logged them
};

// Runs the dry run for the medium folder `medium` (its updater.exe's folder) on the game
// folder `game_full` (the record's "SaveDir"), writing into `scratch` (cp932 paths).
void predict_update(Prediction* prediction, const std::string& medium,
                    const std::string& game_full, const std::string& scratch);

// Notes a box the robot logged ("<caption>|<text>").
void note_box(Prediction* prediction, const std::string& seen);

// After the updater ended: when it reached the update procedure, compares the folder `game`
// and the end with the prediction (gtest failures on a difference).
void check_prediction(Prediction* prediction, const std::string& game);
