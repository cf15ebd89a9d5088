// The data slots: each holds one data file (record and payload) until freed or replaced.
#include "data_slots.h"
#include <cstdio>
#include <cstring>
#include "frame.h"
#include "resource_lookup.h"

static DataSlot g_slots[DATA_SLOT_COUNT];

const DataSlot* data_slot(int slot) { return &g_slots[slot]; }

int free_data_slot(int slot) {
  if (!g_slots[slot].payload) return -1;
  mem_free(g_slots[slot].payload);
  g_slots[slot].payload = nullptr;
  return 0;
}

void release_data_slots(void) {
  for (int i = 0; i < DATA_SLOT_COUNT; ++i) free_data_slot(i);
  remove_system_end(release_data_slots);
}

int load_data_slot(int slot, const char* name) {
  add_system_end(release_data_slots);
  free_data_slot(slot);
  FILE* stream = open_resource(name, "rb");
  // A file cut short leaves the rest of the record and of the payload zero.
  uint8_t record[DATA_RECORD_BYTES] = {};
  fread(record, 1, sizeof record, stream);
  DataSlot* target = &g_slots[slot];
  target->payload_size = (uint16_t)(record[4] | record[5] << 8);
  memcpy(target->rest, record + 6, sizeof target->rest);
  target->payload = (uint8_t*)mem_alloc(target->payload_size);
  memset(target->payload, 0, target->payload_size);
  fread(target->payload, 1, target->payload_size, stream);
  close_resource(stream);
  return 0;
}
