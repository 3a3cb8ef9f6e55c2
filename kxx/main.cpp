#include "frame/startup.h"
#include "kxx/kxmain.h"

int main(int argc, char** argv) { return kx_main(argc, argv, halcyonix_program()); }
