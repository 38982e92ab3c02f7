// The entry point: everything the program does happens inside Main.
#include "framework/main_program.h"

int main() {
  Main();
  return 0;
}
