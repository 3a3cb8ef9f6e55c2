#pragma once
// Start-up of the file layer.

// Empties the file tables, counts the environment, and hooks the layer into
// the frame (close and flush at every exit) and the strings (freeing a
// FIELDed string unbinds it).
void files_init();
