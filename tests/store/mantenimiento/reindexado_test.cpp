// Rebuilding indexes from "Indices.cnf" on real tables: field and expression tags, table
// groups, damaged and missing index files, tables held by another station, the check and
// the incomplete rebuild, warehouses, counters, and the reindex screen's commands.

#include "store/mantenimiento/reindexado.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/dbf_table.h"
#include "store/mantenimiento/opciones.h"
#include "store/numeracion.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

namespace mostrador::store {
namespace {

namespace fs = std::filesystem;
using Msgs = std::vector<std::string>;

constexpr base::FechaHora kAhora{{2026, 12, 8}, {13, 5, 9, 0}};

class Reindexado : public ::testing::Test {
 protected:
  // cliente.dbf: three customers; vendedor.dbf: two sellers. Both with tags.
  void SetUp() override {
    datos = dir.str() + "/datos";
    fs::create_directories(datos);
    creaClientes(datos);
    dbf::Table::create(datos, "vendedor.dbf", {{"CLVEN_V", 'C', 4, 0}, {"NOMBR_V", 'C', 20, 0}},
                       {{"ICLAVEN", "CLVEN_V"}});
    dbf::Table v;
    v.open(datos, "vendedor.dbf");
    for (const char* k : {"V2", "V1"}) {
      v.append();
      v.setText("CLVEN_V", k);
      v.post();
    }
  }

  static void creaClientes(const std::string& d) {
    dbf::Table::create(d, "cliente.dbf",
                       {{"CLCLI_C", 'C', 6, 0}, {"NOMBR_C", 'C', 20, 0}, {"SALDO_C", 'N', 10, 2}},
                       {{"ICLACLI", "CLCLI_C"}});
    dbf::Table t;
    t.open(d, "cliente.dbf");
    const std::vector<std::pair<std::string, std::string>> filas{{"C3", "beatriz"}, {"C1", "Zoila"}, {"C2", "Adan"}};
    for (const auto& [k, n] : filas) {
      t.append();
      t.setText("CLCLI_C", k);
      t.setText("NOMBR_C", n);
      t.setFloat("SALDO_C", 10);
      t.post();
    }
  }

  static std::vector<std::string> etiquetas(const std::string& d, const std::string& tabla) {
    dbf::Table t;
    t.open(d, tabla);
    std::vector<std::string> r;
    for (const auto& tag : t.tags()) r.push_back(tag.name + "=" + tag.key);
    return r;
  }

  static std::vector<std::string> enOrden(const std::string& d, const std::string& tabla, const std::string& tag,
                                          const std::string& campo) {
    dbf::Table t;
    t.open(d, tabla);
    t.setIndex(tag);
    std::vector<std::string> r;
    for (t.first(); !t.eof(); t.next()) r.push_back(t.asText(campo));
    return r;
  }

  prueba::DirectorioTemporal dir;
  prueba::InteraccionFalsa ui;
  std::string datos;
};

TEST_F(Reindexado, LinesReadThreeItemsAndKeepCommasOfAnExpression) {
  EXPECT_EQ(leeLineaIndice("cliente.dbf,ICLACLI,CLCLI_C"), (LineaIndice{"cliente.dbf", "ICLACLI", "CLCLI_C"}));
  EXPECT_EQ(leeLineaIndice(" movinven.dbf , IDOC , *SUBSTR(NUDOC_MI,1,3)+CLPRO_MI"),
            (LineaIndice{"movinven.dbf", "IDOC", "*SUBSTR(NUDOC_MI,1,3)+CLPRO_MI"}));
  EXPECT_EQ(leeLineaIndice("cliente.dbf,ICLACLI"), std::nullopt);
  EXPECT_EQ(leeLineaIndice("cliente.dbf,,CLCLI_C"), std::nullopt);
  EXPECT_EQ(leeLineaIndice(""), std::nullopt);
}

TEST_F(Reindexado, AMissingOrDamagedIndexComesBackWithFieldAndExpressionTags) {
  fs::remove(fs::path(datos) / "cliente.mdx");
  {
    dbf::Table t;
    t.open(datos, "cliente.dbf");
    EXPECT_EQ(t.indexProblem(), "Falta el índice cliente.mdx de la tabla cliente.dbf");
  }
  // The seller's index is overwritten with rubbish.
  dir.escribe("datos/vendedor.mdx", std::string(2048, 'x'));

  const Msgs lineas{"cliente.dbf,iclacli,clcli_c", "cliente.dbf,INOMBRE,*UPPER(NOMBR_C)",
                    "vendedor.dbf,ICLAVEN,CLVEN_V"};
  ResultadoIndices r = reconstruyeIndices(ui, datos, lineas);
  EXPECT_TRUE(r.completo());
  EXPECT_EQ(r.creados, (Msgs{"cliente.dbf ICLACLI", "cliente.dbf INOMBRE", "vendedor.dbf ICLAVEN"}));
  EXPECT_EQ(ui.llamadas(), (Msgs{"progreso: Reindexando " + datos + " 0/3", "avanza: 1", "avanza: 1",
                                 "avanza: 1", "fin progreso"}));
  EXPECT_EQ(etiquetas(datos, "cliente.dbf"), (Msgs{"ICLACLI=CLCLI_C", "INOMBRE=*UPPER(NOMBR_C)"}));
  EXPECT_EQ(enOrden(datos, "cliente.dbf", "INOMBRE", "NOMBR_C"), (Msgs{"Adan", "beatriz", "Zoila"}));
  EXPECT_EQ(enOrden(datos, "vendedor.dbf", "ICLAVEN", "CLVEN_V"), (Msgs{"V1", "V2"}));
  // The tables are usable: a key is found and a new record enters every tag.
  dbf::Table t;
  t.open(datos, "cliente.dbf");
  EXPECT_EQ(t.indexProblem(), "");
  t.setIndex("ICLACLI");
  ASSERT_TRUE(t.findKey({dbf::KeyValue{std::string("C2")}}));
  EXPECT_EQ(t.asText("NOMBR_C"), "Adan");
  t.append();
  t.setText("CLCLI_C", "C0");
  t.setText("NOMBR_C", "Aaron");
  t.post();
  t.close();
  EXPECT_EQ(enOrden(datos, "cliente.dbf", "INOMBRE", "NOMBR_C"), (Msgs{"Aaron", "Adan", "beatriz", "Zoila"}));
}

TEST_F(Reindexado, EachGroupOfATableStartsAFreshIndexSoOnlyTheLastGroupRemains) {
  const Msgs lineas{"cliente.dbf,ICLACLI,CLCLI_C", "cliente.dbf,INOMBRE,NOMBR_C", "vendedor.dbf,ICLAVEN,CLVEN_V",
                    "cliente.dbf,ISALDO,SALDO_C;CLCLI_C"};
  ResultadoIndices r = reconstruyeIndices(ui, datos, lineas);
  EXPECT_TRUE(r.completo());
  EXPECT_EQ(etiquetas(datos, "cliente.dbf"), (Msgs{"ISALDO=SALDO_C;CLCLI_C"}));
  EXPECT_EQ(etiquetas(datos, "vendedor.dbf"), (Msgs{"ICLAVEN=CLVEN_V"}));
}

TEST_F(Reindexado, FailuresAreShownAndTheNextLinesGoOn) {
  const Msgs lineas{"cliente.dbf,IMALO,NOEXISTE", "cliente.dbf,ICLACLI,CLCLI_C", "falta.dbf,IFALTA,CAMPO",
                    "falta.dbf,IOTRA,CAMPO", "vendedor.dbf,ICLAVEN,CLVEN_V"};
  ResultadoIndices r = reconstruyeIndices(ui, datos, lineas);
  ASSERT_EQ(r.errores.size(), 2u);
  EXPECT_EQ(r.errores[0].rfind("Fallo en IMALO ", 0), 0u) << r.errores[0];
  EXPECT_NE(r.errores[0].find("NOEXISTE"), std::string::npos) << r.errores[0];
  // A table that cannot be opened is named once for its group.
  EXPECT_EQ(r.errores[1], "Ocurrio un Error al Crear un Indice en la Tabla falta.dbf");
  EXPECT_EQ(ui.mensajes(), r.errores);
  EXPECT_EQ(r.creados, (Msgs{"cliente.dbf ICLACLI", "vendedor.dbf ICLAVEN"}));
  EXPECT_EQ(etiquetas(datos, "cliente.dbf"), (Msgs{"ICLACLI=CLCLI_C"}));
}

TEST_F(Reindexado, ATableAnotherStationHoldsIsNamedAndLeftAsItWas) {
  const std::string antes = dir.lee("datos/cliente.mdx");
  dbf::Table otra;  // another station's handle: an open file description of its own
  otra.open(datos, "cliente.dbf");
  ResultadoIndices r = reconstruyeIndices(ui, datos, {"cliente.dbf,INOMBRE,NOMBR_C", "vendedor.dbf,IV,NOMBR_V"});
  EXPECT_EQ(r.enUso, (Msgs{"cliente.dbf"}));
  EXPECT_EQ(r.creados, (Msgs{"vendedor.dbf IV"}));
  EXPECT_FALSE(r.completo());
  EXPECT_EQ(ui.mensajes(),
            (Msgs{"La tabla cliente.dbf está en uso por otra estación; sus índices no se reconstruyeron"}));
  EXPECT_EQ(dir.lee("datos/cliente.mdx"), antes);
  otra.close();
  EXPECT_EQ(etiquetas(datos, "cliente.dbf"), (Msgs{"ICLACLI=CLCLI_C"}));
}

TEST_F(Reindexado, DescribeCheckAndTheIncompleteRebuildKeepEveryTagOfTheTable) {
  {
    dbf::Table t;
    t.open(datos, "cliente.dbf", dbf::OpenMode::Exclusive);
    t.addTag({"INOMBRE", "*UPPER(NOMBR_C)"});
  }
  const Msgs descritas = describeIndices(datos, {"cliente.dbf", "vendedor.dbf"});
  EXPECT_EQ(descritas, (Msgs{"cliente.dbf,iclacli,clcli_c", "cliente.dbf,inombre,*upper(nombr_c)",
                             "vendedor.dbf,iclaven,clven_v"}));
  EXPECT_TRUE(indicesFaltantes(datos, descritas).empty());
  {
    dbf::Table t;
    t.open(datos, "cliente.dbf", dbf::OpenMode::Exclusive);
    t.deleteTag("INOMBRE");
  }
  const Msgs faltan = indicesFaltantes(datos, descritas);
  EXPECT_EQ(faltan, (Msgs{"cliente.dbf,inombre,*upper(nombr_c)"}));
  EXPECT_EQ(indicesFaltantes(datos, {"nada.dbf,IX,A"}), (Msgs{"nada.dbf,IX,A"}));
  const Msgs incompletas = lineasIncompletas(descritas, faltan);
  EXPECT_EQ(incompletas, (Msgs{"cliente.dbf,iclacli,clcli_c", "cliente.dbf,inombre,*upper(nombr_c)"}));
  reconstruyeIndices(ui, datos, incompletas);
  EXPECT_EQ(etiquetas(datos, "cliente.dbf"), (Msgs{"ICLACLI=CLCLI_C", "INOMBRE=*upper(nombr_c)"}));
  EXPECT_EQ(enOrden(datos, "cliente.dbf", "INOMBRE", "NOMBR_C"), (Msgs{"Adan", "beatriz", "Zoila"}));
  EXPECT_TRUE(indicesFaltantes(datos, descritas).empty());
}

TEST_F(Reindexado, WarehousesOneToNinetyNineAndTheCountersAreDoneToo) {
  base::escribeLineas(base::une(datos, "Indices.cnf"), {"cliente.dbf,ICLACLI,CLCLI_C"});
  for (const char* n : {"1", "3", "100"}) {
    const std::string a = datos + "/" + n;
    fs::create_directories(a);
    creaClientes(a);
    base::escribeLineas(base::une(a, "Indices.cnf"), {"cliente.dbf,INOMBRE,NOMBR_C"});
  }
  // The delivery notes go up to 7 while the counter implies 2.
  dbf::Table::create(datos, "remision.dbf", {{"CLDOC_F", 'N', 10, 0}}, {{"INUMENC", "CLDOC_F"}});
  dbf::Table::create(datos, "numero.dbf", {{"NUMERO", 'N', 10, 0}});
  {
    dbf::Table t;
    t.open(datos, "remision.dbf");
    for (int n : {5, 7}) {
      t.append();
      t.setInteger("CLDOC_F", n);
      t.post();
    }
    dbf::Table k;
    k.open(datos, "numero.dbf");
    for (int n : {1, 0}) {
      k.append();
      k.setInteger("NUMERO", n);
      k.post();
    }
    k.first();
    k.next();
    k.remove();
  }
  const std::string sistema = dir.str() + "/sistema";
  fs::create_directories(sistema);
  dir.escribe("sistema/detaTVK.db", "limpia");
  dir.escribe("sistema/deta.db", "usada");

  ResultadoIndices r = reindexaDirectorio(ui, sistema, datos);
  EXPECT_TRUE(r.completo()) << (r.errores.empty() ? "" : r.errores[0]);
  EXPECT_EQ(r.creados, (Msgs{"cliente.dbf ICLACLI", "cliente.dbf INOMBRE", "cliente.dbf INOMBRE"}));
  EXPECT_EQ(etiquetas(datos + "/1", "cliente.dbf"), (Msgs{"INOMBRE=NOMBR_C"}));
  EXPECT_EQ(etiquetas(datos + "/3", "cliente.dbf"), (Msgs{"INOMBRE=NOMBR_C"}));
  EXPECT_EQ(etiquetas(datos + "/100", "cliente.dbf"), (Msgs{"ICLACLI=CLCLI_C"}));
  EXPECT_EQ(dir.lee("sistema/deta.db"), "limpia");
  // Packed (the deleted record gone), then re-aligned: the next number is 8.
  dbf::Table k;
  k.open(datos, "numero.dbf");
  EXPECT_EQ(k.recordCount(), 1);
  k.first();
  EXPECT_EQ(k.asInteger("NUMERO"), 7);
}

TEST_F(Reindexado, AWarehouseWithoutItsDescriptionIsNamed) {
  base::escribeLineas(base::une(datos, "Indices.cnf"), {"cliente.dbf,ICLACLI,CLCLI_C"});
  fs::create_directories(datos + "/2");
  ResultadoIndices r = reindexaDirectorio(ui, "", datos);
  EXPECT_EQ(ui.mensajes(), (Msgs{"El Archivo " + base::une(base::une(datos, "2"), "Indices.cnf") + " No Existe"}));
  EXPECT_EQ(r.creados, (Msgs{"cliente.dbf ICLACLI"}));
}

class PantallaReindexa : public Reindexado {
 protected:
  void SetUp() override {
    Reindexado::SetUp();
    sistema = dir.str() + "/sistema";
    fs::create_directories(sistema);
    base::escribeLineas(base::une(datos, "Indices.cnf"),
                         {"cliente.dbf,ICLACLI,CLCLI_C", "cliente.dbf,INOMBRE,NOMBR_C", "vendedor.dbf,ICLAVEN,CLVEN_V"});
  }
  Msgs bitacora() { return base::leeLineas(base::une(sistema, "Bitacora.txt")).value_or(Msgs{}); }

  std::string sistema;
  prueba::RelojFijo reloj{kAhora};
};

TEST_F(PantallaReindexa, ShowLoadsTheFilesTheDescriptionAndTheOptions) {
  guardaOpciones(datos, {true, false, true});
  ReindexaTodo p(ui, reloj, sistema, datos);
  p.FormShow();
  EXPECT_EQ(p.EditRuta(), datos);
  EXPECT_EQ(p.Archivos(), (Msgs{"cliente.dbf", "vendedor.dbf"}));
  EXPECT_EQ(p.Memo1().size(), 3u);
  EXPECT_TRUE(p.ReindexaInicio());
  EXPECT_FALSE(p.RespaldaInicio());
  EXPECT_TRUE(p.RespaldaFinal());
  p.ponRespaldaInicio(true);
  EXPECT_EQ(dir.lee("datos/opcion.cnf"), "S\r\nS\r\nS\r\n");
  p.ArchivosClick("cliente.dbf");
  EXPECT_EQ(p.Lista(), (Msgs{"ICLACLI"}));
  EXPECT_FALSE(p.detalleVisible());
  p.F12();
  EXPECT_TRUE(p.detalleVisible());
}

TEST_F(PantallaReindexa, DescribeSavesAndLoadsTheDescriptionOfAnotherDirectory) {
  const std::string otra = dir.str() + "/otra";
  fs::create_directories(otra);
  creaClientes(otra);
  ReindexaTodo p(ui, reloj, sistema, datos);
  p.FormShow();
  p.ponEditRuta(otra);
  EXPECT_EQ(p.Archivos(), (Msgs{"cliente.dbf"}));
  p.BitBtn8Click();
  EXPECT_EQ(ui.mensajes(), (Msgs{"El Archivo " + base::une(otra, "Indices.cnf") + " No Existe"}));
  p.BitBtn1Click();
  EXPECT_EQ(p.Memo1(), (Msgs{"cliente.dbf,iclacli,clcli_c"}));
  p.BitBtn4Click();
  EXPECT_EQ(dir.lee("otra/Indices.cnf"), "cliente.dbf,iclacli,clcli_c\r\n");
  p.ponMemo1({});
  p.BitBtn8Click();
  EXPECT_EQ(p.Memo1(), (Msgs{"cliente.dbf,iclacli,clcli_c"}));
}

TEST_F(PantallaReindexa, ReindexLogsRebuildsAndFillsTheSecondList) {
  ReindexaTodo p(ui, reloj, sistema, datos);
  p.FormShow();
  int cambios = 0;
  p.alCambiar = [&] { ++cambios; };
  p.BitBtn2Click();
  EXPECT_EQ(bitacora(), (Msgs{"Reindexado 08/12/2026  13:05:09"}));
  EXPECT_EQ(p.Lista2(), (Msgs{"cliente.dbf ICLACLI", "cliente.dbf INOMBRE", "vendedor.dbf ICLAVEN"}));
  EXPECT_EQ(p.Progreso(), 100);
  // The end says so, with what it did.
  EXPECT_EQ(p.LabelTabla(), "Terminado: 3 índices de 2 tablas");
  EXPECT_GE(cambios, 3);
  EXPECT_EQ(etiquetas(datos, "cliente.dbf"), (Msgs{"ICLACLI=CLCLI_C", "INOMBRE=NOMBR_C"}));
}

TEST_F(PantallaReindexa, IncompleteTemporariesTotalAndRenumbering) {
  ReindexaTodo p(ui, reloj, sistema, datos, [&](const std::string& d) {
    EXPECT_EQ(d, datos);
    return false;
  });
  p.FormShow();
  p.BitBtn6Click();
  EXPECT_EQ(p.Faltantes(), (Msgs{"cliente.dbf,INOMBRE,NOMBR_C"}));
  p.BitBtn7Click();
  EXPECT_EQ(p.Memo1(), (Msgs{"cliente.dbf,ICLACLI,CLCLI_C", "cliente.dbf,INOMBRE,NOMBR_C"}));
  EXPECT_TRUE(p.Faltantes().empty());
  EXPECT_EQ(etiquetas(datos, "cliente.dbf"), (Msgs{"ICLACLI=CLCLI_C", "INOMBRE=NOMBR_C"}));
  EXPECT_EQ(etiquetas(datos, "vendedor.dbf"), (Msgs{"ICLAVEN=CLVEN_V"}));

  dir.escribe("datos/_sql1.dbf", "x");
  dir.escribe("datos/_tmp.txt", "x");
  p.BitBtn5Click();
  EXPECT_FALSE(fs::exists(fs::path(datos) / "_sql1.dbf"));
  EXPECT_FALSE(fs::exists(fs::path(datos) / "_tmp.txt"));
  EXPECT_TRUE(fs::exists(fs::path(datos) / "cliente.dbf"));

  // The record check was not accepted: no log line, nothing rebuilt.
  p.BitBtn10Click();
  EXPECT_EQ(bitacora(), (Msgs{"Reindexado Incompletos 08/12/2026  13:05:09", "Borrado Temporales 08/12/2026  13:05:09"}));

  ui.respondeAdvertencia(base::RespuestaAdvertencia::No);
  p.BitBtn11Click();
  EXPECT_EQ(ui.llamadas().back(), "advertencia: " + std::string(kPreguntaRenumeracion));
}

TEST_F(PantallaReindexa, TheTotalRebuildFollowsAnAcceptedRecordCheck) {
  int verificaciones = 0;
  ReindexaTodo p(ui, reloj, sistema, datos, [&](const std::string&) {
    ++verificaciones;
    return true;
  });
  p.FormShow();
  fs::remove(fs::path(datos) / "vendedor.mdx");
  p.BitBtn10Click();
  EXPECT_EQ(verificaciones, 1);
  EXPECT_EQ(bitacora(), (Msgs{"Reindexado Total 08/12/2026  13:05:09"}));
  EXPECT_EQ(etiquetas(datos, "vendedor.dbf"), (Msgs{"ICLAVEN=CLVEN_V"}));
}

}  // namespace
}  // namespace mostrador::store
