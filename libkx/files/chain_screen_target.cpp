#include "files/chain_input.h"

namespace kx {

// The screen layer offers no target yet: a chained start restores the
// working directory and leaves the screen as SCREEN 0 made it.
chain_screen_target* chain_default_screen_target() { return nullptr; }

}  // namespace kx
