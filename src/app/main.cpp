#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--demo-sin-pantalla") == 0) {
      std::puts("Mostrador V 4.6.1: demostración sin pantalla.");
      return 0;
    }
  }
  std::puts("Mostrador V 4.6.1");
  return 0;
}
