#include "files/files_startup.h"

#include "files/environment.h"
#include "files/file_fields.h"
#include "files/file_handles.h"
#include "files/file_open_close.h"
#include "files/launch_info.h"
#include "base/process_exit.h"
#include "values/string_release.h"

void files_init() {
  kx::file_tables_reset();
  environ_count = kx::count_environment();
  kx_register_file_layer(kx::close_all_files, kx::flush_all_files);
  kxs_field_link_detach = kx::field_unbind;
}
