// The concentration generator over a real table: the scratch files, the type record,
// sorting and concentrating, the options, the record tests, currency conversion,
// cancelling, and the titles and widths files.

#include <gtest/gtest.h>

#include "reports/concentrado.h"
#include "base/moneda.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"

using namespace mostrador;
using namespace mostrador::reports;
using prueba::DirectorioTemporal;
using prueba::InteraccionFalsa;
using V = std::vector<std::string>;

namespace {

class Concentrado : public ::testing::Test {
 protected:
  DirectorioTemporal dir;
  InteraccionFalsa ui;
  const std::string sistema = "C:\\tvk";
  const std::string datos = "C:\\datos";
  dbf::Table fuente;

  void SetUp() override {
    base::creaDirectorios(datos);
    dbf::Table::create(datos, "fuente.dbf",
                       {{"CLAVE", 'C', 10, 0},
                        {"NOMBRE", 'C', 20, 0},
                        {"IMPORTE", 'N', 12, 2},
                        {"CANT", 'N', 6, 0},
                        {"FECHA", 'D', 8, 0},
                        {"ESTADO", 'C', 1, 0},
                        {"MONEDA", 'C', 15, 0}},
                       {{"ICLAVE", "CLAVE", false, false}});
  }
  void fila(const std::string& clave, const std::string& nombre, double importe, dbf::Fecha fecha = {2024, 3, 5},
            const std::string& estado = "", const std::string& moneda = "", double cant = 1) {
    dbf::Table t;
    t.open(datos, "fuente.dbf");
    t.append();
    t.setText("CLAVE", clave);
    t.setText("NOMBRE", nombre);
    t.setFloat("IMPORTE", importe);
    t.setFloat("CANT", cant);
    t.setDate(t.requireField("FECHA"), fecha.anio ? std::optional<dbf::Fecha>(fecha) : std::nullopt);
    t.setText("ESTADO", estado);
    t.setText("MONEDA", moneda);
    t.post();
  }
  ResultadoConcentrado genera(ParametrosConcentrado p) {
    fuente.open(datos, "fuente.dbf");
    auto r = GeneraConcentrado({&fuente}, p, sistema, datos, ui);
    fuente.close();
    return r;
  }
  std::vector<RegistroConcentrado> lee(std::string_view archivo) {
    std::vector<RegistroConcentrado> r;
    auto b = base::leeBytes(base::une(sistema, archivo));
    if (!b) return r;
    for (size_t i = 0; i + kTamanoConcentrado <= b->size(); i += kTamanoConcentrado)
      r.push_back(deBytes(std::string_view(*b).substr(i, kTamanoConcentrado)));
    return r;
  }
  // key|second key|v1|v2|v3 of each record.
  V resumen(std::string_view archivo) {
    V r;
    for (const auto& x : lee(archivo))
      r.push_back(x.clave + "|" + x.clave2 + "|" + x.valores[0] + "|" + x.valores[1] + "|" + x.valores[2]);
    return r;
  }
  static ParametrosConcentrado basicos() {
    ParametrosConcentrado p;
    p.clave = "CLAVE";
    p.segundaClave = "NOMBRE";
    p.columnas = {"IMPORTE", "NOMBRE", "", "", "", "", "", ""};
    return p;
  }
  V progreso() const {
    V r;
    for (const auto& l : ui.llamadas())
      if (l.rfind("progreso:", 0) == 0) r.push_back(l);
    return r;
  }
};

TEST_F(Concentrado, TresRegistrosAAYBDanDosConLaSumaYElPrimeroDeCadaClave) {
  fila("A", "uno", 10);
  fila("B", "dos", 7);
  fila("A", "tres", 5);
  ASSERT_EQ(genera(basicos()), ResultadoConcentrado::Hecho);
  // The fields' texts as stored; the concentrated sums in their plain form.
  EXPECT_EQ(resumen(kArchivoConcen),
            (V{"||f|c|x", "A|uno|10.00|uno|0", "B|dos|7.00|dos|0", "A|tres|5.00|tres|0", "*||0|0|0"}));
  EXPECT_EQ(resumen(kArchivoOrden), (V{"||f|c|x", "A|uno|10.00|uno|0", "A|tres|5.00|tres|0", "B|dos|7.00|dos|0", "*||0|0|0",
                                       "*||0|0|0", "*||0|0|0"}));
  EXPECT_EQ(resumen(kArchivoFinal), (V{"||f|c|x", "A|uno|15|uno|0", "B|dos|7|dos|0", "*||0|0|0"}));
  EXPECT_FALSE(base::existe(base::une(sistema, "tempo\\final.par")));
  EXPECT_EQ(progreso(), (V{"progreso: Leyendo Datos 0/3", "progreso: Ordenando Datos 0/7",
                           "progreso: Concentrando Datos 0/3"}));
  // Every record is 410 bytes on disk, the strings length-prefixed.
  auto bytes = base::leeBytes(base::une(sistema, kArchivoFinal));
  ASSERT_TRUE(bytes);
  ASSERT_EQ(bytes->size(), 4 * 410u);
  EXPECT_EQ(bytes->substr(410, 3), std::string("\x01" "A\0", 3));
  EXPECT_EQ(bytes->substr(410 + 202, 3), std::string("\x02" "15", 3));
  EXPECT_EQ(bytes->substr(410 + 202 + 26, 4), std::string("\x03" "uno", 4));
}

TEST_F(Concentrado, OpcionesDyDCyElOrdenSinDistinguirMayusculas) {
  fila("b", "1", 1);
  fila("A", "2", 2);
  fila("a", "3", 3);
  auto p = basicos();
  p.opcion = "D";
  ASSERT_EQ(genera(p), ResultadoConcentrado::Hecho);
  EXPECT_EQ(resumen(kArchivoFinal), (V{"||f|c|x", "b|1|1.00|1|0", "A|2|2.00|2|0", "a|3|3.00|3|0", "*||0|0|0"}));
  EXPECT_FALSE(base::existe(base::une(sistema, kArchivoConcen)));

  p.opcion = "DC";
  ASSERT_EQ(genera(p), ResultadoConcentrado::Hecho);
  EXPECT_EQ(resumen(kArchivoFinal), (V{"||f|c|x", "A|2|2.00|2|0", "a|3|3.00|3|0", "b|1|1.00|1|0", "*||0|0|0", "*||0|0|0",
                                       "*||0|0|0"}));

  p.opcion = "C";
  ASSERT_EQ(genera(p), ResultadoConcentrado::Hecho);
  EXPECT_EQ(resumen(kArchivoFinal), (V{"||f|c|x", "A|2|5|2|0", "b|1|1|1|0", "*||0|0|0"}));
}

TEST_F(Concentrado, FechasEstadoYCondicionesDejanPasarSoloLoPedido) {
  fila("A", "marzo", 1, {2024, 3, 5});
  fila("B", "abril", 2, {2024, 4, 1});
  fila("C", "cancelada", 4, {2024, 3, 6}, "C");
  fila("D", "sin fecha", 8, {0, 0, 0});
  auto p = basicos();
  p.campoFecha = "FECHA";
  p.fechaDesde = "01/03/2024";
  p.fechaHasta = "31/03/2024";
  p.campoEstado = "ESTADO";
  p.operadorEstado = '!';
  p.valorEstado = "C";
  ASSERT_EQ(genera(p), ResultadoConcentrado::Hecho);
  EXPECT_EQ(resumen(kArchivoFinal), (V{"||f|c|x", "A|marzo|1|marzo|0", "*||0|0|0"}));

  // Conditions joined by "O": any of them passes a record; otherwise all must hold.
  auto q = basicos();
  q.condiciones.condiciones[0] = {"IMPORTE", ">=", "4"};
  q.condiciones.condiciones[1] = {"NOMBRE", "Inicia_Con", "ma"};
  q.condiciones.conector = "O";
  ASSERT_EQ(genera(q), ResultadoConcentrado::Hecho);
  EXPECT_EQ(resumen(kArchivoFinal), (V{"||f|c|x", "A|marzo|1|marzo|0", "C|cancelada|4|cancelada|0",
                                       "D|sin fecha|8|sin fecha|0", "*||0|0|0"}));
  q.condiciones.conector = "Y";
  ASSERT_EQ(genera(q), ResultadoConcentrado::Hecho);
  EXPECT_EQ(resumen(kArchivoFinal), (V{"||f|c|x", "*||0|0|0"}));
  // Dates compare as dates, not as texts.
  q.condiciones = {};
  q.condiciones.condiciones[2] = {"FECHA", "<", "10/03/2024"};
  ASSERT_EQ(genera(q), ResultadoConcentrado::Hecho);
  EXPECT_EQ(resumen(kArchivoFinal), (V{"||f|c|x", "A|marzo|1|marzo|0", "C|cancelada|4|cancelada|0", "*||0|0|0"}));
}

TEST_F(Concentrado, FormasDeLaClaveTiposYColumnasCalculadas) {
  fila("ABCDE", "x", 10, {2024, 3, 5}, "", "", 3);
  fila("ABXYZ", "y", 20, {2024, 3, 9}, "", "", 4);
  fila("", "z", 1, {2024, 4, 1});
  auto p = basicos();
  p.clave = "%2CLAVE";
  p.columnas = {"IMPORTE", "CANT", "&IMPORTE*CANT", "FECHA", "NOEXISTE", "%1NOMBRE", "", ""};
  ASSERT_EQ(genera(p), ResultadoConcentrado::Hecho);
  auto f = lee(kArchivoFinal);
  ASSERT_EQ(f.size(), 4u);
  EXPECT_EQ(f[0].valores, (std::array<std::string, 8>{"f", "e", "f", "d", "x", "c", "x", "x"}));
  EXPECT_EQ(f[1].clave, "AB");
  // Summed: the float and the computed column; the whole-number column keeps its first value.
  EXPECT_EQ(f[1].valores, (std::array<std::string, 8>{"30", "3", "110", "05/03/2024", "0", "x", "0", "0"}));
  EXPECT_EQ(f[2].clave, "N.A.");

  p.clave = "@MFECHA";
  ASSERT_EQ(genera(p), ResultadoConcentrado::Hecho);
  EXPECT_EQ(resumen(kArchivoFinal), (V{"||f|e|f", "2024/03|x|30|3|110", "2024/04|z|1|1|1", "*||0|0|0"}));
}

TEST_F(Concentrado, ConversionPorElValorDeLaMonedaDelRegistro) {
  base::escribeMonedas(datos, {{"Dolar", "20", "", "", "", "DLLS", "$"}, {"Peso", "1", "", "", "", "M.N.", "$"}});
  fila("A", "x", 10, {2024, 3, 5}, "", "Dolar");
  fila("B", "y", 10, {2024, 3, 5}, "", "Marco");
  auto p = basicos();
  p.conversiones[0] = {'*', "MONEDA"};
  p.conversiones[1] = {'/', "MONEDA"};
  p.columnas[1] = "IMPORTE";
  ASSERT_EQ(genera(p), ResultadoConcentrado::Hecho);
  // An unknown currency has the rate 0 (dividing by it gives 0).
  EXPECT_EQ(resumen(kArchivoFinal), (V{"||f|f|x", "A|x|200|0.5|0", "B|y|0|0|0", "*||0|0|0"}));
}

TEST_F(Concentrado, CancelarNoDejaResultadoAMedias) {
  for (int i = 0; i < 300; ++i) fila("K" + std::to_string(i % 7), "n", 1);
  base::creaDirectorios(base::une(sistema, "tempo"));
  base::escribeBytes(base::une(sistema, kArchivoFinal), std::string(410, 'v'));  // an earlier result
  auto p = basicos();
  int preguntas = 0;
  p.cancelado = [&] { return ++preguntas == 2; };
  EXPECT_EQ(genera(p), ResultadoConcentrado::Cancelado);
  for (auto a : {kArchivoConcen, kArchivoOrden, kArchivoFinal})
    EXPECT_FALSE(base::existe(base::une(sistema, a))) << a;
  EXPECT_EQ(ui.llamadas().back(), "fin progreso");
}

TEST_F(Concentrado, FuenteVaciaDejaUnFinalVacio) {
  ASSERT_EQ(genera(basicos()), ResultadoConcentrado::Hecho);
  EXPECT_EQ(base::leeBytes(base::une(sistema, kArchivoFinal)), std::string());
}

TEST_F(Concentrado, RangoDelIndiceActual) {
  fila("A", "1", 1);
  fila("B", "2", 2);
  fila("C", "3", 3);
  auto p = basicos();
  p.rangoInicio = "B";
  p.rangoFin = "C";
  fuente.open(datos, "fuente.dbf");
  fuente.setIndex("ICLAVE");
  ASSERT_EQ(GeneraConcentrado({&fuente}, p, sistema, datos, ui), ResultadoConcentrado::Hecho);
  EXPECT_EQ(resumen(kArchivoFinal), (V{"||f|c|x", "B|2|2|2|0", "C|3|3|3|0", "*||0|0|0"}));
  // A start above the end is no range at all.
  p.rangoInicio = "Z";
  ASSERT_EQ(GeneraConcentrado({&fuente}, p, sistema, datos, ui), ResultadoConcentrado::Hecho);
  EXPECT_EQ(lee(kArchivoFinal).size(), 5u);
}

TEST_F(Concentrado, UnRangoSobreUnaTablaSinIndiceFallaConSuMensajeYSinResultado) {
  dbf::Table::create(datos, "suelta.dbf", {{"CLAVE", 'C', 10, 0}, {"IMPORTE", 'N', 12, 2}});
  {
    dbf::Table t;
    t.open(datos, "suelta.dbf");
    t.append();
    t.setText("CLAVE", "A");
    t.post();
  }
  auto p = basicos();
  p.rangoInicio = "A";
  p.rangoFin = "B";
  dbf::Table t;
  t.open(datos, "suelta.dbf");
  EXPECT_EQ(GeneraConcentrado({&t}, p, sistema, datos, ui), ResultadoConcentrado::Fallo);
  EXPECT_EQ(ui.mensajes(), V{"La tabla suelta.dbf no tiene un índice seleccionado"});
  EXPECT_FALSE(base::existe(base::une(sistema, kArchivoFinal)));
}

TEST_F(Concentrado, EvaluaColumnaConCamposNumerosYDivisionEntreCero) {
  fila("A", "x", 200, {2024, 3, 5}, "", "", 5);
  fuente.open(datos, "fuente.dbf");
  fuente.first();
  EXPECT_EQ(EvaluaColumna(fuente, "&%IMPORTE&*&%CANT&*&0.01&"), "10.0000");
  EXPECT_EQ(EvaluaColumna(fuente, "&(IMPORTE+CANT)*2"), "410.0000");
  EXPECT_EQ(EvaluaColumna(fuente, "&IMPORTE/ESTADO"), "0.0000");
  EXPECT_EQ(EvaluaColumna(fuente, "&IMPORTE-CANT*2"), "190.0000");
  EXPECT_EQ(EvaluaColumna(fuente, "&0-(IMPORTE)"), "-200.0000");
}

TEST_F(Concentrado, TitulosYAnchosConSuDisenoDeBytes) {
  CondicionesConcentrado c;
  c.condiciones[0] = {"CLVEN_F", "<>", "V1"};
  ASSERT_TRUE(TitulosConcentrado(sistema, {"Día", "", "Importe", "-Docs", "", "", "", "", "", ""}, "DC",
                                 {'f', 'e', 'x', 'x', 'x', 'x', 'x', 'x'}, c));
  auto e = base::leeBytes(base::une(sistema, kArchivoEtiquetas));
  ASSERT_TRUE(e);
  ASSERT_EQ(e->size(), 780u);
  EXPECT_EQ(e->substr(0, 4), "\x03" "D\xED" "a");
  EXPECT_EQ(e->substr(52, 8), "\x07" "Importe");
  EXPECT_EQ(e->substr(260, 3), "\x02" "DC");
  EXPECT_EQ(e->substr(260 + 52, 2), "\x01" "f");
  EXPECT_EQ(e->substr(520, 8), "\x07" "CLVEN_F");
  EXPECT_EQ(e->substr(520 + 4 * 26, 2), "\x01" "X");
  EXPECT_EQ(e->substr(520 + 7 * 26, 3), "\x02" "V1");

  ASSERT_TRUE(AnchosConcentrado(sistema, {12, 0, 300, -1, 0, 0, 0, 0, 0, 7}));
  EXPECT_EQ(base::leeBytes(base::une(sistema, kArchivoAnchos)),
            std::string("\x0C\x00\x00\x00\x2C\x01\xFF\xFF\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x07\x00", 20));
}

}  // namespace
