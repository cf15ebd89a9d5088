// The update source as the updater registers it in the current directory (the folder
// "UPDATE" with "PK.BAT", else the archive "UPDATE.PAK", else none), and where a resource
// name is found, as a label for the findings.
#pragma once
#include <cstddef>

enum MediumSource { SOURCE_NONE, SOURCE_FOLDER, SOURCE_ARCHIVE };

// Empties the source table and registers the update source as the updater's start-up does.
void register_medium_source(void);
MediumSource medium_source(void);

// "ADPACK32", "AC", "keyed", "short-name", or "no directory" for the registered archive.
const char* medium_archive_format(void);

// Where `name` resolves: "UPDATE.ENV" (beside the updater), "UPDATE\UPDATE.ENV" (the source
// folder) or "UPDATE.PAK[UPDATE.ENV]" (a member of the archive). False, with `name` as the
// label, when it is found nowhere.
bool resource_label(const char* name, char* label, size_t size);
