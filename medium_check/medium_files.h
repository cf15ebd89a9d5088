// The medium's files as the updater uses them: the update source, the archive's member names,
// the copy pairs and their sources, the read-me, and the splash picture and data file.
#pragma once

// Findings on the source choice ("UPDATE" without "PK.BAT", both sources present, none).
void check_source(void);

// Archive members stored under a folder name, which no lookup ever finds.
void check_archive_members(void);

// True when the registered archive holds a member named `base` under a folder name.
bool archive_holds_under_folder(const char* base);

// Pairs with one half, "NULL" as a configuration or save name, a deletion flag without its
// name; needs the table loaded.
void check_pairs(void);

// Copy sources and the read-me, which are plain files beside the updater.
void check_plain_files(void);

// "update.bmp" and "update.itw", which the updater opens through the resource lookup.
void check_splash_files(void);
