#include "base/registros_fijos.h"

#include <gtest/gtest.h>

#include "support/entorno.h"

using namespace mostrador;
using namespace mostrador::base;
using mostrador::prueba::DirectorioTemporal;

namespace {

// The users file layout: a realistic mix of an integer, a reserved gap and strings.
const DisenoRegistro& disenoUsuarios() {
  static const DisenoRegistro d(140, {CampoFijo::entero32("numero", 0),
                                      CampoFijo::bytes("reservado", 4, 3),
                                      CampoFijo::cadena("nombre", 7, 60),
                                      CampoFijo::cadena("clave", 68, 10),
                                      CampoFijo::cadena("derechos", 79, 60)});
  return d;
}

const DisenoRegistro& disenoChico() {
  static const DisenoRegistro d(8, {CampoFijo::entero16("corto", 0), CampoFijo::cadena("t", 2, 5)});
  return d;
}

RegistroFijo usuario(int numero, const std::string& nombre) {
  RegistroFijo r(disenoUsuarios());
  r.ponEntero("numero", numero);
  r.ponTexto("nombre", nombre);
  r.ponTexto("clave", "k" + std::to_string(numero));
  r.ponTexto("derechos", "ssn");
  return r;
}

}  // namespace

TEST(RegistroFijo, WritesExactBytes) {
  RegistroFijo r(disenoUsuarios());
  r.ponEntero("numero", 258);
  r.ponTexto("nombre", "Ñoño");
  r.ponTexto("clave", "ab");
  r.ponTexto("derechos", "sn");

  std::string esperado(140, '\0');
  esperado.replace(0, 4, std::string("\x02\x01\x00\x00", 4));
  esperado.replace(7, 5, "\x04\xD1o\xF1o");
  esperado.replace(68, 3, "\x02" "ab");
  esperado.replace(79, 3, "\x02sn");
  EXPECT_EQ(r.bytes(), esperado);

  EXPECT_EQ(r.entero("numero"), 258);
  EXPECT_EQ(r.texto("nombre"), "Ñoño");
  EXPECT_EQ(r.texto("clave"), "ab");
}

TEST(RegistroFijo, StringsCountWindows1252BytesAndAreCutToCapacity) {
  RegistroFijo r(disenoUsuarios());
  // Sixty letters, one of them "ñ" (two bytes in UTF-8, one on disk), fill the field.
  const std::string sesenta = "ñ" + std::string(59, 'a');
  r.ponTexto("nombre", sesenta);
  EXPECT_EQ(static_cast<unsigned char>(r.bytes()[7]), 60u);
  EXPECT_EQ(r.bytes()[8], '\xF1');
  EXPECT_EQ(r.texto("nombre"), sesenta);

  r.ponTexto("nombre", sesenta + "XYZ");
  EXPECT_EQ(r.texto("nombre"), sesenta);
  EXPECT_EQ(r.bytes()[68], '\0') << "a cut string must not spill into the next field";

  // Rewriting with a shorter text zeroes the old characters.
  r.ponTexto("nombre", "Eva");
  EXPECT_EQ(r.bytes().substr(7, 6), std::string("\x03" "Eva\0\0", 6));
  EXPECT_EQ(r.texto("nombre"), "Eva");
}

TEST(RegistroFijo, ReadsForeignBytesDefensively) {
  // Garbage after the length (left by older writers) is ignored; a length byte above
  // the capacity reads as the capacity.
  std::string bytes(8, '\0');
  bytes[2] = 2;
  bytes.replace(3, 5, "hoXYZ");
  RegistroFijo r(disenoChico(), bytes);
  EXPECT_EQ(r.texto("t"), "ho");
  bytes[2] = static_cast<char>(200);
  EXPECT_EQ(RegistroFijo(disenoChico(), bytes).texto("t"), "hoXYZ");
}

TEST(RegistroFijo, IntegersAreSignedLittleEndian) {
  RegistroFijo r(disenoChico());
  r.ponEntero("corto", -2);
  EXPECT_EQ(r.bytes().substr(0, 2), "\xFE\xFF");
  EXPECT_EQ(r.entero("corto"), -2);
  r.ponEntero("corto", 0x7FFF);
  EXPECT_EQ(r.entero("corto"), 32767);

  RegistroFijo u(disenoUsuarios());
  u.ponEntero("numero", -1000000);
  EXPECT_EQ(u.bytes().substr(0, 4), "\xC0\xBD\xF0\xFF");
  EXPECT_EQ(u.entero("numero"), -1000000);
  u.ponCrudo("reservado", "\x01\x02\x03\x04");
  EXPECT_EQ(u.crudo("reservado"), "\x01\x02\x03");
  EXPECT_EQ(u.bytes()[7], '\0');
}

TEST(ArchivoFijo, AppendsReadsAndRewritesByPosition) {
  DirectorioTemporal t;
  ArchivoFijo f("\\sistema\\usuarios.def", disenoUsuarios());
  t.escribe("sistema/.keep", "");
  EXPECT_FALSE(f.existe());
  EXPECT_EQ(f.cuenta(), 0);
  EXPECT_FALSE(f.lee(0));

  ASSERT_TRUE(f.agrega(usuario(0, "Administrador")));
  ASSERT_TRUE(f.agrega(usuario(1, "Peña")));
  EXPECT_EQ(f.cuenta(), 2);
  EXPECT_EQ(t.lee("sistema/usuarios.def").size(), 280u);
  EXPECT_EQ(t.lee("sistema/usuarios.def").substr(140, 13), std::string("\x01\0\0\0\0\0\0\x04Pe\xF1" "a", 12) + '\0');

  ASSERT_TRUE(f.escribe(1, usuario(1, "José")));
  EXPECT_EQ(f.cuenta(), 2);
  EXPECT_EQ(f.lee(1)->texto("nombre"), "José");
  EXPECT_EQ(f.lee(0)->texto("nombre"), "Administrador");

  // Writing past the end leaves zeroed records in the gap.
  ASSERT_TRUE(f.escribe(4, usuario(4, "Luz")));
  EXPECT_EQ(f.cuenta(), 5);
  EXPECT_EQ(f.lee(3)->bytes(), std::string(140, '\0'));
  EXPECT_EQ(f.lee(4)->entero("numero"), 4);
  EXPECT_FALSE(f.lee(5));
  EXPECT_FALSE(f.lee(-1));

  std::vector<std::string> nombres;
  for (const RegistroFijo& r : f.leeTodos()) nombres.push_back(r.texto("nombre"));
  EXPECT_EQ(nombres, (std::vector<std::string>{"Administrador", "José", "", "", "Luz"}));

  ASSERT_TRUE(f.reescribe({usuario(0, "Solo")}));
  EXPECT_EQ(f.cuenta(), 1);
  EXPECT_EQ(f.lee(0)->texto("nombre"), "Solo");
}

TEST(ArchivoFijo, TruncatedFileHasNoPartialRecord) {
  DirectorioTemporal t;
  ArchivoFijo f("usuarios.def", disenoUsuarios());
  ASSERT_TRUE(f.agrega(usuario(0, "A")));
  ASSERT_TRUE(f.agrega(usuario(1, "B")));
  const std::string completo = t.lee("usuarios.def");
  t.escribe("usuarios.def", completo.substr(0, 140 + 139));

  EXPECT_EQ(f.cuenta(), 1);
  EXPECT_TRUE(f.lee(0));
  EXPECT_FALSE(f.lee(1));
  EXPECT_EQ(f.leeTodos().size(), 1u);

  // Appending to a cut file overwrites the partial tail.
  ASSERT_TRUE(f.agrega(usuario(1, "C")));
  EXPECT_EQ(t.lee("usuarios.def").size(), 280u);
  EXPECT_EQ(f.lee(1)->texto("nombre"), "C");

  t.escribe("usuarios.def", "");
  EXPECT_TRUE(f.existe());
  EXPECT_EQ(f.cuenta(), 0);
  EXPECT_FALSE(f.lee(0));
}
