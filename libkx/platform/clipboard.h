#pragma once
// The X clipboard: the program as the CLIPBOARD selection's owner (answering
// other programs on the window thread) and as a requestor (_CLIPBOARD$ on
// the application thread, over a connection of its own). Text inside the program is
// code page 437; other programs receive and give UTF-8.
#include <cstdint>
#include <string>

struct kxs;

// Application thread: bracket any X call made outside the window thread.
// The window thread's idle callback grants the lock and stays parked until
// it is released. False when there is no window to lock (nothing may then
// call X).
bool x11_lock();
void x11_unlock();

void sub__clipboard(kxs* text);
kxs* func__clipboard();

namespace kx {
// Window thread, event hook: remembers a selection request (stage 1, where
// no Xlib call may be made) and answers the requests remembered so far
// (stage 2). Returns 1.
int32_t x11filter(void* x_event);
void answer_selection_requests();
// Window thread, idle callback: ends outgoing transfers whose requestor
// has taken no piece for a while.
void expire_selection_transfers();
// Code page 437 bytes as UTF-8 and back (characters without a code page
// position become '?').
std::string cp437_to_utf8(const std::string& text);
std::string utf8_to_cp437(const std::string& text);
std::string latin1_to_cp437(const std::string& text);
}  // namespace kx
