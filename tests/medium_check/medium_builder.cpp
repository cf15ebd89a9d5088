// Builders of the test media.
#include "medium_builder.h"

const char kSoundEnv[] =
    "/ a sound update\n"
    "APPTITLE Sample|Update\n"
    "APPNAME Sample\n"
    "README ReadMe.txt\n"
    "INIFILE SAMPLE.INI\n"
    "INISECTION SAMPLE_SEC\n"
    "COPY1_F NEW.DAT\n"
    "COPY1_T NEW.DAT\n";

std::string bmp_picture(const BmpShape& s) {
  int rows = s.height < 0 ? -s.height : s.height;
  size_t row_bytes = s.bits >= 8 ? size_t(s.width) * (s.bits / 8) : (size_t(s.width) * s.bits + 7) / 8;
  size_t stride = (row_bytes + 3) & ~size_t(3);
  std::string header(54, 0);
  header[0] = 'B';
  header[1] = 'M';
  size_t pixels_at = 54 + size_t(s.entries) * 4 + size_t(s.gap);
  size_t total = pixels_at + stride * size_t(rows);
  put_u32(header, 2, uint32_t(total));
  put_u32(header, 10, uint32_t(long(pixels_at) + s.offset_shift));
  put_u32(header, 14, 40);
  put_u32(header, 18, uint32_t(s.width));
  put_u32(header, 22, uint32_t(s.height));
  put_u16(header, 26, 1);
  put_u16(header, 28, uint16_t(s.bits));
  put_u32(header, 30, s.compression);
  put_u32(header, 46, uint32_t(s.entries));
  std::string file = header;
  for (int i = 0; i < s.entries; ++i) file += std::string{char(i), char(255 - i), char(i * 7), 0};
  file += std::string(size_t(s.gap), 0);
  for (int stored = 0; stored < rows; ++stored) {
    int r = s.height < 0 ? stored : rows - 1 - stored;
    std::string row(stride, 0);
    for (int c = 0; c < s.width; ++c) {
      int v = s.pixel ? s.pixel(c, r) : (c + r) % (s.bits == 4 ? 16 : 200);
      if (s.bits == 8) row[size_t(c)] = char(v);
      else if (s.bits == 4) row[size_t(c) / 2] |= char(c & 1 ? v & 15 : (v & 15) << 4);
      else if (s.bits == 1 && (v & 1)) row[size_t(c) / 8] |= char(0x80 >> (c % 8));
      else if (s.bits == 24) row[size_t(c) * 3] = char(v);
    }
    file += row;
  }
  return file;
}

std::string itw_file(void) {
  std::string record(134, 0);
  record[4] = 4;  // payload size
  return record + "ITW!";
}

MediumParts sound_medium(void) {
  MediumParts parts;
  parts.env = kSoundEnv;
  parts.bmp = bmp_picture(BmpShape());
  return parts;
}

void write_medium(const MediumParts& parts) {
  std::vector<Member> members = parts.members;
  if (parts.with_env && parts.env_plain) put_file("UPDATE.ENV", parts.env);
  else if (parts.with_env) members.push_back({"UPDATE.ENV", parts.env});
  if (parts.with_bmp) members.push_back({"update.bmp", parts.bmp});
  if (parts.with_itw) members.push_back({"update.itw", itw_file()});
  put_file("UPDATE.PAK", pak_archive(members));
  if (parts.with_readme) put_file("ReadMe.txt", "read me\r\n");
  if (parts.with_source) put_file("NEW.DAT", "new data");
  for (const Member& m : parts.plain_files) {
    size_t slash = m.name.rfind('\\');
    if (slash != std::string::npos) make_dir(m.name.substr(0, slash));
    put_file(m.name, m.data);
  }
}
