#pragma once
// Start-up of the memory model: the static pool, conventional memory, its
// dynamic blocks, DEF SEG and the memory locks. The string pools follow
// with kxs_init (string_startup.h). Calling it again starts afresh.
void mem_init();
