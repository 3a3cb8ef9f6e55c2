#pragma once
// The check that compiled code runs after every statement, and the error
// trapping built on it. The contract with compiled code:
//  - after a statement at source line L: if (kxevent) { evnt(L); if (r) repeat it; }
//  - a condition counts as true when new_error is set after its evaluation,
//    and the branch starts with the condition's own check;
//  - the main routine starts by testing error_occurred and, when set, jumps
//    to handler error_goto_line with error_handling = 1;
//  - RESUME NEXT is resume_next(); RESUME is resume_retry(); each returns
//    true when the main routine must return (into fix_error).
// All of this state belongs to the application thread.
#include <cstdint>

#include "base/error.h"
#include "base/flags.h"

// Result of the last check: 1 = perform the statement just performed again.
inline int32_t r = 0;
// Set by RESUME before it leaves the handler; evnt turns it into r = 1.
inline int32_t error_retry = 0;
// The active ON ERROR GOTO handler index; 0 = none.
inline int32_t error_goto_line = 0;
// 1 while an error handler runs.
inline int32_t error_handling = 0;
// 1 only during the re-entry of the main routine that dispatches a handler.
inline int32_t error_occurred = 0;
// ERR and ERL.
inline uint32_t error_err = 0;
inline double error_erl = 0;
// The last numbered line passed (programs without line numbers leave it 0).
inline double last_line = 0;
// Where the check that noticed the last error stands (_ERRORLINE and kin).
inline uint32_t ercl = 0;
inline uint32_t inclercl = 0;
inline const char* includedfilename = nullptr;

// The statement check; its outcome is r.
void evnt(uint32_t line, uint32_t incline = 0, const char* incfile = nullptr);

// Decides what happens to the pending error: trapped by the program's
// handler (re-entering its main routine) or reported by a box.
void fix_error();

// RESUME NEXT and RESUME as compiled code performs them. Outside a handler
// they raise error 20 and return false (the statement's check follows);
// inside, they end the handler and return true: the main routine returns.
bool resume_next();
bool resume_retry();

// ON ERROR GOTO: 0 turns trapping off.
inline void sub_on_error_goto(int32_t handler_index) { error_goto_line = handler_index; }

uint32_t get_error_err();
double get_error_erl();
uint32_t func__errorline();
uint32_t func__inclerrorline();
// _INCLERRORFILE$: a new temporary string holding the included file's name
// (empty for the main file).
struct kxs;
kxs* func__inclerrorfile();
