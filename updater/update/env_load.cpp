// Loading "UPDATE.ENV" through the resource lookup: a plain file, a file of the directory
// source or a member of the update archive.
#include "env_table.h"
#include "frame.h"
#include "resource_lookup.h"

static const char env_file_name[] = "UPDATE.ENV";

void load_env(void) {
  if (!resource_exists(env_file_name)) {
    error_box("環境設定ファイル[UPDATE.ENV]が見つかりません！");
    app_exit(1);
  }
  FILE* stream = open_resource(env_file_name, "rt");
  env_load_stream(stream);
  close_resource(stream);
}
