#pragma once
// INPUT and LINE INPUT from the keyboard: a line editor that checks every
// keystroke against the types of the variables being read and refuses one
// that cannot belong to a valid line. Compiled code fills the variable
// table for variables 1 to n and prints the prompt, then calls kxs_input.
#include <cstdint>

struct kxs;

inline constexpr int32_t kxs_input_variables_max = 256;

// Type code of each variable (values/type_codes.h).
extern int32_t kxs_input_variabletypes[kxs_input_variables_max + 1];
// Address of each variable; for a string, its descriptor.
extern void* kxs_input_variableoffsets[kxs_input_variables_max + 1];
// The text typed for each variable, while the statement runs.
extern kxs* kxs_input_arguements[kxs_input_variables_max + 1];

// Edits one line until ENTER, storing each variable as its text is typed.
// newline: end the line on the screen afterwards. Error 5 for a count
// outside 1 to 256.
void kxs_input(int32_t count, uint8_t newline);

// RANDOMIZE: kind 1 seeds from seed, kind 3 restarts the sequence of seed,
// any other kind asks for a seed at the keyboard.
void sub_randomize(double seed, int32_t kind);
