#pragma once
// LPRINT: text printed onto a 640 x 960 printer page image, 60 rows of 80
// columns, sent out when it fills up or has been left alone for ten seconds.
// Printing a page does nothing on this platform (there is no printer), so
// a page that goes out is simply cleared.
#include <cstdint>

struct kxs;

// The printer head's column (application thread).
extern int32_t lpos;

void kxs_lprint(kxs* s, uint8_t newline);
// LPOS(n): n 0-3.
int32_t func_lpos(int32_t n);
// TAB(n) and SPC(n) as items of LPRINT: measured against the printer's
// column and line width, never the screen's.
kxs* func_tab_lprint(int32_t n);
kxs* func_spc_lprint(int32_t n);

namespace kx {
// The page goes out and is cleared to white; the caller holds the page.
void printer_page_out();
// Main-loop thread: sends out a page untouched for ten seconds. The page is
// cleared directly, under the lock LPRINT holds, never through _DEST.
void printer_page_flush_idle();
// Exit path: a page with text on it goes out.
void printer_page_flush_at_exit();
}  // namespace kx
