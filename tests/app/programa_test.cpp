// The program itself asked for its help or its version: it prints and ends without
// opening a window or preparing any installation.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/entorno.h"

namespace {

struct Salida {
  int codigo = -1;
  std::string out;
};

Salida corre(const std::string& unidades, const std::string& argumentos) {
  // No display at all: a program that tried to open a window would fail here.
  const std::string orden = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb MOSTRADOR_UNIDADES='" +
                            unidades + "' HOME='" + unidades + "' " + std::string(MOSTRADOR_PROGRAMA) + " " +
                            argumentos + " 2>/dev/null";
  Salida s;
  FILE* p = popen(orden.c_str(), "r");
  std::array<char, 4096> buf{};
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) s.out.append(buf.data(), n);
  const int st = pclose(p);
  s.codigo = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return s;
}

TEST(Programa, AyudaYVersionImprimenYTerminanSinCrearNada) {
  mostrador::prueba::DirectorioTemporal dir;
  const std::string unidades = dir.str() + "/unidades";
  std::filesystem::create_directories(unidades);

  Salida s = corre(unidades, "--help");
  EXPECT_EQ(s.codigo, 0);
  EXPECT_EQ(s.out.rfind("Uso: mostrador [--demo-sin-pantalla]\n", 0), 0u) << s.out;
  EXPECT_NE(s.out.find("  --version             la versión del programa\n"), std::string::npos);

  s = corre(unidades, "--version");
  EXPECT_EQ(s.codigo, 0);
  EXPECT_EQ(s.out, "Mostrador V 4.6.1\n");

  // Neither wrote an initialisation file nor a demonstration company.
  EXPECT_TRUE(std::filesystem::is_empty(unidades));
}

}  // namespace
