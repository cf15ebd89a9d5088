// The data slots on files in the working directory and in an archive: record and payload,
// replacement, freeing, short files and the shutdown chain.
#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include "data_slots.h"
#include "frame_double.h"
#include "resfs_files.h"
#include "resource_sources.h"

namespace {

// A data file: the record with `declared` as its payload size and bytes 6..133 counting up,
// then `payload`.
std::string data_file(uint16_t declared, const std::string& payload) {
  std::string bytes(DATA_RECORD_BYTES, '\0');
  bytes[0] = bytes[1] = bytes[2] = bytes[3] = '\x7F';
  bytes[4] = (char)(declared & 0xFF);
  bytes[5] = (char)(declared >> 8);
  for (int i = 6; i < DATA_RECORD_BYTES; ++i) bytes[i] = (char)i;
  return bytes + payload;
}

void put(const char* name, const std::string& bytes) {
  FILE* file = fopen(name, "wb");
  ASSERT_NE(nullptr, file);
  fwrite(bytes.data(), 1, bytes.size(), file);
  fclose(file);
}

class DataSlots : public ::testing::Test {
 protected:
  void SetUp() override {
    frame_double_reset();
    reset_resource_sources();
    for (int i = 0; i < DATA_SLOT_COUNT; ++i) free_data_slot(i);
  }
  void TearDown() override { reset_resource_sources(); }
};

TEST_F(DataSlots, LoadKeepsRecordAndPayloadAndReplacesThePrevious) {
  put("slot_a.itw", data_file(5, "HELLO"));
  put("slot_b.itw", data_file(2, "ok"));
  EXPECT_EQ(0, load_data_slot(0, "slot_a.itw"));
  const DataSlot* slot = data_slot(0);
  ASSERT_NE(nullptr, slot->payload);
  EXPECT_EQ(5, slot->payload_size);
  EXPECT_EQ("HELLO", std::string((const char*)slot->payload, 5));
  EXPECT_EQ(6, slot->rest[0]);
  EXPECT_EQ(133, slot->rest[127]);

  int before = frame_double()->allocations;
  EXPECT_EQ(0, load_data_slot(0, "slot_b.itw"));
  EXPECT_EQ(before + 1, frame_double()->allocations);
  EXPECT_EQ("ok", std::string((const char*)data_slot(0)->payload, 2));
  EXPECT_EQ(nullptr, data_slot(1)->payload);
}

TEST_F(DataSlots, FreeingAnEmptySlotReportsIt) {
  put("slot_a.itw", data_file(0, ""));
  EXPECT_EQ(-1, free_data_slot(3));
  load_data_slot(3, "slot_a.itw");
  EXPECT_NE(nullptr, data_slot(3)->payload);  // a zero-size payload still has its buffer
  EXPECT_EQ(0, data_slot(3)->payload_size);
  EXPECT_EQ(0, free_data_slot(3));
  EXPECT_EQ(-1, free_data_slot(3));
}

TEST_F(DataSlots, ShortFilesLeaveTheUnreadBytesZero) {
  put("slot_short.itw", data_file(300, "abc"));  // payload of 3 of 300 bytes
  load_data_slot(1, "slot_short.itw");
  const DataSlot* slot = data_slot(1);
  ASSERT_EQ(300, slot->payload_size);
  EXPECT_EQ('c', slot->payload[2]);
  for (int i = 3; i < 300; ++i) ASSERT_EQ(0, slot->payload[i]) << i;

  put("slot_cut.itw", data_file(7, "").substr(0, 40));  // the record itself cut short
  load_data_slot(2, "slot_cut.itw");
  slot = data_slot(2);
  EXPECT_EQ(7, slot->payload_size);
  EXPECT_EQ(33, slot->rest[33 - 6]);
  EXPECT_EQ(0, slot->rest[40 - 6]);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(0, slot->payload[i]);
}

// A file inside an archive ends with its member: what the member lacks stays zero and is never
// taken from the member after it.
TEST_F(DataSlots, AnArchiveMemberEndsTheFile) {
  const std::string whole = data_file(4, "WXYZ");
  const std::string members[] = {whole, data_file(300, "abc"), whole.substr(0, 40), ""};
  for (const std::string& member : members) {
    SCOPED_TRACE(member.size());
    reset_resource_sources();
    put("SLOTS.PAK", pak_archive({{"update.itw", member}, {"zz.dat", std::string(400, '\xEE')}}));
    ASSERT_EQ(0, add_archive_source("SLOTS.PAK"));
    load_data_slot(0, "update.itw");
    const DataSlot* slot = data_slot(0);
    std::string expected = member;
    expected.resize(DATA_RECORD_BYTES + slot->payload_size, '\0');
    EXPECT_EQ(uint8_t(expected[4]) | uint8_t(expected[5]) << 8, slot->payload_size);
    EXPECT_EQ(expected.substr(6, 128), std::string((const char*)slot->rest, 128));
    EXPECT_EQ(expected.substr(DATA_RECORD_BYTES), std::string((const char*)slot->payload, slot->payload_size));
  }
}

TEST_F(DataSlots, ShutdownEmptiesEverySlotOnce) {
  put("slot_a.itw", data_file(1, "x"));
  load_data_slot(0, "slot_a.itw");
  load_data_slot(4, "slot_a.itw");
  run_system_end();
  EXPECT_EQ(nullptr, data_slot(0)->payload);
  EXPECT_EQ(nullptr, data_slot(4)->payload);
  // The callback left the chain: loading again and running the chain twice frees once.
  load_data_slot(0, "slot_a.itw");
  run_system_end();
  EXPECT_EQ(nullptr, data_slot(0)->payload);
}

}  // namespace
