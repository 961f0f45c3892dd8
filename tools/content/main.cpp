// brikon-content: builds the game's content. Filled in subsystem by subsystem.
#include <cstdio>

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  std::fprintf(stderr, "brikon-content: nothing to build yet\n");
  return 0;
}
