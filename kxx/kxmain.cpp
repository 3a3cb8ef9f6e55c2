// The HALCYONIX boot shell, as compiled from its BASIC source. Every
// statement is followed by its check; the numbers passed to evnt are the
// source lines an error report shows.
#include "kxx/kxmain.h"

#include <utility>

#include <cstring>

#include "base/arithmetic_fault.h"
#include "base/process_exit.h"
#include "files/chain_input.h"
#include "files/directories.h"
#include "files/file_open_close.h"
#include "frame/shutdown.h"
#include "frame/statement_check.h"
#include "frame/timing.h"
#include "screen/compose/presentation_statements.h"
#include "screen/images/color_statements.h"
#include "screen/images/screen_modes.h"
#include "screen/text/cls.h"
#include "screen/text/print.h"
#include "values/arrays.h"
#include "values/bit_arrays.h"
#include "values/hex_oct.h"
#include "values/mem_lock.h"
#include "values/static_pool.h"
#include "values/string_assign.h"
#include "values/string_build.h"
#include "values/string_compare.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_release.h"

namespace {

// Shared variables, allocated on the first entry and kept across the
// nested entries that run the error handler.
kxs* __STRING_SYSDIR = nullptr;
int64_t* __ARRAY_BIT1_FIUSE = nullptr;
int64_t* __ARRAY_BYTE_PMEM = nullptr;
kxs* __STRING_DBUG = nullptr;
float __SINGLE_INCON = 0;
kxs* __STRING_VER = nullptr;
kxs* __STRING_REV = nullptr;
kxs* __STRING_FILE = nullptr;
float __SINGLE_ERRCODE = 0;
kxs* __STRING_HEC = nullptr;
mem_lock* main_routine_lock = nullptr;

}  // namespace

void allocate_shared_variables() {
  if (!__STRING_SYSDIR) __STRING_SYSDIR = kxs_new(0, 0);
  if (!__ARRAY_BIT1_FIUSE) {
    // 256 one-bit elements: 33 bytes of storage.
    __ARRAY_BIT1_FIUSE = kx::static_array_new(0, 255, 1);
  }
  if (!__ARRAY_BYTE_PMEM) __ARRAY_BYTE_PMEM = kx::static_array_new(0, 16'777'216, 1);
  if (!__STRING_DBUG) __STRING_DBUG = kxs_new(0, 0);
  if (!__STRING_VER) __STRING_VER = kxs_new(0, 0);
  if (!__STRING_REV) __STRING_REV = kxs_new(0, 0);
  if (!__STRING_FILE) __STRING_FILE = kxs_new(0, 0);
  if (!__STRING_HEC) __STRING_HEC = kxs_new(0, 0);
  if (!main_routine_lock) {
    new_mem_lock();
    main_routine_lock = mem_lock_tmp;
    main_routine_lock->type = mem_lock_scope;
  }
}

namespace {

void clear_shared_variables() {
  for (kxs* s : {__STRING_SYSDIR, __STRING_DBUG, __STRING_VER, __STRING_REV, __STRING_FILE, __STRING_HEC}) {
    if (s) kxs_set(s, kxs_new(0, 1));
  }
  __SINGLE_INCON = 0;
  __SINGLE_ERRCODE = 0;
  // Static arrays are zeroed by ERASE.
  if (__ARRAY_BIT1_FIUSE) std::memset(reinterpret_cast<void*>(__ARRAY_BIT1_FIUSE[0]), 0, 33);
  if (__ARRAY_BYTE_PMEM) std::memset(reinterpret_cast<void*>(__ARRAY_BYTE_PMEM[0]), 0, 16'777'217);
}

uint8_t* fiuse_data() { return reinterpret_cast<uint8_t*>(__ARRAY_BIT1_FIUSE[0]); }

// A condition counts as true when an error is pending after it.
bool condition(bool value) { return value || new_error.load() != 0; }

kxs* text(const char* literal) { return kxs_new_txt(literal); }

// PRINT "ERROR "; STRING$(4 - LEN(HEC$), 48); HEC$; " while "; DBUG$ --
// each item tested for a pending error and printed on its own.
void print_error_line(const char* lead) {
  kxs* items[] = {text(lead), func_string(4 - __STRING_HEC->length, 48), __STRING_HEC, text(" while "),
                  __STRING_DBUG};
  const size_t last = sizeof items / sizeof items[0] - 1;
  for (size_t i = 0; i <= last; ++i) {
    if (new_error.load()) break;
    kxs_print(items[i], i == last ? 1 : 0);
  }
}

}  // namespace

void KXMAIN(void*) {
  install_division_by_zero_handler();
  const uint32_t tmp_mark = kxs_tmp_list_nexti;
  allocate_shared_variables();
  if (error_occurred) {
    error_occurred = 0;
    if (error_goto_line == 1) {
      error_handling = 1;
      goto LABEL_ERRORHANDLER;
    }
    kx_exit_process(99);
  }
  chain_input();

  // Line 1: _TITLE "HALCYONIX"
  do {
    sub__title(text("HALCYONIX"));
    kxs_cleanup(tmp_mark, 0);
    if (!kxevent) break;
    evnt(1);
  } while (r);
  // Line 2: ON ERROR GOTO ErrorHandler
  do {
    sub_on_error_goto(1);
    if (!kxevent) break;
    evnt(2);
  } while (r);
  // Line 3: SYSDIR$ = "SYSTEM"
  do {
    kxs_set(__STRING_SYSDIR, text("SYSTEM"));
    if (!kxevent) break;
    evnt(3);
  } while (r);
  // Lines 4-6 are declarations; their checks find nothing to do.
  for (uint32_t line : {4u, 5u, 6u}) {
    if (kxevent) evnt(line);
  }
  // Line 7: SCREEN 0
  do {
    kxg_screen(0, 0, 0, 0, 1);
    if (!kxevent) break;
    evnt(7);
  } while (r);
  // Line 8: INCON = 1
  do {
    __SINGLE_INCON = 1;
    if (!kxevent) break;
    evnt(8);
  } while (r);
  // Line 10: VER$ = "0.0.0.1"
  do {
    kxs_set(__STRING_VER, text("0.0.0.1"));
    if (!kxevent) break;
    evnt(10);
  } while (r);
  // Line 11: REV$ = "Beta"
  do {
    kxs_set(__STRING_REV, text("Beta"));
    if (!kxevent) break;
    evnt(11);
  } while (r);
  // Line 12: PRINT "Halcyonix Operating System v" + VER$ + " r" + REV$
  do {
    kxs* banner = kxs_add(kxs_add(kxs_add(text("Halcyonix Operating System v"), __STRING_VER), text(" r")),
                          __STRING_REV);
    if (!new_error.load()) kxs_print(banner, 1);
    kxs_cleanup(tmp_mark, 0);
    if (!kxevent) break;
    evnt(12);
  } while (r);
  // Line 13: PRINT "Looking for boot script..."
  do {
    kxs_print(text("Looking for boot script..."), 1);
    kxs_cleanup(tmp_mark, 0);
    if (!kxevent) break;
    evnt(13);
  } while (r);
  // Line 14: CHDIR ".."
  do {
    sub_chdir(text(".."));
    kxs_cleanup(tmp_mark, 0);
    if (!kxevent) break;
    evnt(14);
  } while (r);
  // Lines 15 and 16: IF _FILEEXISTS(name) THEN FILE$ = name
  for (const auto& [line, name] : {std::pair{15u, "AUTORUN.EBF"}, std::pair{16u, "AUTOEXEC.EBF"}}) {
    do {
      const bool found = condition(kxs_cleanup(tmp_mark, func__fileexists(text(name))) != 0);
      if (kxevent) {
        evnt(line);
        if (r) continue;
      }
      if (found) {
        do {
          kxs_set(__STRING_FILE, text(name));
          if (!kxevent) break;
          evnt(line);
        } while (r);
      }
    } while (r);
  }
  // Line 17: CHDIR SYSDIR$
  do {
    sub_chdir(__STRING_SYSDIR);
    if (!kxevent) break;
    evnt(17);
  } while (r);
  // Line 18: IF FILE$ <> "" THEN ERRCODE = OPENFILE(FILE$, 255, 0)
  do {
    const bool found = condition(kxs_cleanup(tmp_mark, kxs_notequal(__STRING_FILE, text(""))) != 0);
    if (kxevent) {
      evnt(18);
      if (r) continue;
    }
    if (found) {
      do {
        uint8_t channel = 255;  // the literals go by reference as temporaries
        float mode = 0;
        __SINGLE_ERRCODE = FUNC_OPENFILE(__STRING_FILE, &channel, &mode);
        if (!kxevent) break;
        evnt(18);
      } while (r);
    }
  } while (r);
  // Line 23: END
  sub_end();

LABEL_ERRORHANDLER:
  // Line 24: the handler's label; its check ignores r.
  if (kxevent) evnt(24);
  r = 0;
  // Line 25: IF ERR > 51 THEN
  do {
    const bool above = condition(get_error_err() > 51);
    if (kxevent) {
      evnt(25);
      if (r) continue;
    }
    if (above) {
      // Line 26: IF INCON <> 1 THEN END
      do {
        const bool stop = condition(__SINGLE_INCON != 1);
        if (kxevent) {
          evnt(26);
          if (r) continue;
        }
        if (stop) sub_end();
      } while (r);
      // Line 27: HEC$ = HEX$(ERR)
      do {
        kxs_set(__STRING_HEC, func_hex(get_error_err(), 8));
        if (!kxevent) break;
        evnt(27);
      } while (r);
      // Line 28: PRINT "ERROR "; STRING$(4 - LEN(HEC$), 48); HEC$; " while "; DBUG$
      do {
        print_error_line("ERROR ");
        kxs_cleanup(tmp_mark, 0);
        if (!kxevent) break;
        evnt(28);
      } while (r);
      // Line 29: DBUG$ = ""
      do {
        kxs_set(__STRING_DBUG, text(""));
        if (!kxevent) break;
        evnt(29);
      } while (r);
      // Line 30: RESUME NEXT
      do {
        if (resume_next()) return;
        if (!kxevent) break;
        evnt(30);
      } while (r);
    } else {
      // Line 33: SCREEN 0
      do {
        kxg_screen(0, 0, 0, 0, 1);
        if (!kxevent) break;
        evnt(33);
      } while (r);
      // Line 34: COLOR 0, 4
      do {
        kxg_sub_color(0, 4, 0, 3);
        if (!kxevent) break;
        evnt(34);
      } while (r);
      // Line 35: CLS
      do {
        sub_cls(0, 0, 0);
        if (!kxevent) break;
        evnt(35);
      } while (r);
      // Line 36: HEC$ = HEX$(ERR)
      do {
        kxs_set(__STRING_HEC, func_hex(get_error_err(), 8));
        if (!kxevent) break;
        evnt(36);
      } while (r);
      // Line 37: PRINT "ERROR: "; STRING$(4 - LEN(HEC$), 48); HEC$; " while "; DBUG$
      do {
        print_error_line("ERROR: ");
        kxs_cleanup(tmp_mark, 0);
        if (!kxevent) break;
        evnt(37);
      } while (r);
      // Line 38: DBUG$ = ""
      do {
        kxs_set(__STRING_DBUG, text(""));
        if (!kxevent) break;
        evnt(38);
      } while (r);
      // Line 39: SLEEP
      do {
        sub_sleep(0, 0);
        if (!kxevent) break;
        evnt(39);
      } while (r);
      // Line 40: SYSTEM
      sub_system();
    }
  } while (r);
}

float FUNC_OPENFILE(kxs* file, uint8_t* filenum, float* mode) {
  const uint32_t tmp_mark = kxs_tmp_list_nexti;
  uint8_t* const static_mark = mem_static_pointer;
  float result = 0;
  // A temporary, fixed-length or read-only argument is worked on as a
  // private copy.
  kxs* private_copy = nullptr;
  if (file->is_temp || file->is_fixed || file->is_readonly) {
    private_copy = kxs_new(0, 0);
    kxs_set(private_copy, file);
    file = private_copy;
  }
  new_mem_lock();
  mem_lock* scope_lock = mem_lock_tmp;
  scope_lock->type = mem_lock_scope;
  if (new_error.load()) goto exit_function;

  // Line 43: IF FIUSE(filenum) THEN -- the channel is taken: search from 0.
  do {
    const bool taken = condition(getbits(1, fiuse_data(), array_check(*filenum, 256)) != 0);
    if (kxevent) {
      evnt(43);
      if (r) continue;
    }
    if (taken) {
      // Line 44: FOR filenum = 0 TO 255; line 45: IF FIUSE(filenum) <> -1 THEN EXIT FOR
      int16_t counter = 0;
    retry_search:
      for (counter = 0;; ++counter) {
        *filenum = static_cast<uint8_t>(counter);
        if (counter > 255) break;
        if (kxevent) {
          evnt(44);
          if (r) goto retry_search;
        }
        bool free_channel = false;
        do {
          free_channel = condition(getbits(1, fiuse_data(), array_check(*filenum, 256)) != -1);
          if (kxevent) {
            evnt(45);
            if (r) continue;
          }
        } while (r);
        if (free_channel) break;
      }
    }
  } while (r);
  // Line 48: FIUSE(filenum) = -1
  do {
    setbits(1, fiuse_data(), array_check(*filenum, 256), -1);
    if (!kxevent) break;
    evnt(48);
  } while (r);
  // Lines 49-57: the mode.
  if (*mode == 0) {  // line 49: OPEN file FOR BINARY AS #filenum
    do {
      sub_open(file, 2, 0, 0, *filenum, 0, 0);
      if (!kxevent) break;
      evnt(49);
    } while (r);
  } else if (*mode == 1) {  // lines 50-53
    do {
      const bool exists = condition(func__fileexists(file) != 0);
      if (kxevent) {
        evnt(50);
        if (r) continue;
      }
      if (exists) {
        do {
          sub_open(file, 3, 0, 0, *filenum, 0, 0);
          if (!kxevent) break;
          evnt(51);
        } while (r);
      } else {
        do {
          result = -1;
          if (!kxevent) break;
          evnt(53);
        } while (r);
        goto exit_function;
      }
    } while (r);
  } else if (*mode == 2) {  // line 55
    do {
      sub_open(file, 4, 0, 0, *filenum, 0, 0);
      if (!kxevent) break;
      evnt(55);
    } while (r);
  } else if (*mode == 3) {  // line 56
    do {
      sub_open(file, 5, 0, 0, *filenum, 0, 0);
      if (!kxevent) break;
      evnt(56);
    } while (r);
  } else if (*mode == 4) {  // line 57
    do {
      sub_open(file, 1, 0, 0, *filenum, 0, 0);
      if (!kxevent) break;
      evnt(57);
    } while (r);
  }

exit_function:
  free_mem_lock(scope_lock);
  if (private_copy) kxs_free(private_copy);
  kxs_cleanup(tmp_mark, 0);
  mem_static_restore(static_mark < mem_static || static_mark > mem_static_limit ? mem_static : static_mark);
  return result;
}

const kx_program& halcyonix_program() {
  static const kx_program program{KXMAIN, clear_shared_variables, nullptr, nullptr, nullptr};
  return program;
}
