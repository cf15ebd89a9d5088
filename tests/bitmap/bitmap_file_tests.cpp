// The bitmap loader on BMP files written by ImageMagick (see make_pictures.sh): every page
// pixel is checked against the colour ImageMagick reads from the same file, through the
// file's own colour table, with the updater's splash settings (offset 16, 220 colours).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include "bitmap_loader.h"
#include "bitmap_support.h"
#include "display_double.h"
#include "frame_double.h"
#include "pak_format.h"
#include "resource_sources.h"
#include "screen_pages.h"

namespace {

struct Picture {
  const char* name;  // NAME.bmp and NAME.ppm
  int table_at;      // file offset of the colour table
  int record_bytes;  // 4, or 3 for the 12-byte header
  int extra_column;  // 1 for a 4-bit picture of odd width, which writes one pixel more
};

const Picture kEightBit = {"p8", 54, 4, 0};
const Picture kFullPalette = {"full", 54, 4, 0};  // 256 colours: indices above the limit occur
const Picture kFourBit = {"p4", 54, 4, 1};        // 9 pixels wide
const Picture kCoreHeader = {"core", 26, 3, 0};
const Picture kLongHeader = {"v5", 138, 4, 0};    // 124-byte header
const Picture kWide = {"wide", 54, 4, 0};         // 200 x 150

struct Colours {
  int width = 0, height = 0;
  std::vector<std::vector<int>> rgb;  // row by row from the top
};

Colours read_ppm(const std::string& name) {
  Colours image;
  std::string bytes = read_file(name);
  int maxval = 0, used = 0;
  if (sscanf(bytes.c_str(), "P6 %d %d %d%n", &image.width, &image.height, &maxval, &used) != 3 ||
      maxval != 255) {
    ADD_FAILURE() << name << " is not an 8-bit PPM";
    return image;
  }
  size_t at = size_t(used) + 1;
  EXPECT_EQ(bytes.size(), at + size_t(image.width) * image.height * 3) << name;
  for (int i = 0; i < image.width * image.height && at + 3 <= bytes.size(); ++i, at += 3)
    image.rgb.push_back({uint8_t(bytes[at]), uint8_t(bytes[at + 1]), uint8_t(bytes[at + 2])});
  return image;
}

// The file's colour table, as index by colour; every colour the picture shows must name one
// entry only, or the file cannot tell which index a pixel holds.
std::map<std::vector<int>, std::vector<int>> table_by_colour(const std::string& file,
                                                             const Picture& picture) {
  std::map<std::vector<int>, std::vector<int>> by_colour;
  uint32_t pixels_at = get_u32(file, 10);
  for (int i = 0; picture.table_at + (i + 1) * picture.record_bytes <= int(pixels_at); ++i) {
    size_t at = size_t(picture.table_at) + size_t(i) * picture.record_bytes;
    by_colour[{uint8_t(file[at + 2]), uint8_t(file[at + 1]), uint8_t(file[at])}].push_back(i);
  }
  return by_colour;
}

uint8_t page_row_pixel(int x, int y) {
  int draw = select_draw_page(-1);
  return y < SCREEN_HEIGHT ? pixel_at(draw, x, y) : pixel_at(1 - draw, x, y - SCREEN_HEIGHT);
}

// Checks that `picture`, drawn at (x, y) with `offset` and `limit`, put at every pixel the
// index its colour has in the file's table, moved up by the offset (0 above the limit), and
// that the palette entry there has that colour. Rows from 400 on are on the other page.
// Returns the highest file index seen.
int expect_drawn(const Picture& picture, int x, int y, int offset, int limit,
                 const std::string& bmp_name = "") {
  std::string file = read_file(bmp_name.empty() ? std::string(picture.name) + ".bmp" : bmp_name);
  Colours colours = read_ppm(std::string(picture.name) + ".ppm");
  std::map<std::vector<int>, std::vector<int>> table = table_by_colour(file, picture);
  int mismatches = 0, highest = -1;
  for (int r = 0; r < colours.height; ++r)
    for (int c = 0; c < colours.width; ++c) {
      const std::vector<int>& rgb = colours.rgb[size_t(r) * colours.width + c];
      auto hit = table.find(rgb);
      if (hit == table.end() || hit->second.size() != 1) {
        ADD_FAILURE() << picture.name << ": colour at " << c << "," << r << " is not one entry";
        return highest;
      }
      int v = hit->second[0];
      highest = std::max(highest, v);
      int expected = v > limit ? 0 : (v + offset) & 255;
      int actual = page_row_pixel(x + c, y + r);
      bool right = actual == expected && (v > limit || palette_rgb(actual) == rgb);
      if (!right && ++mismatches <= 5)
        ADD_FAILURE() << picture.name << " pixel " << c << "," << r << ": index " << v << " drawn as "
                      << actual << ", expected " << expected;
    }
  EXPECT_EQ(0, mismatches) << picture.name;
  return highest;
}

void load_splash(const char* name, int x, int y) {
  set_bitmap_colour_offset(16);
  set_bitmap_colour_count(220);
  load_screen_bitmap(name, x, y);
}

using BitmapFileTest = BitmapTest;

TEST_F(BitmapFileTest, PalettePicturesDrawTheirColours) {
  const Picture pictures[] = {kEightBit, kFullPalette, kCoreHeader, kLongHeader, kFourBit};
  for (const Picture& picture : pictures) {
    SCOPED_TRACE(picture.name);
    SetUp();
    load_splash((std::string(picture.name) + ".bmp").c_str(), 80, 0);
    Colours size = read_ppm(std::string(picture.name) + ".ppm");
    int highest = expect_drawn(picture, 80, 0, 16, 219);
    EXPECT_TRUE(changed_exactly(0, 80, 0, size.width + picture.extra_column, size.height));
    EXPECT_EQ(0, changed_pixels(1));
    if (std::string(picture.name) == "full") {
      EXPECT_GT(highest, 219);  // the cut-off was tried
    }
    EXPECT_EQ(1, display_double()->palette_applies);
    ASSERT_EQ(1, display_double()->rect_count);
    DoubleRect rect = display_double()->rects[0];
    EXPECT_EQ((std::vector<int>{80, 0, size.width, size.height}),
              (std::vector<int>{rect.x, rect.y, rect.w, rect.h}));
  }
}

TEST_F(BitmapFileTest, FourBitOddWidthWritesTheLastLowNibble) {
  load_splash("p4.bmp", 100, 10);
  std::string file = read_file("p4.bmp");
  uint32_t pixels_at = get_u32(file, 10);
  for (int r = 0; r < 7; ++r) {
    int last_byte = uint8_t(file[pixels_at + size_t(6 - r) * 8 + 4]);  // rows of 8 bytes
    EXPECT_EQ(16 + (last_byte & 15), pixel_at(0, 109, 10 + r)) << r;
    EXPECT_EQ(CANVAS, pixel_at(0, 110, 10 + r)) << r;
  }
}

// The rows of an uncompressed 8-bit BMP file in the opposite order, its height negated.
std::string stored_top_down(const std::string& file) {
  int32_t width = int32_t(get_u32(file, 18)), height = int32_t(get_u32(file, 22));
  size_t stride = (size_t(width) + 3) & ~size_t(3), pixels_at = get_u32(file, 10);
  std::string flipped = file.substr(0, pixels_at);
  for (int s = height - 1; s >= 0; --s) flipped += file.substr(pixels_at + s * stride, stride);
  put_u32(flipped, 22, uint32_t(-height));
  return flipped;
}

TEST_F(BitmapFileTest, TopDownRowsDrawLikeBottomUp) {
  write_file("p8_top_down.bmp", stored_top_down(read_file("p8.bmp")));
  load_splash("p8_top_down.bmp", 80, 0);
  expect_drawn(kEightBit, 80, 0, 16, 219, "p8_top_down.bmp");
  EXPECT_TRUE(changed_exactly(0, 80, 0, 37, 23));
}

// A colour table holding only the entries the pixels use: the palette entries past them keep
// their colours, they are not taken from the pixel bytes behind the table.
TEST_F(BitmapFileTest, FewerColoursUsedSetOnlyTheirEntries) {
  std::string file = read_file("p8.bmp");
  load_splash("p8.bmp", 80, 0);
  int used = expect_drawn(kEightBit, 80, 0, 16, 219) + 1;
  ASSERT_LT(used, 220);
  SetUp();
  std::string few = file.substr(0, 54 + 4 * used) + file.substr(54 + 4 * 256);
  put_u32(few, 2, uint32_t(few.size()));
  put_u32(few, 10, uint32_t(54 + 4 * used));
  put_u32(few, 46, uint32_t(used));
  write_file("p8_few.bmp", few);
  load_splash("p8_few.bmp", 80, 0);
  expect_drawn(kEightBit, 80, 0, 16, 219, "p8_few.bmp");
  for (int i = 0; i < 256; ++i)
    EXPECT_EQ(i < 16 || i >= 16 + used, palette_untouched(i)) << i;
}

TEST_F(BitmapFileTest, CompressedRowsAreNotDrawn) {
  set_bitmap_colour_offset(16);
  load_screen_bitmap("rle.bmp", 80, 0);
  EXPECT_EQ(0, changed_pixels(0) + changed_pixels(1));
  EXPECT_EQ(0, display_double()->palette_applies + display_double()->rect_count);
  for (int i = 0; i < 256; ++i) EXPECT_TRUE(palette_untouched(i)) << i;
  load_screen_bitmap("p8.bmp", 80, 0);  // the settings went back to offset 0, limit 255
  expect_drawn(kEightBit, 80, 0, 0, 255);
}

TEST_F(BitmapFileTest, NegativePlacementCentres) {
  load_splash("wide.bmp", -1, -1);  // 200 x 150
  expect_drawn(kWide, 220, 125, 16, 219);
  EXPECT_TRUE(changed_exactly(0, 220, 125, 200, 150));
}

// Rows below the draw page's bottom continue at the top of the other page, whichever page is
// drawn into; only the draw page's rectangle is repainted, and only when it is on view.
TEST_F(BitmapFileTest, TallPlacementContinuesOnTheOtherPage) {
  for (int draw = 0; draw < 2; ++draw) {
    SCOPED_TRACE(draw);
    SetUp();
    select_draw_page(draw);
    load_splash("wide.bmp", 80, 300);
    expect_drawn(kWide, 80, 300, 16, 219);
    EXPECT_TRUE(changed_exactly(draw, 80, 300, 200, 100));
    EXPECT_TRUE(changed_exactly(1 - draw, 80, 0, 200, 50));
    if (draw == 0) {
      ASSERT_EQ(1, display_double()->rect_count);
      DoubleRect rect = display_double()->rects[0];
      EXPECT_EQ((std::vector<int>{80, 300, 200, 150}),
                (std::vector<int>{rect.x, rect.y, rect.w, rect.h}));
    } else {
      EXPECT_EQ(0, display_double()->rect_count);
    }
  }
}

// A file that is not a picture is left alone and the settings stay for the next load; a
// completed load puts them back to offset 0 and limit 255.
TEST_F(BitmapFileTest, SettingsStayForNonPicturesAndResetAfterALoad) {
  std::string picture = read_file("p8.bmp");
  std::string other_signature = picture;
  other_signature[1] = 'N';
  const std::string non_pictures[] = {other_signature, picture.substr(0, 13), ""};
  for (const std::string& bytes : non_pictures) {
    SCOPED_TRACE(bytes.size());
    SetUp();
    write_file("not_a_picture.bmp", bytes);
    set_bitmap_colour_offset(16);
    set_bitmap_colour_count(220);
    load_screen_bitmap("not_a_picture.bmp", 80, 0);
    EXPECT_EQ(0, changed_pixels(0) + changed_pixels(1));
    EXPECT_EQ(0, display_double()->palette_applies);
    EXPECT_EQ(0, frame_double()->allocations);
    load_screen_bitmap("p8.bmp", 80, 0);
    expect_drawn(kEightBit, 80, 0, 16, 219);
    load_screen_bitmap("p8.bmp", 80, 100);
    expect_drawn(kEightBit, 80, 100, 0, 255);
  }
}

// The file-size field bounds what is read, and so do the file's real length and, for an
// archive member, the member's length: rows the bytes do not hold are not drawn.
TEST_F(BitmapFileTest, FileSizeFieldIsCheckedAgainstTheBytesRead) {
  BitmapShape shape;  // 4 x 3, 8 bits, 256 entries: rows of 4 bytes at the end
  std::string image = bitmap_image(shape);
  uint32_t whole = uint32_t(image.size() + 14);
  struct Case {
    const char* name;
    uint32_t size_field;
    size_t file_bytes;  // of the whole file
    int rows_drawn;     // the last stored rows are the top rows of the picture
  } cases[] = {
      {"true size", whole, whole, 3},
      {"field beyond the file", whole + 1000, whole, 3},
      {"field of 4 GiB", 0xFFFFFFFF, whole, 3},
      {"field short of the last row", whole - 1, whole, 2},
      {"file short of the last row", whole, whole - 4, 2},
      {"field below a header", 14 + 11, whole, -1},
      {"field of the file header only", 14, whole, -1},
      {"field of zero", 0, whole, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    write_file("sized.bmp", bmp_file(image, c.size_field).substr(0, c.file_bytes));
    set_bitmap_colour_offset(16);
    load_screen_bitmap("sized.bmp", 0, 0);
    if (c.rows_drawn < 0) {  // refused, the settings reset all the same
      EXPECT_EQ(0, changed_pixels(0) + display_double()->palette_applies);
      write_file("whole.bmp", bmp_file(image));
      load_screen_bitmap("whole.bmp", 0, 0);
      EXPECT_EQ(built_index(shape, 3, 2), pixel_at(0, 3, 2));
      continue;
    }
    EXPECT_TRUE(changed_exactly(0, 0, 3 - c.rows_drawn, 4, c.rows_drawn));
    EXPECT_EQ(16 + built_index(shape, 3, 2), pixel_at(0, 3, 2));
    EXPECT_EQ(palette_rgb(16 + 200), entry_rgb(200));
  }
}

// A PAK archive holding `members` (name, bytes) in directory order.
std::string pak_image(const std::vector<std::pair<std::string, std::string>>& members) {
  std::vector<PakEntry> entries(members.size() + 1);
  uint32_t offset = uint32_t(PAK_HEADER_SIZE + PAK_ENTRY_SIZE * entries.size());
  std::string data;
  for (size_t i = 0; i < entries.size(); ++i) {
    memset(&entries[i], 0, sizeof entries[i]);
    if (i < members.size()) pak_set_entry_name(&entries[i], members[i].first.c_str());
    entries[i].offset = offset + uint32_t(data.size());
    if (i < members.size()) data += members[i].second;
  }
  EXPECT_LT(pak_entry_compare(&entries[0], &entries[1]), 0);
  PakHeader header;
  pak_init_header(&header, uint32_t(entries.size()));
  return std::string(reinterpret_cast<const char*>(&header), sizeof header) +
         std::string(reinterpret_cast<const char*>(entries.data()), PAK_ENTRY_SIZE * entries.size()) +
         data;
}

TEST_F(BitmapFileTest, ArchiveMemberEndsWhereTheNextBegins) {
  BitmapShape shape;
  shape.height = -3;  // top-down: the member holds the top two rows, its neighbour the third
  std::string whole = bmp_file(bitmap_image(shape));
  std::string member = whole.substr(0, whole.size() - 4);
  write_file("PICTURES.PAK", pak_image({{"A.BMP", member}, {"B.BMP", whole.substr(member.size())}}));
  ASSERT_EQ(0, add_archive_source("PICTURES.PAK"));
  load_screen_bitmap("A.BMP", 0, 0);
  EXPECT_TRUE(changed_exactly(0, 0, 0, 4, 2));
  EXPECT_EQ(built_index(shape, 1, 1), pixel_at(0, 1, 1));
}

}  // namespace

namespace {

// read_bitmap_file hands out what load_screen_bitmap then draws: the file header, and no
// more bytes than the file-size field claims.
TEST_F(BitmapFileTest, ReadingKeepsTheFileHeaderAndTheClaimedBytes) {
  std::string image = bitmap_image(BitmapShape());
  write_file("short.bmp", bmp_file(image, uint32_t(14 + image.size() - 4)));
  BitmapFile file;
  read_bitmap_file("short.bmp", &file);
  EXPECT_TRUE(file.is_bitmap);
  EXPECT_EQ((long long)(14 + image.size()), file.available);
  EXPECT_EQ(image.size() - 4, file.size);
  EXPECT_EQ(0, memcmp(file.data, image.data(), file.size));
  EXPECT_EQ('M', file.file_header[1]);
  release_bitmap_file(&file);
  release_bitmap_file(&file);  // twice does no harm
  EXPECT_EQ(nullptr, file.data);

  write_file("text.bmp", "not a picture at all");
  read_bitmap_file("text.bmp", &file);
  EXPECT_FALSE(file.is_bitmap);
  EXPECT_EQ(nullptr, file.data);
}

}  // namespace
