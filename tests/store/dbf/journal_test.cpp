// Units of work: a change that spans tables is whole or absent, whether it fails, the
// process is killed at any of its writes, or an index page is found damaged.

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "store/dbf/dbf_table.h"
#include "store/dbf/journal.h"
#include "store/dbf/mdx_index.h"
#include "support/entorno.h"
#include "support/estaciones.h"

using namespace mostrador::dbf;
using mostrador::prueba::DirectorioTemporal;
using mostrador::prueba::espera;
using mostrador::prueba::estacion;

namespace {

std::vector<std::string>& bitacora() {
  static std::vector<std::string> b;
  return b;
}
void anota(const std::string& l) { bitacora().push_back(l); }

std::string bytes(const std::string& archivo) {
  std::ifstream f(archivo, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// A document header with its lines and the stock they move, as a save writes them.
void creaTienda() {
  Table::create("", "encab.dbf", {{"NUMERO", 'N', 6, 0}, {"TOTAL", 'N', 10, 2}}, {{"INUMENC", "NUMERO"}});
  Table::create("", "lineas.dbf", {{"NUMERO", 'N', 6, 0}, {"PRODUCTO", 'C', 6, 0}, {"CANTIDAD", 'N', 8, 2}},
                {{"ILINEA", "NUMERO;PRODUCTO"}});
  Table::create("", "produc.dbf", {{"CLAVE", 'C', 6, 0}, {"EXISTE", 'N', 10, 2}}, {{"ICLAVE", "CLAVE"}});
  Table p;
  p.open("", "produc.dbf");
  for (int i = 1; i <= 5; ++i) {
    p.append();
    p.setText("CLAVE", "P" + std::to_string(i));
    p.setFloat("EXISTE", 100);
    p.post();
  }
  Table e;
  e.open("", "encab.dbf");
  e.append();
  e.setInteger("NUMERO", 1);  // the header F9 reserved
  e.post();
}

// The save of document 1 with three lines: header, three lines, three stock changes.
void guardaTres() {
  Table e, l, p;
  e.open("", "encab.dbf");
  l.open("", "lineas.dbf");
  p.open("", "produc.dbf");
  p.setIndex("ICLAVE");
  Transaction t(".");
  e.first();
  e.edit();
  e.setFloat("TOTAL", 30);
  e.post();
  for (int i = 1; i <= 3; ++i) {
    l.append();
    l.setInteger("NUMERO", 1);
    l.setText("PRODUCTO", "P" + std::to_string(i));
    l.setFloat("CANTIDAD", i);
    l.post();
    p.findKey({"P" + std::to_string(i)});
    p.edit();
    p.setFloat("EXISTE", p.asFloat("EXISTE") - i);
    p.post();
  }
  t.commit();
}

// The tables' bytes, but for the change counter (header bytes 16..19): a rollback
// raises it instead of putting it back, and contadores() follows it on its own.
std::map<std::string, std::string> archivos() {
  std::map<std::string, std::string> m;
  for (const char* f : {"encab.dbf", "lineas.dbf", "produc.dbf"}) {
    std::string b = bytes(f);
    if (b.size() >= 20) b.replace(16, 4, 4, '\0');
    m[f] = b;
  }
  return m;
}
std::map<std::string, uint32_t> contadores() {
  std::map<std::string, uint32_t> m;
  for (const char* f : {"encab.dbf", "lineas.dbf", "produc.dbf"}) {
    const std::string b = bytes(f);
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(b[16 + i])) << (8 * i);
    m[f] = v;
  }
  return m;
}

// What the indexes say, read through them.
std::string porIndice() {
  std::string r;
  Table l, p;
  l.open("", "lineas.dbf");
  l.setIndex("ILINEA");
  for (l.first(); !l.eof(); l.next()) r += l.asText("PRODUCTO") + "=" + l.asText("CANTIDAD") + " ";
  p.open("", "produc.dbf");
  p.setIndex("ICLAVE");
  for (p.first(); !p.eof(); p.next()) r += p.asText("CLAVE") + ":" + p.asText("EXISTE") + " ";
  return r;
}

int escrituras = 0, muereEn = 0;
void cuenta(const std::filesystem::path&, off_t, size_t) {
  if (++escrituras == muereEn) _exit(9);
}

}  // namespace

TEST(Unidad, MuerteEnCadaEscrituraDeUnGuardadoDeTresPartidasSeDeshaceEntera) {
  DirectorioTemporal dir;
  creaTienda();
  const auto antes = archivos();
  const std::string indicesAntes = porIndice();
  ASSERT_EQ(indicesAntes, "P1:100.00 P2:100.00 P3:100.00 P4:100.00 P5:100.00 ");
  int muertes = 0;
  auto vistos = contadores();
  for (int k = 1;; ++k) {
    const pid_t h = estacion([k] {
      muereEn = k;
      journal::setWriteHook(cuenta);
      guardaTres();
      return 0;
    });
    const int fin = espera(h);
    if (fin == 0) break;
    ASSERT_EQ(fin, 9) << "escritura " << k;
    ++muertes;
    // The next station to open a table finds the journal and puts everything back.
    bitacora().clear();
    journal::setLogSink(anota);
    Table t;
    t.open("", "encab.dbf");
    journal::setLogSink(nullptr);
    ASSERT_EQ(bitacora().size(), 1u) << "escritura " << k;
    EXPECT_EQ(bitacora()[0].rfind("Se deshizo un guardado interrumpido en ", 0), 0u);
    t.close();
    ASSERT_EQ(archivos(), antes) << "escritura " << k;
    ASSERT_EQ(porIndice(), indicesAntes) << "escritura " << k;
    // Never back to a value a reader may have seen while the save ran.
    const auto ahora = contadores();
    for (const auto& [f, v] : ahora) {
      ASSERT_GE(v, vistos[f]) << f << ", escritura " << k;
    }
    if (k > 2) {
      ASSERT_GT(ahora.at("encab.dbf"), vistos.at("encab.dbf")) << "escritura " << k;
    }
    vistos = ahora;
    ASSERT_LT(k, 200);
  }
  // Every write and sync of the commit was a place to die: the journal's write and sync,
  // the header, lines and stock with their keys, their syncs, the journal's truncation.
  EXPECT_GE(muertes, 10);
  EXPECT_EQ(porIndice(), "P1=1.00 P2=2.00 P3=3.00 P1:99.00 P2:98.00 P3:97.00 P4:100.00 P5:100.00 ");
  EXPECT_EQ(bytes("mostrador.jnl"), "");
}

// A disk that does not keep what it is given: the sync of the headers' table fails.
int syncQueFallaEnEncab(int fd) {
  char enlace[64], destino[4096];
  std::snprintf(enlace, sizeof enlace, "/proc/self/fd/%d", fd);
  const ssize_t n = readlink(enlace, destino, sizeof destino - 1);
  if (n > 0 && std::string(destino, static_cast<size_t>(n)).ends_with("/encab.dbf")) {
    errno = EIO;
    return -1;
  }
  return ::fdatasync(fd);
}

// A save whose bytes cannot be made sure on disk is not a save: the commit says so and
// the journal puts everything back, where before the failure went unseen and the
// journal was emptied over data that might never reach the disk.
TEST(Unidad, UnGuardadoQueNoQuedaEnDiscoSeDeshaceYLoDice) {
  DirectorioTemporal dir;
  creaTienda();
  const auto antes = archivos();
  const std::string indicesAntes = porIndice();
  journal::setSyncHook(syncQueFallaEnEncab);
  std::string mensaje;
  try {
    guardaTres();
  } catch (const Error& e) {
    mensaje = e.what();
  }
  // What was put back could not be made sure on disk either: the journal stays, so that
  // a power cut now still ends in the state before the save.
  EXPECT_NE(bytes("mostrador.jnl"), "");
  journal::setSyncHook(nullptr);
  const std::string encab = std::filesystem::canonical("encab.dbf").string();
  EXPECT_EQ(mensaje, "El guardado no pudo asegurarse en disco y se deshizo: No se pudo asegurar en disco " + encab +
                         ": Input/output error");
  EXPECT_EQ(archivos(), antes);
  EXPECT_EQ(porIndice(), indicesAntes);
  // With the disk well again the first open rolled it back once more, and the same save
  // goes through.
  EXPECT_EQ(bytes("mostrador.jnl"), "");
  guardaTres();
  EXPECT_EQ(bytes("mostrador.jnl"), "");
  EXPECT_EQ(porIndice(), "P1=1.00 P2=2.00 P3=3.00 P1:99.00 P2:98.00 P3:97.00 P4:100.00 P5:100.00 ");
}

TEST(Unidad, UnaUnidadQueFallaDejaLasTablasByteABytePeroElManejadorSigueUtil) {
  DirectorioTemporal dir;
  creaTienda();
  const auto antes = archivos();
  const auto contadoresAntes = contadores();
  Table e, p;
  e.open("", "encab.dbf");
  p.open("", "produc.dbf");
  p.setIndex("ICLAVE");
  {
    Transaction t(".");
    p.findKey({"P2"});
    p.edit();
    p.setFloat("EXISTE", 7);
    p.post();
    e.append();
    e.setInteger("NUMERO", 2);
    e.post();
    // A value that does not fit: the save gives up and the unit goes out of scope.
    e.first();
    e.edit();
    EXPECT_THROW(e.setFloat("TOTAL", 1e12), Error);
    e.cancel();
  }
  EXPECT_EQ(archivos(), antes);
  // Both tables the unit changed count on from past it, the untouched one stays.
  EXPECT_GT(contadores().at("produc.dbf"), contadoresAntes.at("produc.dbf") + 1);
  EXPECT_GT(contadores().at("encab.dbf"), contadoresAntes.at("encab.dbf") + 1);
  EXPECT_EQ(contadores().at("lineas.dbf"), contadoresAntes.at("lineas.dbf"));
  ASSERT_TRUE(p.findKey({"P2"}));
  EXPECT_EQ(p.asText("EXISTE"), "100.00");
  // The same handles save again, once.
  Transaction t(".");
  p.edit();
  p.setFloat("EXISTE", 99);
  p.post();
  t.commit();
  EXPECT_EQ(porIndice(), "P1:100.00 P2:99.00 P3:100.00 P4:100.00 P5:100.00 ");
}

// The lock phase waits (bounded) for a record another station holds; inside a unit an
// edit never waits, since the unit holds the writer lock the other station needs to
// post: it fails at once and the unit is rolled back.
TEST(Unidad, LaFaseDeBloqueoEsperaElRegistroAjenoYDentroDeLaUnidadNoSeEspera) {
  DirectorioTemporal dir;
  creaTienda();
  int tubo[2], suelta[2];
  ASSERT_EQ(pipe(tubo), 0);
  ASSERT_EQ(pipe(suelta), 0);
  // Another station edits P1 and posts it 400 ms later; then holds P2 until told.
  const pid_t h = estacion([&] {
    Table p;
    p.open("", "produc.dbf");
    p.setIndex("ICLAVE");
    p.findKey({"P1"});
    p.edit();
    (void)!write(tubo[1], "x", 1);
    usleep(400000);
    p.setFloat("EXISTE", 50);
    p.post();
    p.findKey({"P2"});
    p.edit();
    (void)!write(tubo[1], "y", 1);
    char c;
    (void)!read(suelta[0], &c, 1);
    p.cancel();
    return 0;
  });
  char c;
  ASSERT_EQ(read(tubo[0], &c, 1), 1);
  Table p;
  p.open("", "produc.dbf");
  p.setIndex("ICLAVE");
  p.findKey({"P1"});
  EXPECT_THROW(p.edit(), LockError);  // a screen is told at once
  try {
    p.lockRecord(p.recno(), 50);
    FAIL() << "sin LockError";
  } catch (const LockError& e) {
    EXPECT_STREQ(e.what(), "El registro 1 de la tabla produc.dbf está bloqueado por otra estación");
  }
  p.lockRecord(p.recno(), 5000);  // waits for the other station's post
  {
    Transaction t(".");
    p.edit();
    EXPECT_EQ(p.asText("EXISTE"), "50.00");
    p.setFloat("EXISTE", p.asFloat("EXISTE") - 1);
    p.post();
    t.commit();
  }
  ASSERT_EQ(read(tubo[0], &c, 1), 1);
  {
    Transaction t(".");
    p.findKey({"P2"});
    EXPECT_THROW(p.edit(), LockError);
  }
  (void)!write(suelta[1], "x", 1);
  EXPECT_EQ(espera(h), 0);
  for (int f : {tubo[0], tubo[1], suelta[0], suelta[1]}) close(f);
  EXPECT_EQ(porIndice(), "P1:49.00 P2:100.00 P3:100.00 P4:100.00 P5:100.00 ");
}

TEST(Unidad, LosRegistrosDeUnaUnidadQuedanBloqueadosHastaQueTermina) {
  DirectorioTemporal dir;
  creaTienda();
  Table p;
  p.open("", "produc.dbf");
  p.setIndex("ICLAVE");
  Transaction t(".");
  p.findKey({"P3"});
  p.edit();
  p.setFloat("EXISTE", 1);
  p.post();
  // Posted but not committed: another station may not build on it yet.
  const pid_t h = estacion([] {
    Table q;
    q.open("", "produc.dbf");
    q.setIndex("ICLAVE");
    q.findKey({"P3"});
    try {
      q.edit();
    } catch (const LockError&) {
      return 0;
    }
    return 1;
  });
  EXPECT_EQ(espera(h), 0);
  t.rollback();
  const pid_t h2 = estacion([] {
    Table q;
    q.open("", "produc.dbf");
    q.setIndex("ICLAVE");
    q.findKey({"P3"});
    q.edit();
    return q.asText("EXISTE") == "100.00" ? 0 : 1;
  });
  EXPECT_EQ(espera(h2), 0);
}

TEST(Unidad, UnIndiceConPaginasDesordenadasOInterrumpidoSeReconstruyeSolo) {
  DirectorioTemporal dir;
  Table::create("", "grande.dbf", {{"CLAVE", 'N', 8, 0}}, {{"ICLAVE", "CLAVE"}});
  {
    Table t;
    t.open("", "grande.dbf");
    for (int i = 1; i <= 3000; ++i) {
      t.append();
      t.setInteger("CLAVE", (i * 7919) % 3001);
      t.post();
    }
  }
  const std::string sano = bytes("grande.dbf");
  auto recorre = [] {
    Table t;
    t.open("", "grande.dbf");
    t.setIndex("ICLAVE");
    long n = 0, anterior = -1;
    bool orden = true;
    for (t.first(); !t.eof(); t.next()) {
      orden = orden && t.asInteger("CLAVE") > anterior;
      anterior = t.asInteger("CLAVE");
      ++n;
    }
    return std::make_pair(n, orden);
  };
  // Two entries of a leaf swapped on disk.
  {
    std::string m = bytes("grande.mdx");
    bool hecho = false;
    for (size_t pg = 8192; pg + 4096 <= m.size() && !hecho; pg += 4096) {
      const auto* u = reinterpret_cast<const unsigned char*>(m.data() + pg);
      const int n = u[2] | (u[3] << 8), e = u[4] | (u[5] << 8);
      if (u[0] != 1 || n < 10) continue;
      std::string a = m.substr(pg + 16, e), b = m.substr(pg + 16 + 5 * e, e);
      m.replace(pg + 16, e, b);
      m.replace(pg + 16 + 5 * e, e, a);
      hecho = true;
    }
    ASSERT_TRUE(hecho);
    std::ofstream("grande.mdx", std::ios::binary) << m;
  }
  bitacora().clear();
  journal::setLogSink(anota);
  EXPECT_EQ(recorre(), std::make_pair(3000L, true));
  ASSERT_EQ(bitacora().size(), 1u);
  EXPECT_EQ(bitacora()[0],
            "Se reconstruyó el índice grande.mdx de la tabla grande.dbf (Índice dañado: entradas fuera de "
            "orden en la página " +
                bitacora()[0].substr(bitacora()[0].rfind(' ') + 1));
  // A writer killed in the middle of an index write, outside any journal.
  const pid_t h = estacion([] {
    Table t;
    t.open("", "grande.dbf");
    MdxFile m;
    m.open(t.path().substr(0, t.path().size() - 3) + "mdx", RecordLayout::from(t.fieldDefs()));
    m.beginWrite();
    m.insert(0, std::string(8, '9'), 77777);
    _exit(0);  // no endWrite: the dirty mark stays
    return 0;
  });
  ASSERT_EQ(espera(h), 0);
  bitacora().clear();
  EXPECT_EQ(recorre(), std::make_pair(3000L, true));
  journal::setLogSink(nullptr);
  ASSERT_EQ(bitacora().size(), 1u);
  EXPECT_EQ(bitacora()[0], "Se reconstruyó el índice grande.mdx de la tabla grande.dbf (Índice dañado: escritura interrumpida)");
  EXPECT_EQ(bytes("grande.dbf"), sano);  // the table itself is never touched by the repair
}

TEST(Unidad, AbrirYLeerUnaTablaTruncadaNoLaEscribe) {
  DirectorioTemporal dir;
  Table::create("", "corta.dbf", {{"CLAVE", 'N', 8, 0}});
  {
    Table t;
    t.open("", "corta.dbf");
    for (int i = 1; i <= 10; ++i) {
      t.append();
      t.setInteger("CLAVE", i);
      t.post();
    }
  }
  std::string b = bytes("corta.dbf");
  b.resize(b.size() - 20);  // the last two records and a half are gone
  std::ofstream("corta.dbf", std::ios::binary) << b;
  Table t;
  t.open("", "corta.dbf");
  long n = 0;
  for (t.first(); !t.eof(); t.next()) ++n;
  t.close();
  EXPECT_EQ(n, 7);
  EXPECT_EQ(bytes("corta.dbf"), b);
}
