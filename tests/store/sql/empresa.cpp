#include "empresa.h"

#include <algorithm>

#include "base/rutas.h"

namespace mostrador::prueba {

using dbf::FieldDef;
using dbf::Fecha;
using dbf::TagDef;

namespace {

FieldDef C(const char* n, int l) { return {n, 'C', l, 0}; }
FieldDef N(const char* n, int l, int d = 0) { return {n, 'N', l, d}; }
FieldDef D(const char* n) { return {n, 'D', 8, 0}; }
TagDef T(const char* n, const char* k) { return {n, k, false, false}; }
Dato F(int a, int m, int d) { return Fecha{a, m, d}; }
Dato S(const char* s) { return std::string(s); }

std::vector<FieldDef> encabezado() {
  return {N("CLDOC_F", 8),     C("CLCLI_F", 10),    C("NOMBR_F", 30),    C("CLVEN_F", 5),
          N("CTOVE_F", 6, 2),  C("BCLIM_F", 3),     D("FEDOC_F"),        N("SUBTO_F", 12, 2),
          N("DECOT_F", 12, 2), N("IMIM2_F", 12, 2), N("IMTOD_F", 12, 2), N("FPGCX_F", 12, 2),
          N("COSTO_F", 12, 2), C("PAGOX_F", 15),    C("STATU_F", 1),     C("TREGI_F", 1),
          C("REMIS_F", 10),    C("CLPED_F", 10)};
}

std::vector<FieldDef> detalle() {
  return {C("CLDOC_FD", 10),     N("CONTROL", 6),       C("CLPRO_FD", 20),
          C("DEPRO_FD", 30),     N("CANTI_FD", 10, 2),  N("PUNPR_FD", 12, 2),
          N("IMPOR_FD", 12, 2),  N("PREDE_FD", 12, 2),  N("PIVA1_FD", 6, 2),
          N("COPRO_FD", 12, 2),  N("FPGCX_FD", 12, 2),  C("FEDOC_FD", 10),
          C("TREGI_FD", 1),      C("TDOCU_FD", 10),     C("REFER_FD", 10)};
}

Registro doc(double n, const char* cli, const char* nom, const char* ven, double ctove, Dato fecha,
             double subto, double decot, double iva, double total, double costo) {
  return {{"CLDOC_F", n},     {"CLCLI_F", S(cli)}, {"NOMBR_F", S(nom)},  {"CLVEN_F", S(ven)},
          {"CTOVE_F", ctove}, {"BCLIM_F", S("1")}, {"FEDOC_F", fecha},   {"SUBTO_F", subto},
          {"DECOT_F", decot}, {"IMIM2_F", iva},    {"IMTOD_F", total},   {"COSTO_F", costo}};
}

Registro linea(const char* d, const char* p, const char* des, double c, double pu, double pd,
               double co, const char* fecha) {
  return {{"CLDOC_FD", S(d)}, {"CLPRO_FD", S(p)},    {"DEPRO_FD", S(des)}, {"CANTI_FD", c},
          {"PUNPR_FD", pu},   {"IMPOR_FD", c * pu},  {"PREDE_FD", pd},     {"PIVA1_FD", 15.0},
          {"COPRO_FD", co},   {"FEDOC_FD", S(fecha)}};
}

Registro con(Registro r, const char* campo, Dato v) {
  r.emplace_back(campo, std::move(v));
  return r;
}

}  // namespace

void agrega(const std::string& dir, const std::string& archivo,
            const std::vector<Registro>& registros) {
  dbf::Table t;
  t.open(dir, archivo);
  for (const auto& r : registros) {
    t.append();
    for (const auto& [campo, v] : r) {
      if (auto* s = std::get_if<std::string>(&v)) t.setText(campo, *s);
      else if (auto* d = std::get_if<double>(&v)) t.setFloat(campo, *d);
      else if (auto* f = std::get_if<Fecha>(&v)) t.setDate(campo, *f);
      else t.setNull(campo);
    }
    t.post();
  }
}

void creaEmpresa() {
  using dbf::Table;
  base::creaDirectorios(kDatos);
  Table::create(kDatos, "remision.dbf", encabezado(), {T("INUMENC", "CLDOC_F")});
  agrega(kDatos, "remision.dbf",
         {con(doc(1, "1", "MOSTRADOR", "V1", 10, F(2001, 3, 5), 100, 0, 15, 115, 60), "PAGOX_F",
              S("Pagada en 1")),
          con(con(doc(2, "7", "FERRETERIA", "V1", 10, F(2001, 3, 5), 200, 0, 30, 230, 150),
                  "REMIS_F", S("10")),
              "FPGCX_F", 2.0),
          con(doc(3, "7", "FERRETERIA", "V1", 10, F(2001, 3, 5), 50, 0, 7.5, 57.5, 30), "STATU_F",
              S("C")),
          doc(4, "1", "MOSTRADOR", "V1", 10, F(2001, 3, 6), 40, 0, 6, 46, 20)});

  Table::create(kDatos, "facturae.dbf", encabezado(), {T("INUMENC", "CLDOC_F")});
  agrega(kDatos, "facturae.dbf",
         {con(doc(10, "7", "FERRETERIA", "V1", 5, F(2001, 3, 5), 200, 10, 27, 207, 120), "CLPED_F",
              S("2")),
          doc(11, "1", "MOSTRADOR", "V2", 10, F(2001, 3, 6), 0, 0, 0, 0, 0),
          con(doc(12, "7", "FERRETERIA", "V1", 5, F(2001, 3, 6), 300, 0, 45, 345, 200), "STATU_F",
              S("C")),
          doc(13, "3", "ABARROTES", "V2", 10, F(2001, 3, 7), 80, 0, 12, 92, 50)});

  Table::create(kDatos, "facturad.dbf", detalle(), {T("CLDOC_FD", "CLDOC_FD")});
  agrega(kDatos, "facturad.dbf",
         {linea("10", "A1", "TORNILLO", 10, 2, 1.8, 1, "05/03/2001"),
          linea("10", "B2", "MARTILLO", 2, 50, 45, 30, "05/03/2001"),
          linea("11", "A1", "TORNILLO", 5, 2, 2, 1, "06/03/2001"),
          con(linea("12", "B2", "MARTILLO", 1, 50, 50, 30, "06/03/2001"), "TREGI_FD", S("C")),
          linea("13", "B2", "MARTILLO", 3, 50, 48, 30, "07/03/2001"),
          linea("13", "C3", "CLAVO", 3, 0.5, 0.5, 0.2, "07/03/2001")});

  Table::create(kDatos, "remisiod.dbf", detalle(), {T("CLDOC_FD", "CLDOC_FD")});
  agrega(kDatos, "remisiod.dbf",
         {linea("1", "A1", "TORNILLO", 4, 2, 2, 1, "05/03/2001"),
          linea("4", "C3", "CLAVO", 2, 0.5, 0.5, 0.2, "09/03/2001")});

  Table::create(kDatos, "inventar.dbf",
                {C("CLPRO_I", 20), C("DSCPR_I", 30), C("LIPRO_I", 8), N("EXIST_I", 12, 2),
                 N("CPROM_I", 12, 2), N("PPUBL_I", 12, 2), N("ULCOS_I", 12, 2),
                 N("STMAX_I", 12, 2), C("CLPR1_I", 10), D("FEALT_I")},
                {T("ICLPRO", "CLPRO_I"), T("DSCPR_I", "DSCPR_I")});
  auto prod = [](const char* k, const char* d, const char* l, double e, double cp, double pp,
                 double uc, double mx, const char* pr, Dato alta) {
    return Registro{{"CLPRO_I", S(k)}, {"DSCPR_I", S(d)},  {"LIPRO_I", S(l)},  {"EXIST_I", e},
                    {"CPROM_I", cp},   {"PPUBL_I", pp},    {"ULCOS_I", uc},    {"STMAX_I", mx},
                    {"CLPR1_I", S(pr)}, {"FEALT_I", alta}};
  };
  agrega(kDatos, "inventar.dbf",
         {prod("A1", "TORNILLO", "FERR", 100, 1, 2, 1.1, 150, "P1", F(2000, 1, 10)),
          prod("B2", "MARTILLO", "HERR", 5, 30, 50, 31, 4, "P2", F(2000, 6, 1)),
          prod("C3", "CLAVO", "FERR", 0, 0.2, 0.5, 0.2, 10, "P1", F(2001, 1, 15)),
          prod("D4", "SERRUCHO", "HERR", -2, 40, 70, 42, 0, "P2", Dato{})});

  Table::create(kDatos, "movinven.dbf",
                {N("CLDOC_MI", 8), N("TIMOV_MI", 4), C("CLPRO_MI", 20), C("DESCR_MI", 30),
                 N("CANTI_MI", 12, 2), N("COSUN_MI", 12, 2), C("FEDOC_MI", 10), N("FECHA", 10),
                 C("REFMO_MI", 10), C("NUDOC_MI", 10), N("EXIST_MI", 12, 2)},
                {T("CLDOC_MI", "CLDOC_MI"), T("CLPRO_MI", "CLPRO_MI")});
  auto mov = [](double n, double t, const char* p, const char* d, double c, double cu,
                const char* f, const char* ref, double ex) {
    return Registro{{"CLDOC_MI", n},   {"TIMOV_MI", t},   {"CLPRO_MI", S(p)}, {"DESCR_MI", S(d)},
                    {"CANTI_MI", c},   {"COSUN_MI", cu},  {"FEDOC_MI", S(f)}, {"FECHA", n},
                    {"REFMO_MI", S(ref)}, {"EXIST_MI", ex}};
  };
  agrega(kDatos, "movinven.dbf",
         {mov(1, 51, "A1", "TORNILLO", 100, 0.9, "01/03/2001", "C-1", 100),
          mov(2, 3, "A1", "TORNILLO", 4, 1, "05/03/2001", "R-1", 96),
          mov(3, 54, "A1", "TORNILLO", 7, 1, "05/03/2001", "AJ", 89),
          mov(4, 1, "B2", "MARTILLO", 2, 30, "05/03/2001", "F-10", 3),
          mov(5, 1, "A1", "TORNILLO", 10, 1, "05/03/2001", "F-10", 79),
          mov(6, 0, "A1", "TORNILLO", 1, 1, "02/03/2001", "X", 79),
          mov(7, 54, "C3", "CLAVO", 50, 0.2, "03/03/2001", "AJ", 50)});

  Table::create(kDatos, "comprase.dbf",
                {N("CLDOC_O", 8), C("CLPRV_O", 10), C("NOMBR_O", 30), D("FEDOC_O"), D("FEPAG_O"),
                 C("REFER_O", 10), N("IMDOC_O", 12, 2), N("SALDO_O", 12, 2), C("STDOC_O", 1)},
                {T("ICOMENC", "CLDOC_O"), T("CLPRV_O", "CLPRV_O")});
  auto compra = [](double n, const char* prv, const char* nom, Dato fe, Dato fp, const char* ref,
                   double im, double saldo) {
    return Registro{{"CLDOC_O", n}, {"CLPRV_O", S(prv)}, {"NOMBR_O", S(nom)}, {"FEDOC_O", fe},
                    {"FEPAG_O", fp}, {"REFER_O", S(ref)}, {"IMDOC_O", im}, {"SALDO_O", saldo}};
  };
  agrega(kDatos, "comprase.dbf",
         {compra(1, "P1", "ACME", F(2001, 2, 1), F(2001, 3, 1), "FAC-9", 1000, 0.05),
          compra(2, "P1", "ACME", F(2001, 2, 15), F(2001, 3, 10), "FAC-12", 500, 300),
          con(compra(3, "P2", "BETA", F(2001, 3, 1), F(2001, 4, 1), "B-1", 200, 200), "STDOC_O",
              S("C"))});

  Table::create(kDatos, "comprasd.dbf",
                {C("CLDOC_OD", 10), C("CLPRO_OD", 20), C("DESCR_OD", 30), N("CANTI_OD", 10, 2),
                 N("CUNIT_OD", 12, 2), N("PRECL_OD", 12, 2), C("FEDOC_OD", 10), C("REFER_OD", 10),
                 C("TREGI_OD", 1), N("FECHA", 10)},
                {T("ICOMDET", "CLDOC_OD")});
  auto lc = [](const char* d, const char* p, const char* des, double c, double cu, double pc,
               const char* f, const char* ref, double sello) {
    return Registro{{"CLDOC_OD", S(d)}, {"CLPRO_OD", S(p)}, {"DESCR_OD", S(des)},
                    {"CANTI_OD", c},    {"CUNIT_OD", cu},   {"PRECL_OD", pc},
                    {"FEDOC_OD", S(f)}, {"REFER_OD", S(ref)}, {"FECHA", sello}};
  };
  agrega(kDatos, "comprasd.dbf",
         {lc("1", "A1", "TORNILLO", 100, 0.9, 2, "01/03/2001", "FAC-9", 1),
          con(lc("2", "A1", "TORNILLO", 50, 1, 2, "04/03/2001", "FAC-12", 2), "TREGI_OD", S("C")),
          lc("2", "B2", "MARTILLO", 10, 30, 50, "04/03/2001", "FAC-12", 3),
          lc("3", "C3", "CLAVO", 10, 0.2, 0.5, "01/03/2001", "B-1", 4),
          lc("4", "C3", "CLAVO", 5, 0.2, 0.5, "02/03/2001", "B-2", 5)});

  Table::create(kDatos, "cuepagar.dbf",
                {C("NUDOC_CP", 10), C("CLPRO_CP", 10), C("OPERA_CP", 1), N("IMCUE_CP", 12, 2),
                 C("STATU_CP", 1), C("FEAPL_CP", 10)});
  auto cp = [](const char* d, const char* op, double im) {
    return Registro{{"NUDOC_CP", S(d)}, {"CLPRO_CP", S("P1")}, {"OPERA_CP", S(op)},
                    {"IMCUE_CP", im}};
  };
  agrega(kDatos, "cuepagar.dbf",
         {cp("2", "", 500), cp("2", "A", 200), cp("1", "", 1000), cp("1", "A", 999.95)});

  Table::create(kDatos, "retiros.dbf",
                {N("CLDOC_F", 8), D("FEDOC_F"), C("HORA", 8), N("CANTIDAD", 12, 2),
                 C("CONCEPTO", 30), N("NUM_CONCEP", 2), C("BCLIM_F", 3)});
  auto ret = [](double n, Dato f, double c, const char* con, Dato num) {
    return Registro{{"CLDOC_F", n}, {"FEDOC_F", f}, {"CANTIDAD", c}, {"CONCEPTO", S(con)},
                    {"NUM_CONCEP", num}};
  };
  agrega(kDatos, "retiros.dbf",
         {ret(1, F(2001, 3, 5), 20, "PAGO LUZ", 1.0), ret(2, F(2001, 3, 5), 5, "FONDO", 2.0),
          ret(3, F(2001, 3, 5), 3, "PROPINA", Dato{}), ret(4, F(2001, 3, 6), 8, "OTRO", 1.0)});

  Table::create(kDatos, "cliente.dbf",
                {C("CLCLI_C", 10), C("NOMBR_C", 60), N("SALDO_C", 12, 2), D("FULCO_C")},
                {T("ICLACLI", "CLCLI_C"), T("NOMBR_C", "NOMBR_C")});
  auto cli = [](const char* k, const char* n, double s, Dato f) {
    return Registro{{"CLCLI_C", S(k)}, {"NOMBR_C", S(n)}, {"SALDO_C", s}, {"FULCO_C", f}};
  };
  agrega(kDatos, "cliente.dbf",
         {cli("1", "MOSTRADOR", 0, F(2001, 3, 5)), cli("7", "FERRETERIA", 250.5, F(2001, 3, 6)),
          cli("3", "ABARROTES", 120, F(2001, 2, 1)), cli("9", "ZAPATERIA", 99, Dato{})});
}

std::vector<std::string> filas(dbf::Cursor& c) {
  std::vector<std::string> r;
  const int n = static_cast<int>(c.fieldDefs().size());
  for (c.first(); !c.eof(); c.next()) {
    std::string f;
    for (int i = 0; i < n; ++i) f += (i ? "|" : "") + c.asText(i);
    r.push_back(f);
  }
  return r;
}

std::vector<std::string> filas(sql::BaseSql& base, const std::string& sentencia) {
  auto r = base.consulta(sentencia);
  return filas(*r);
}

std::vector<std::string> filasOrdenadas(sql::BaseSql& base, const std::string& sentencia) {
  auto r = filas(base, sentencia);
  std::sort(r.begin(), r.end());
  return r;
}

std::string nombres(const dbf::Cursor& c) {
  std::string r;
  for (const auto& f : c.fieldDefs()) r += (r.empty() ? "" : "|") + f.name;
  return r;
}

}  // namespace mostrador::prueba
