// Small update media for the checker's tests: an UPDATE.PAK (or plain files) holding
// UPDATE.ENV, update.bmp and update.itw, beside a read-me and a copy source, each part
// replaceable; BMP pictures built byte by byte.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "resfs_files.h"

// A BMP file: `width` x `height` (negative: top-down), `bits` per pixel, a colour table of
// `entries` 4-byte records, pixel index (c, r) = `pixel`(c, r) (bottom-up storage unless the
// height is negative). `gap` bytes between the table and the rows, and the file header's
// pixel offset moved by `offset_shift` from where the rows really are; `compression` goes
// into the header as it is.
struct BmpShape {
  int width = 480;
  int height = 280;
  int bits = 8;
  int entries = 220;
  uint32_t compression = 0;
  int gap = 0;
  int offset_shift = 0;
  int (*pixel)(int c, int r) = nullptr;  // null: (c + r) % 200 (% 16 for 4 bits)
};
std::string bmp_picture(const BmpShape& shape);

// update.itw: the 134-byte record and a payload of 4 bytes.
std::string itw_file(void);

struct MediumParts {
  std::string env;                   // UPDATE.ENV's text
  std::string bmp;                   // update.bmp
  bool env_plain = false;            // UPDATE.ENV beside the updater instead of in the archive
  bool with_env = true, with_bmp = true, with_itw = true, with_readme = true, with_source = true;
  std::vector<Member> members;       // more archive members
  std::vector<Member> plain_files;   // more files beside the updater (names with "\" folders)
};

// The sound medium every case starts from: no findings at all.
MediumParts sound_medium(void);
extern const char kSoundEnv[];

// Writes the medium into the current directory.
void write_medium(const MediumParts& parts);
