// The dry run's two outputs: the report for people and the prediction for machines.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include "dry_run.h"

enum { LINE_SIZE = 2048 };

const char* dry_end_text(DryEnd end) {
  switch (end) {
    case DRY_END_MINIOK:
      return "MINIOK";
    case DRY_END_FAILED:
      return "アップデートに失敗しました";
    case DRY_END_MOREDISKFREE:
      return "MOREDISKFREE";
    default:
      return "環境設定ファイル[UPDATE.ENV]が見つかりません！";
  }
}

static void say(DryWrite write, void* context, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
static void say(DryWrite write, void* context, const char* format, ...) {
  char line[LINE_SIZE];
  va_list args;
  va_start(args, format);
  vsnprintf(line, sizeof line, format, args);
  va_end(args);
  write(context, line);
}

// A cp932 text shown as UTF-8 (bytes that are not cp932 as "?").
static const char* shown(const char* cp932, char* out, size_t size) {
  if (dry_name_utf8(cp932, out, size) < 0) snprintf(out, size, "?");
  return out;
}

// "COPY3" for the pair COPY3_F / COPY3_T, "COPYEXE" for the executable's; deletions keep
// their key.
static void step_label(const UpdateStep* step, char* out, size_t size) {
  snprintf(out, size, "%s", step->key);
  char* half = strstr(out, "_F");
  if (step->kind == STEP_COPY && half) *half = 0;
}

static const char* copy_failure(DryOutcome outcome) {
  switch (outcome) {
    case DRY_FAIL_TARGET_NAME:
      return "the target's name is not one Windows takes";
    case DRY_FAIL_TOO_LONG:
      return "the path in the game folder is too long (260 or more units)";
    case DRY_FAIL_SOURCE_NAME:
      return "the source's name is not valid Shift-JIS or too long";
    case DRY_FAIL_SOURCE_MISSING:
      return "the source is not on the medium";
    case DRY_FAIL_NO_FOLDER:
      return "its folder does not exist (the updater creates no folder)";
    default:
      return "a folder has the target's name";
  }
}

static void write_step(DryWrite write, void* context, int index) {
  const UpdateStep* step = &dry_run()->steps.step[index];
  const DryStepResult* result = &dry_run()->result[index];
  char label[32], source[GAME_NAME_SIZE * 2], target[GAME_NAME_SIZE * 2];
  step_label(step, label, sizeof label);
  shown(step->target, target, sizeof target);
  if (step->kind == STEP_COPY)
    say(write, context, "  %-10s %s -> %s: ", label, shown(step->source, source, sizeof source),
        target);
  else
    say(write, context, "  %-10s delete %s: ", label, target);
  switch (result->outcome) {
    case DRY_COPIED_NEW:
      say(write, context, "new (%llu bytes)\n", (unsigned long long)result->new_size);
      break;
    case DRY_REPLACED:
    case DRY_READONLY_REPLACED:
      say(write, context, "%sreplaced (%llu -> %llu bytes)\n",
          result->outcome == DRY_READONLY_REPLACED ? "read-only, " : "",
          (unsigned long long)result->old_size, (unsigned long long)result->new_size);
      break;
    case DRY_OUTSIDE:
      say(write, context, "outside the game folder (\"..\"): not simulated\n");
      break;
    case DRY_DELETED:
      say(write, context, "deleted\n");
      break;
    case DRY_ABSENT:
      say(write, context, "absent, nothing deleted\n");
      break;
    case DRY_KEPT_READONLY:
      say(write, context, "kept: read-only (DeleteFile refuses read-only files)\n");
      break;
    case DRY_KEPT_FOLDER:
      say(write, context, "kept: a folder (DeleteFile deletes files only)\n");
      break;
    case DRY_NOT_RUN:
      say(write, context, "%s\n",
          dry_run()->end == DRY_END_MOREDISKFREE ? "not run" : "not deleted: the update failed");
      break;
    default:
      say(write, context, "FAILS: %s\n", copy_failure(result->outcome));
  }
}

void write_dry_report(DryWrite write, void* context) {
  const DryRun* run = dry_run();
  char text[GAME_NAME_SIZE * 2];
  say(write, context,
      "Dry run on the game folder (nothing is changed; names matched without "
      "regard to case):\n");
  say(write, context,
      "  free space: the copies need %llu bytes at their peak; the updater "
      "starts with %llu MiB free or more",
      (unsigned long long)run->peak_bytes, update_need_mib(run->peak_bytes));
  if (run->free_mib < 0)
    say(write, context, " (the game folder's volume was not measured)\n");
  else
    say(write, context, "; the game folder's volume has %d MiB: %s\n", run->free_mib,
        run->end == DRY_END_MOREDISKFREE ? "too little, the updater refuses (MOREDISKFREE)"
                                         : "enough");
  if (run->steps.count == 0) say(write, context, "  (no steps: nothing to copy or delete)\n");
  for (int i = 0; i < run->steps.count; i++) write_step(write, context, i);
  say(write, context, "End: \"%s\"", shown(dry_end_text(run->end), text, sizeof text));
  if (run->end == DRY_END_FAILED) {
    say(write, context, ", failed:");
    for (int i = 0; i < run->steps.count; i++) {
      if (!dry_outcome_failed(run->result[i].outcome)) continue;
      char label[32];
      step_label(&run->steps.step[i], label, sizeof label);
      say(write, context, " %s", label);
    }
  }
  say(write, context, "\n");
  if (game_folder_truncated())
    say(write, context,
        "  (the game folder holds more than %d entries: the rest is not predicted)\n",
        GAME_ENTRY_MAX);
}

void write_prediction(DryWrite write, void* context) {
  static int order[GAME_ENTRY_MAX];
  static const char* const ends[] = {"MINIOK", "FAILED", "MOREDISKFREE", "STOPPED"};
  say(write, context, "medium-check prediction 1\nend %s\n", ends[dry_run()->end]);
  game_sorted_order(order);
  for (int i = 0; i < game_entry_count(); i++) {
    const GameEntry* e = game_entry(order[i]);
    if (e->attributes & GAME_FOLDER)
      say(write, context, "folder %08X - - %s\n", (unsigned)e->attributes, e->shown);
    else
      say(write, context, "file %08X %llu %016llX %s\n", (unsigned)e->attributes,
          (unsigned long long)e->size, (unsigned long long)e->hash, e->shown);
  }
}
