#include "frame/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "base/clock.h"
#include "base/error.h"
#include "base/flags.h"
#include "base/hooks.h"
#include "base/termination_signals.h"
#include "files/files_startup.h"
#include "files/launch_info.h"
#include "frame/shutdown.h"
#include "frame/statement_check.h"
#include "frame/threads.h"
#include "frame/traps.h"
#include "input/soft_keys.h"
#include "input/devices.h"
#include "input/mouse_queues.h"
#include "input/keyboard.h"
#include "legacy/cpu.h"
#include "platform/window.h"
#include "screen/compose/presentation_state.h"
#include "screen/images/console_image.h"
#include "screen/screen_startup.h"
#include "values/conventional_memory.h"
#include "values/memory_startup.h"
#include "values/string_startup.h"

extern char** environ;

void set_time_bases() {
  // The real-time clock to the millisecond, read beside the monotonic one:
  // TIMER and the BIOS tick count from this moment of the day, so no start
  // has to wait for the wall clock's next whole second.
  timespec now{};
  const bool have_time = clock_gettime(CLOCK_REALTIME, &now) == 0;
  clock_firsttimervalue = GetTicks();
  std::time_t second = have_time ? now.tv_sec : 0;
  const uint32_t millisecond = have_time ? static_cast<uint32_t>(now.tv_nsec / 1'000'000) : 0;
  std::tm local{};
  if (localtime_r(&second, &local)) {
    tarn_firsttimervalue =
        static_cast<uint32_t>((local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) * 1000) + millisecond;
  } else {
    tarn_firsttimervalue = 0;
  }
}

void install_frame_hooks() {
  kx::hooks.park_application_thread = &end;
  kx::hooks.statement_check = [](uint32_t line) { evnt(line); };
}

int kx_main(int argc, char** argv, const kx_program& program) {
#if defined(__SANITIZE_THREAD__)
  // The software OpenGL renderer's worker threads synchronise inside an
  // uninstrumented library, which ThreadSanitizer reports as races; such a
  // build rasterises on the window thread. Set before any thread starts,
  // since other threads read the environment.
  setenv("LP_NUM_THREADS", "0", 0);
#endif
  kx_set_program(program);
  kx::program_options = program.options;
  install_frame_hooks();
  // Each subsystem's start-up runs in this order; a subsystem creates its
  // own handle lists when it starts.
  platform_init();
  if (program.options.resizable) {
    ScreenResize = 1;
    resize_snapback = 0;
  }
  // A console-only program never shows a window.
  if (program.options.start_hidden || program.options.console_only) screen_hide = 1;
  screen_renderer_init();
  kx::mouse_queues_init();
  traps_init();
  files_init();
  screen_fonts_init();
  screen_images_init();
  cpu_registers_init();
  mem_init();
  kxs_init();
  launch_set_directories(argc > 0 ? argv[0] : nullptr);
  launch_set_command_line(argc, argv);
  set_time_bases();
  keyboard_init();
  kx::soft_keys_init();
  screen_palettes_init();
  screen_mode_init();
  if ((program.options.console || program.options.console_only) &&
      !kx::console_image_create(program.options.console_only)) {
    error(err::out_of_memory);
  }
  screen_icons_init();
  devices_init();

  // From here on other threads use the runtime's static objects. Whatever
  // calls exit() after this (a library, the C runtime) ends the process here,
  // before the destructors of those objects run underneath the threads.
  on_exit([](int status, void*) {
    std::fflush(nullptr);
    std::_Exit(status);
  }, nullptr);
  install_termination_handlers();
  start_application_thread();
  start_timer_thread();
  lock_display_required = 1;
  start_main_loop_thread();

  if (screen_hide.load() == 0) create_window = 1;
  while (create_window.load() == 0) Sleep(100);
  run_window(argc, argv);
  // The toolkit's loop does not return in normal running; if it ever does,
  // the program is ended through the orderly path, which exits the process.
  exit_value.fetch_or(1);
  close_program = 1;
  for (;;) Sleep(100);
}
