// The table catalogue: consistency of every definition and the widths that must hold
// the values the screens write.

#include "store/catalogo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "store/estados.h"

namespace mostrador::store {
namespace {

std::string mayusculas(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::vector<const DefTabla*> todas() {
  std::vector<const DefTabla*> v;
  for (const auto& t : tablasEmpresa()) v.push_back(&t);
  for (const auto& t : tablasSistema()) v.push_back(&t);
  return v;
}

const DefTabla& tabla(const char* nombre) {
  const DefTabla* t = buscaTabla(nombre);
  if (!t) throw std::runtime_error(std::string("tabla desconocida ") + nombre);
  return *t;
}

const dbf::FieldDef& campo(const char* t, const char* c) {
  const dbf::FieldDef* f = tabla(t).campo(c);
  if (!f) throw std::runtime_error(std::string("campo desconocido ") + t + "." + c);
  return *f;
}

// The widest value a numeric field can hold as text (sign and point included).
int digitosEnteros(const dbf::FieldDef& f) {
  return f.decimals > 0 ? f.length - f.decimals - 1 : f.length;
}

TEST(Catalogo, NombresDeTablaUnicosSinDistinguirMayusculas) {
  std::set<std::string> vistos;
  for (const DefTabla* t : todas())
    EXPECT_TRUE(vistos.insert(mayusculas(t->archivo)).second) << t->archivo;
  EXPECT_EQ(tablasSistema().size(), 5u);
}

TEST(Catalogo, CamposValidosParaDbase) {
  for (const DefTabla* t : todas()) {
    SCOPED_TRACE(t->archivo);
    ASSERT_EQ(t->campos.size(), t->descripciones.size());
    EXPECT_LE(t->campos.size(), 255u);
    std::set<std::string> nombres;
    int registro = 1;
    for (const auto& f : t->campos) {
      SCOPED_TRACE(f.name);
      EXPECT_FALSE(f.name.empty());
      EXPECT_LE(f.name.size(), 10u);
      EXPECT_EQ(f.name, mayusculas(f.name));
      EXPECT_TRUE(nombres.insert(f.name).second) << "repetido";
      switch (f.type) {
        case 'C': EXPECT_GE(f.length, 1); EXPECT_LE(f.length, 254); EXPECT_EQ(f.decimals, 0); break;
        case 'N':
          EXPECT_LE(f.length, 20);
          EXPECT_GE(f.decimals, 0);
          if (f.decimals > 0) {
            EXPECT_LE(f.decimals, f.length - 2);
          }
          break;
        case 'D': EXPECT_EQ(f.length, 8); break;
        default: ADD_FAILURE() << "tipo " << f.type;
      }
      registro += f.length;
    }
    EXPECT_LE(registro, 4000);
  }
}

TEST(Catalogo, CadaIndiceNombraCamposExistentes) {
  for (const DefTabla* t : todas()) {
    SCOPED_TRACE(t->archivo);
    std::set<std::string> etiquetas;
    for (const auto& tag : t->indices) {
      EXPECT_LE(tag.name.size(), 10u) << tag.name;
      EXPECT_TRUE(etiquetas.insert(mayusculas(tag.name)).second) << tag.name;
      ASSERT_FALSE(tag.key.empty());
      ASSERT_NE(tag.key[0], '*') << "las tablas del catálogo se indexan por campos";
      size_t inicio = 0;
      while (inicio <= tag.key.size()) {
        size_t fin = tag.key.find(';', inicio);
        if (fin == std::string::npos) fin = tag.key.size();
        std::string nombre = tag.key.substr(inicio, fin - inicio);
        EXPECT_NE(t->campo(nombre), nullptr) << tag.name << ": " << nombre;
        inicio = fin + 1;
      }
    }
  }
}

TEST(Catalogo, EtiquetasDeCadaTabla) {
  auto etiquetas = [](const char* nombre) {
    std::vector<std::string> v;
    for (const auto& t : tabla(nombre).indices) v.push_back(t.name + "=" + t.key);
    return v;
  };
  using V = std::vector<std::string>;
  for (const auto& d : documentos()) {
    if (d.compra) {
      EXPECT_EQ(etiquetas(d.detalle.c_str()), V{"ICOMDET=CLDOC_OD"}) << d.detalle;
    } else {
      EXPECT_EQ(etiquetas(d.encabezado.c_str()), V{"INUMENC=CLDOC_F"}) << d.encabezado;
      EXPECT_EQ(etiquetas(d.detalle.c_str()), V{"CLDOC_FD=CLDOC_FD"}) << d.detalle;
    }
  }
  EXPECT_EQ(etiquetas("ComprasE.dbf"), (V{"ICOMENC=CLDOC_O", "CLPRV_O=CLPRV_O"}));
  EXPECT_EQ(etiquetas("DevolCom.dbf"), (V{"ICOMENC=CLDOC_O"}));
  EXPECT_EQ(etiquetas("cliente.dbf"), (V{"ICLACLI=CLCLI_C", "NOMBR_C=NOMBR_C"}));
  EXPECT_EQ(etiquetas("ClieDesc.dbf"), (V{"CLCLI_D=CLCLI_D"}));
  EXPECT_EQ(etiquetas("cucobrar.dbf"), (V{"ICUECOB=NUFAC_CC", "nuref_cc=NUREF_CC"}));
  EXPECT_EQ(etiquetas("proveedo.dbf"), (V{"ICLAPRO=CLAVE_P", "NOMBR_P=NOMBR_P"}));
  EXPECT_EQ(etiquetas("vendedor.dbf"), (V{"ICLAVEN=CLVEN_V", "NOMBR_V=NOMBR_V"}));
  EXPECT_EQ(etiquetas("inventar.dbf"),
            (V{"ICLPRO=CLPRO_I", "CODIG_I=CODIG_I", "DSCPR_I=DSCPR_I"}));
  EXPECT_EQ(etiquetas("movinven.dbf"), (V{"CLDOC_MI=CLDOC_MI", "CLPRO_MI=CLPRO_MI",
                                          "FEDOC_MI=FEDOC_MI", "NUDOC_MI=NUDOC_MI"}));
  EXPECT_EQ(etiquetas("CoMovInv.dbf"), (V{"ITIPMOV=NUCON_CM"}));
  EXPECT_EQ(etiquetas("factuobs.dbf"), (V{"CLDOC_FO=CLDOC_FO"}));
  EXPECT_EQ(etiquetas("Descuento.dbf"), (V{"TIPOPAGO=TIPOPAGO"}));
  EXPECT_EQ(etiquetas("Existe.dbf"), (V{"CLAVE=CLAVE"}));
  EXPECT_EQ(etiquetas("campos.dbf"), (V{"TABLA=TABLA", "CAMPO=CAMPO"}));
  EXPECT_EQ(etiquetas("Kits.dbf"), (V{"CLPRO_I=CLPRO_I"}));
  EXPECT_EQ(etiquetas("Concepto.dbf"), (V{"TIMOV_MO=TIMOV_MO"}));
  for (const char* n : {"numero.dbf", "numerof.dbf", "numeroc.dbf", "Poventas.dbf", "RutasMI.dbf"})
    EXPECT_TRUE(tabla(n).indices.empty()) << n;
  // Tag names are found without regard to case.
  EXPECT_NE(tabla("facturae.dbf").indice("inumenc"), nullptr);
  EXPECT_NE(tabla("cucobrar.dbf").indice("NUREF_CC"), nullptr);
}

TEST(Catalogo, FamiliasCompartenSuDisenio) {
  const auto& encabezado = tabla("FacturaE.dbf").campos;
  const auto& detalle = tabla("FacturaD.dbf").campos;
  for (const auto& d : documentos()) {
    if (d.compra) {
      EXPECT_EQ(tabla(d.detalle.c_str()).campos, tabla("ComprasD.dbf").campos) << d.detalle;
      continue;
    }
    EXPECT_EQ(tabla(d.encabezado.c_str()).campos, encabezado) << d.encabezado;
    EXPECT_EQ(tabla(d.detalle.c_str()).campos, detalle) << d.detalle;
  }
  EXPECT_EQ(tabla("Cupagar.dbf").campos, tabla("cuepagar.dbf").campos);
  EXPECT_EQ(tabla("detaTVK.db").campos, tabla("Deta.db").campos);
  // Purchase headers differ only in their tags.
  EXPECT_EQ(tabla("DevolCom.dbf").campos, tabla("ComprasE.dbf").campos);
  EXPECT_EQ(tabla("OrdenCom.dbf").campos, tabla("ComprasE.dbf").campos);
}

// The sign-in check looks for these tables (and, all but "Poventas", their .mdx).
TEST(Catalogo, ArchivosQueRevisaElInicioDeSesion) {
  const char* lista[] = {"Cliente",  "Comovinv", "Comprasd", "Comprase", "Concepto", "Cotizacd",
                         "Cotizaci", "Credito",  "CreditoD", "Cucobrar", "Cupagar",  "Devoluc",
                         "DevolucD", "Facturad", "Facturae", "Inventar", "Movinven", "Pedido",
                         "Pedidod",  "Poventas", "Proveedo", "Remisiod", "Remision", "Vendedor"};
  for (const char* n : lista) {
    const DefTabla* t = buscaTabla(std::string(n) + ".dbf");
    ASSERT_NE(t, nullptr) << n;
    EXPECT_EQ(t->lugar, Lugar::Datos) << n;
    if (std::string(n) != "Poventas") {
      EXPECT_FALSE(t->indices.empty()) << n << " sin .mdx";
    }
  }
  for (const char* n : {"Deta", "Detacomp", "Detaminv"}) {
    const DefTabla* t = buscaTabla(std::string(n) + ".db");
    ASSERT_NE(t, nullptr) << n;
    EXPECT_EQ(t->lugar, Lugar::Sistema) << n;
  }
}

TEST(Catalogo, BuscaTablaSinDistinguirMayusculasNiExtension) {
  EXPECT_EQ(buscaTabla("FACTURAE")->archivo, "FacturaE.dbf");
  EXPECT_EQ(buscaTabla("facturae.DBF")->archivo, "FacturaE.dbf");
  EXPECT_EQ(buscaTabla("factauxid")->archivo, "FactAuxiD.dbf");
  EXPECT_EQ(buscaTabla("deta")->archivo, "Deta.db");
  EXPECT_EQ(buscaTabla("DETATVK.DB")->archivo, "detaTVK.db");
  EXPECT_EQ(buscaTabla("numeroc")->archivo, "numeroc.dbf");
  EXPECT_EQ(buscaTabla("deta.dbf"), nullptr);
  EXPECT_EQ(buscaTabla("facturas"), nullptr);
  EXPECT_EQ(buscaTabla("FacturaE.dbf")->archivoMinusculas(), "facturae.dbf");
  EXPECT_EQ(buscaTabla("campos")->lugar, Lugar::Sistema);
}

TEST(Catalogo, NombresLargosSeGuardanComoDbase) {
  EXPECT_EQ(nombreCampoDbf("DESCRIPCION"), "DESCRIPCIO");
  EXPECT_EQ(nombreCampoDbf("PrecioCliente"), "PRECIOCLIE");
  EXPECT_EQ(nombreCampoDbf("nuref_cc"), "NUREF_CC");
  EXPECT_NE(tabla("Detaminv.db").campo("descripcion"), nullptr);  // found cut to ten
  EXPECT_EQ(tabla("Detaminv.db").campos[1].name, "DESCRIPCIO");
  EXPECT_EQ(tabla("DetaComp.db").campos[10].name, "PRECIOCLIE");
}

TEST(Catalogo, AnchosAlcanzanParaLosValoresQueSeEscriben) {
  // Counters: exactly NUMERIC(8,0), as their CREATE TABLE statement makes them.
  for (const char* n : {"numero.dbf", "numerof.dbf", "numeroc.dbf"}) {
    ASSERT_EQ(tabla(n).campos.size(), 1u);
    EXPECT_EQ(tabla(n).campos[0], (dbf::FieldDef{"NUMERO", 'N', 8, 0}));
  }
  // A document number from the counter (8 digits) fits the header; the header's number
  // fits the lines' text field and the back references.
  EXPECT_GE(digitosEnteros(campo("FacturaE.dbf", "CLDOC_F")), 8);
  const int digitos = digitosEnteros(campo("FacturaE.dbf", "CLDOC_F"));
  EXPECT_EQ(digitosEnteros(campo("ComprasE.dbf", "CLDOC_O")), digitos);
  EXPECT_GE(campo("FacturaD.dbf", "CLDOC_FD").length, digitos);
  EXPECT_GE(campo("ComprasD.dbf", "CLDOC_OD").length, digitos);
  EXPECT_GE(campo("Remision.dbf", "REMIS_F").length, digitos);
  EXPECT_GE(campo("Remisiod.dbf", "TDOCU_FD").length, 1 + digitos);  // "F" + number
  EXPECT_GE(campo("cucobrar.dbf", "NUFAC_CC").length, digitos);
  // "R" + number + "-" + stamp, e.g. "R1520-4821", at the widest.
  EXPECT_GE(campo("movinven.dbf", "NUDOC_MI").length, 1 + digitos + 1 + 5);
  // "CI(" + first + "-" + last + ")".
  EXPECT_GE(campo("FacturaE.dbf", "CLPED_F").length, 3 + digitos + 1 + digitos + 1);
  // "Pagada en " + till (3 characters).
  EXPECT_GE(campo("FacturaE.dbf", "PAGOX_F").length, 13);
  EXPECT_EQ(campo("FacturaE.dbf", "BCLIM_F").length, 3);
  // Control stamp 0..99999 everywhere it is written.
  for (const char* t : {"FacturaE.dbf", "FacturaD.dbf", "ComprasE.dbf", "ComprasD.dbf",
                        "movinven.dbf", "Existe.dbf"}) {
    EXPECT_EQ(campo(t, "CONTROL").type, 'N') << t;
    EXPECT_EQ(campo(t, "CONTROL").decimals, 0) << t;
    EXPECT_GE(digitosEnteros(campo(t, "CONTROL")), 5) << t;
  }
  // Keys at their stated widths.
  EXPECT_EQ(campo("cliente.dbf", "CLCLI_C"), (dbf::FieldDef{"CLCLI_C", 'C', 10, 0}));
  EXPECT_EQ(campo("proveedo.dbf", "CLAVE_P"), (dbf::FieldDef{"CLAVE_P", 'C', 10, 0}));
  EXPECT_EQ(campo("inventar.dbf", "CLPRO_I").length, 20);
  EXPECT_EQ(campo("cliente.dbf", "NOMBR_C").length, 60);
  EXPECT_EQ(campo("cliente.dbf", "TELEF_C").length, 20);
  // Every key copied into another table fits there whole.
  const int producto = campo("inventar.dbf", "CLPRO_I").length;
  for (auto [t, c] : {std::pair{"FacturaD.dbf", "CLPRO_FD"}, {"ComprasD.dbf", "CLPRO_OD"},
                      {"movinven.dbf", "CLPRO_MI"}, {"Existe.dbf", "CLAVE"},
                      {"Kits.dbf", "CLPRO_I"}, {"Kits.dbf", "CLPRO_K"},
                      {"factuobs.dbf", "CLDOC_FO"}, {"Deta.db", "CLAVE"},
                      {"DetaComp.db", "Clave"}, {"Detaminv.db", "CLAVE"}})
    EXPECT_GE(campo(t, c).length, producto) << t << "." << c;
  const int cliente = campo("cliente.dbf", "CLCLI_C").length;
  for (auto [t, c] : {std::pair{"FacturaE.dbf", "CLCLI_F"}, {"cucobrar.dbf", "CLCLI_CC"},
                      {"ClieDesc.dbf", "CLCLI_D"}, {"movinven.dbf", "CLPRV_MI"}})
    EXPECT_GE(campo(t, c).length, cliente) << t << "." << c;
  const int proveedor = campo("proveedo.dbf", "CLAVE_P").length;
  for (auto [t, c] : {std::pair{"ComprasE.dbf", "CLPRV_O"}, {"cuepagar.dbf", "CLPRO_CP"},
                      {"cuepagar.dbf", "CLCLI_CP"}, {"inventar.dbf", "CLPR1_I"}})
    EXPECT_GE(campo(t, c).length, proveedor) << t << "." << c;
  EXPECT_GE(campo("ClieDesc.dbf", "LINEA_D").length, campo("inventar.dbf", "LIPRO_I").length);
  // Text dates "dd/MM/yyyy".
  for (auto [t, c] : {std::pair{"FacturaD.dbf", "FEDOC_FD"}, {"movinven.dbf", "FEDOC_MI"},
                      {"cucobrar.dbf", "FEAPL_CC"}, {"cuepagar.dbf", "FEVEN_CP"},
                      {"inventar.dbf", "FEULC_I"}, {"ComprasD.dbf", "CADUC_OD"}})
    EXPECT_EQ(campo(t, c), (dbf::FieldDef{c, 'C', 10, 0})) << t;
  // Observation kinds are two characters ("CL", "Re").
  EXPECT_EQ(campo("factuobs.dbf", "TIDOC_FO").length, 2);
  // Movement types up to 3 digits (type 60 transfers, user types above 58).
  EXPECT_GE(digitosEnteros(campo("CoMovInv.dbf", "NUCON_CM")), 2);
  EXPECT_EQ(digitosEnteros(campo("movinven.dbf", "TIMOV_MI")),
            digitosEnteros(campo("CoMovInv.dbf", "NUCON_CM")));
  // Payment type price: 1000 + list.
  EXPECT_GE(digitosEnteros(campo("Descuento.dbf", "PRECIO")), 4);
}

TEST(Catalogo, DineroConDosDecimalesAlMenos) {
  const char* dinero[] = {"SUBTO", "IMTOD", "IMDOC", "SALDO", "CARGO", "ABONO", "COMPR",
                          "IMPOR", "IMCUE", "PUNPR", "COSUN", "CUNIT", "COPRO", "PUNIT",
                          "ULCOS", "CPROM", "PPUBL", "PLIS2", "PMINI", "IMIM2", "COSTO",
                          "DECOT", "CAMBI", "PRECL", "TIMPU", "IMPMO", "VANMO", "PREDE"};
  int vistos = 0;
  for (const DefTabla* t : todas()) {
    for (const auto& f : t->campos) {
      for (const char* d : dinero) {
        if (f.name.rfind(d, 0) == 0 && f.name.size() > 5 && f.name[5] == '_') {
          ++vistos;
          EXPECT_EQ(f.type, 'N') << t->archivo << "." << f.name;
          EXPECT_GE(f.decimals, 2) << t->archivo << "." << f.name;
        }
      }
    }
  }
  EXPECT_GT(vistos, 60);
  for (const char* c : {"IMPORTE", "PRECIO", "COSTO"}) {
    EXPECT_GE(campo("Deta.db", c).decimals, 2) << c;
    EXPECT_GE(campo("Detaminv.db", c).decimals, 2) << c;
  }
  EXPECT_GE(campo("retiros.dbf", "CANTIDAD").decimals, 2);
  // Totals are kept in ten-thousandths.
  EXPECT_EQ(campo("FacturaE.dbf", "IMTOD_F").decimals, 4);
  EXPECT_EQ(campo("ComprasE.dbf", "IMDOC_O").decimals, 4);
}

TEST(Catalogo, DocumentosYSusLetras) {
  std::string letras;
  for (const auto& d : documentos()) letras += d.letra ? d.letra : '-';
  EXPECT_EQ(letras, "FRPCDNCZO-P");
  EXPECT_EQ(documento(Documento::Remision).encabezado, "Remision.dbf");
  EXPECT_EQ(documento(Documento::DevolucionCompra).detalle, "DevolDet.dbf");
  EXPECT_EQ(documento(Documento::Compra).nombre, "Recepción");
  for (const auto& d : documentos()) {
    EXPECT_NE(buscaTabla(d.encabezado), nullptr) << d.encabezado;
    EXPECT_NE(buscaTabla(d.detalle), nullptr) << d.detalle;
  }
}

TEST(Estados, TextosDeVenta) {
  EXPECT_EQ(textoEstadoVenta(""), "Activa");
  EXPECT_EQ(textoEstadoVenta("C"), "Cancelada");
  EXPECT_EQ(textoEstadoVenta("D"), "Dev. Total");
  EXPECT_EQ(textoEstadoVenta("P"), "Dev. Parcial");
  EXPECT_EQ(textoEstadoVenta("G"), "Pagada");
  EXPECT_EQ(textoEstadoVenta("E"), "En Espera...");
  EXPECT_EQ(textoEstadoVenta("c"), "Activa");  // the whole field is compared
  EXPECT_EQ(textoImpresion("I"), "Impresa");
  EXPECT_EQ(textoImpresion(""), "No Impresa");
  EXPECT_EQ(textoImpresion("i"), "No Impresa");
}

TEST(Estados, TextosDeCompraYCatalogos) {
  EXPECT_EQ(textoEstadoCompra(""), "Activa");
  EXPECT_EQ(textoEstadoCompra("G"), "Pagada");
  EXPECT_EQ(textoEstadoCompra("C"), "Cancelada");
  EXPECT_EQ(textoEstadoCompra("X"), "Activa");
  EXPECT_EQ(textoEstadoCatalogo("A"), "Activo");
  EXPECT_EQ(textoEstadoCatalogo(""), "Inactivo");
  EXPECT_EQ(textoEstadoCatalogo(" "), "Inactivo");
  EXPECT_EQ(textoEstadoCatalogo("X"), "Inactivo");
  EXPECT_EQ(textoEstadoCatalogo("I"), "Inactivo");
  // "X" shows inactive yet may still be sold to; only "I" is refused.
  EXPECT_FALSE(clienteRechazado("X"));
  EXPECT_TRUE(clienteRechazado("I"));
  EXPECT_TRUE(esAbono("A"));
  EXPECT_FALSE(esAbono("C"));
  EXPECT_FALSE(esAbono(""));
  EXPECT_TRUE(cancelado("C"));
  EXPECT_FALSE(cancelado(" C"));
  EXPECT_EQ(condicionNoCancelado("STATU_F"), "(STATU_F<>\"C\" OR STATU_F IS NULL)");
  EXPECT_EQ(condicionNoCancelado("TREGI_FD"), "(TREGI_FD<>\"C\" OR TREGI_FD IS NULL)");
}

}  // namespace
}  // namespace mostrador::store
