#pragma once
// The three runtime threads. Each is started once, detached, never joined.

// Runs the program's main routine.
void start_application_thread();
// Polls every millisecond and fires ON TIMER traps.
void start_timer_thread();
// Runs MAIN_LOOP.
void start_main_loop_thread();

// The timer thread's body; returns once the process is stopping. While no
// ON TIMER entry is armed it sleeps until woken instead of polling, so an
// idle program costs no processor time.
void TIMERTHREAD();

// Wakes the timer thread: after a timer is armed, and when the process
// begins to stop.
void wake_timer_thread();
