#include "inventory/reportes_compras.h"

#include "base/rutas.h"

namespace mostrador::inventory {

const std::vector<ComandoReporteCompra>& reportesCompras() {
  static const std::vector<ComandoReporteCompra> r{
      {"DocumentosCancelados1", "Documentos Cancelados"},
      {"DocumentosActivos1", "Documentos Activos"},
      {"DocumentosconSaldo1", "Documentos con Saldo"},
      {"ComprasporProveedor1", "Compras por Proveedor"},
      {"ComprasporProducto1", "Compras por Producto"},
      {"CaducidaddeProductos1", "Caducidad de Productos"},
  };
  return r;
}

namespace {

constexpr const char* kVivo = "(STDOC_O<>\"C\" OR STDOC_O IS NULL)";
constexpr const char* kColumnasEncabezado = "CLDOC_O,CLPRV_O,NOMBR_O,FEDOC_O,REFER_O,IMDOC_O,SALDO_O";
constexpr const char* kCodigosEncabezado = "%e       c          c                    c          c          t            t";
constexpr const char* kTitulosEncabezado =
    "#DOCUMENTO PROVEEDOR  NOMBRE               FECHA      REFERENCIA      IMPORTE       SALDO         ";

std::string tabla(const std::string& dir, const char* archivo) { return "\"" + base::une(dir, archivo) + "\""; }

}  // namespace

std::optional<DefinicionReporte> reporteCompras(std::string_view menu, const std::string& dirDatos, TipoCompra t) {
  const ComandoReporteCompra* c = nullptr;
  for (const auto& x : reportesCompras())
    if (menu == x.menu) c = &x;
  if (!c) return std::nullopt;
  const std::string enc = tabla(dirDatos, tablaEncabezadoCompra(t));
  const std::string det = tabla(dirDatos, tablaDetalleCompra(t));
  std::vector<std::string> l{std::string("$") + c->caption};
  const std::string m(menu);
  if (m == "ComprasporProducto1" || m == "CaducidaddeProductos1") {
    // The lines of live documents: the detail carries the date and the cancelled mark of
    // its document, the header its supplier.
    const bool caducidad = m == "CaducidaddeProductos1";
    l.push_back(
        "& Select D.CLPRO_OD,D.DESCR_OD,D.CLDOC_OD,E.NOMBR_O,D.FEDOC_OD," +
        std::string(caducidad ? "D.CADUC_OD,D.CANTI_OD" : "D.CANTI_OD,D.CUNIT_OD,D.CANTI_OD*D.CUNIT_OD") + " from " +
        enc + " E," + det + " D");
    l.push_back(std::string("?(CAST(D.CLDOC_OD AS INTEGER)=E.CLDOC_O AND ") +
                "(E.STDOC_O<>\"C\" OR E.STDOC_O IS NULL)" +
                (caducidad ? " AND D.CADUC_OD IS NOT NULL" : "") + ") \xC2\xBF" + "E");
    if (caducidad) {
      l.push_back("!CADUC_OD,CLPRO_OD");
      l.push_back("%c               c                    e          c                    c          c          t");
      l.push_back(
          "#PRODUCTO        DESCRIPCION          DOCUMENTO  PROVEEDOR            FECHA      CADUCIDAD  CANTIDAD      ");
    } else {
      l.push_back("!CLPRO_OD,CLDOC_OD");
      l.push_back(">CLPRO_OD");
      l.push_back("%c               c                    e          c                    c          t            t            t");
      l.push_back(
          "#PRODUCTO        DESCRIPCION          DOCUMENTO  PROVEEDOR            FECHA      CANTIDAD      COSTO         "
          "IMPORTE       ");
    }
  } else {
    l.push_back(std::string("& Select ") + kColumnasEncabezado + " from " + enc);
    if (m == "DocumentosCancelados1") l.push_back("?(STDOC_O=\"C\") \xC2\xBF");
    else if (m == "DocumentosconSaldo1") l.push_back(std::string("?(SALDO_O>0.1 AND ") + kVivo + ") \xC2\xBF");
    else l.push_back(std::string("?") + kVivo + " \xC2\xBF");
    if (m == "ComprasporProveedor1") {
      l.push_back("!NOMBR_O,CLDOC_O");
      l.push_back(">NOMBR_O");
    } else {
      l.push_back("!CLDOC_O");
    }
    l.push_back(kCodigosEncabezado);
    l.push_back(kTitulosEncabezado);
  }
  l.push_back("@");
  std::string texto;
  for (const auto& x : l) texto += x + "\r";
  return DefinicionReporte{c->menu, c->caption, texto};
}

}  // namespace mostrador::inventory
