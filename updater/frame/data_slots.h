// Five numbered slots that each hold one data file read through the resource lookup: a
// 134-byte record followed by a payload whose length the record gives. Portable.
#pragma once
#include <cstdint>

enum { DATA_SLOT_COUNT = 5, DATA_RECORD_BYTES = 134 };

// A slot: the record as read, except that its first four bytes are replaced by the payload
// buffer (null when the slot is empty).
struct DataSlot {
  uint8_t* payload;
  uint16_t payload_size;
  uint8_t rest[128];  // record bytes 6..133, kept as read
};

// Loads resource `name` into slot 0..4, replacing what it held; 0. Bytes the file does not
// have (a short record or payload) are left zero.
int load_data_slot(int slot, const char* name);
// 0 when the slot held a payload, now released; -1 when it was empty.
int free_data_slot(int slot);
// Shutdown callback: empties every slot, then leaves the shutdown chain.
void release_data_slots(void);

const DataSlot* data_slot(int slot);
