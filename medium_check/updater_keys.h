// The keys of "UPDATE.ENV" that the updater reads, with the lookup each goes through and what
// an absent key means, and the test for a key that looks like one of them but is not.
#pragma once

enum KeyLookup { KEY_STRING, KEY_INTEGER };

struct UpdaterKey {
  const char* name;
  KeyLookup lookup;
  const char* when_absent;  // cp932: the value the updater keeps, or what it does instead
  bool absent_is_value;     // when_absent is a value (a default text), not a description
};

int updater_key_count(void);
const UpdaterKey* updater_key(int index);

// The index of the key the updater finds for `token` (ASCII letters compared without case,
// as the table does), or -1.
int find_updater_key(const char* token);

// For a token that is no key of the updater: the key it looks like, or null. `why` (room for
// `size` bytes) then says in a few words what makes it one: a pair or deletion number out of
// range, the executable's key without its suffix, or a misspelling (edit distance).
const char* near_updater_key(const char* token, char* why, int size);
