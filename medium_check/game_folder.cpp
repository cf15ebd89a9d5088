// The game folder's table: a fixed array searched linearly with the updater's own
// case-insensitive Shift-JIS comparison.
#include "game_folder.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "sjis.h"

static struct {
  GameEntry entry[GAME_ENTRY_MAX];
  int count;
  int truncated;  // 1 once an entry did not fit
} game;

void game_folder_reset(void) {
  game.count = 0;
  game.truncated = 0;
}

GameEntry* game_find(const char* name) {
  if (!name[0]) return nullptr;
  for (int i = 0; i < game.count; i++)
    if (game.entry[i].name[0] && sjis_icompare(game.entry[i].name, name) == 0)
      return &game.entry[i];
  return nullptr;
}

int game_put(const char* name, const char* shown, uint32_t attributes, uint64_t size,
             uint64_t hash) {
  GameEntry* entry = game_find(name);
  if (!entry) {
    if (game.count >= GAME_ENTRY_MAX) {
      game.truncated = 1;
      return 1;
    }
    entry = &game.entry[game.count++];
  }
  snprintf(entry->name, sizeof entry->name, "%s", name);
  snprintf(entry->shown, sizeof entry->shown, "%s", shown);
  entry->attributes = attributes;
  entry->size = size;
  entry->hash = hash;
  return 0;
}

void game_remove(const char* name) {
  GameEntry* entry = game_find(name);
  if (!entry) return;
  int index = (int)(entry - game.entry);
  memmove(&game.entry[index], &game.entry[index + 1],
          (size_t)(game.count - index - 1) * sizeof(GameEntry));
  game.count--;
}

int game_entry_count(void) { return game.count; }
const GameEntry* game_entry(int index) { return &game.entry[index]; }
int game_folder_truncated(void) { return game.truncated; }

static int compare_shown(const void* a, const void* b) {
  const unsigned char* x = (const unsigned char*)game.entry[*(const int*)a].shown;
  const unsigned char* y = (const unsigned char*)game.entry[*(const int*)b].shown;
  for (;; x++, y++) {
    int cx = *x >= 'a' && *x <= 'z' ? *x - 32 : *x;
    int cy = *y >= 'a' && *y <= 'z' ? *y - 32 : *y;
    if (cx != cy || !cx) return cx - cy;
  }
}

void game_sorted_order(int* order) {
  for (int i = 0; i < game.count; i++) order[i] = i;
  qsort(order, (size_t)game.count, sizeof *order, compare_shown);
}

uint64_t content_hash(uint64_t hash, const void* data, size_t size) {
  const unsigned char* p = (const unsigned char*)data;
  for (size_t i = 0; i < size; i++) hash = (hash ^ p[i]) * 0x100000001B3ull;
  return hash;
}

int content_hash_file(FILE* file, uint64_t* size, uint64_t* hash) {
  static char buffer[32768];
  *size = 0;
  *hash = CONTENT_HASH_START;
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) {
    *size += got;
    *hash = content_hash(*hash, buffer, got);
  }
  return ferror(file) ? -1 : 0;
}
