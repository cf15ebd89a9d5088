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
  // The stream holds resource_length() bytes: an archive member's data is followed by the
  // next member's, which is not this file's. What the file does not have stays zero.
  size_t available = resource_length() > 0 ? (size_t)resource_length() : 0;
  uint8_t record[DATA_RECORD_BYTES] = {};
  size_t got = fread(record, 1, available < sizeof record ? available : sizeof record, stream);
  available -= got;
  DataSlot* target = &g_slots[slot];
  target->payload_size = (uint16_t)(record[4] | record[5] << 8);
  memcpy(target->rest, record + 6, sizeof target->rest);
  target->payload = (uint8_t*)mem_alloc(target->payload_size);
  memset(target->payload, 0, target->payload_size);
  fread(target->payload, 1, available < target->payload_size ? available : target->payload_size, stream);
  close_resource(stream);
  return 0;
}
