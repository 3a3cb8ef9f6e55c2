// A compiled program that reports where it runs: the working directory
// (_CWD$), the launch directory (_STARTDIR$) and COMMAND$, one per line.
#include <unistd.h>

#include <cstdio>

#include "files/launch_info.h"
#include "frame/shutdown.h"
#include "frame/startup.h"

namespace {

void KXMAIN(void*) {
  static char cwd[65536] = {};
  if (!getcwd(cwd, sizeof cwd)) cwd[0] = '\0';
  std::printf("cwd=%s\nstart=%s\ncommand=[%s]\ncount=%d\n", cwd, startDir.c_str(), func_command_str.c_str(),
              func_command_count);
  std::fflush(stdout);
  sub_system();
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{KXMAIN}); }
