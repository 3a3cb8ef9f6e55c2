#include "files/files_startup.h"

#include "base/hooks.h"
#include "files/environment.h"
#include "files/file_fields.h"
#include "files/file_handles.h"
#include "files/file_open_close.h"
#include "files/launch_info.h"

void files_init() {
  kx::file_tables_reset();
  environ_count = kx::count_environment();
  kx::hooks.close_all_files = kx::close_all_files;
  kx::hooks.close_all_files_at_exit = kx::close_all_files_at_exit;
  kx::hooks.flush_all_files = kx::flush_all_files;
  kx::hooks.field_unbind = kx::field_unbind;
  kx::hooks.field_overwritten = lrset_field;
}
