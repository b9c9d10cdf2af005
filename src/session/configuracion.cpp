#include "session/configuracion.h"

#include <cassert>
#include <exception>

#include "session/derechos.h"
#include "base/interaccion.h"
#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::session {
namespace {

using C = ClaseLinea;

// The line map. Defaults are those of a fresh shop: movements integrated, stock may go
// negative, two decimals, highlighted view, no permanent document check.
constexpr std::array<LineaConfiguracion, kLineasConfiguracion> kMapa{{
    {1, "Edit1", C::SiNo, "NO"},
    {2, "Edit2", C::Texto, ""},
    {3, "Edit3", C::Texto, ""},
    {4, "Edit4", C::Texto, ""},
    {5, "Edit5", C::Texto, "16"},
    {6, "Edit6", C::SiNo, "SI"},
    {7, "Edit7", C::Texto, ""},
    {8, "Edit8", C::Directorio, ""},
    {9, "Edit9", C::Texto, ""},
    {10, "Edit10", C::Reservada, ""},
    {11, "Edit11", C::Texto, ""},
    {12, "Edit12", C::Formato, "Clientes.fmt"},
    {13, "Edit13", C::Formato, "Vendedor.fmt"},
    {14, "Edit14", C::Formato, "Factura.fmt"},
    {15, "Edit15", C::Formato, "Remision.fmt"},
    {16, "Edit16", C::Formato, "Pedido.fmt"},
    {17, "Edit17", C::Formato, "CajaChica.fmt"},
    {18, "Edit18", C::Formato, "Movimien.fmt"},
    {19, "Edit19", C::Formato, "Cotiza.fmt"},
    {20, "Edit20", C::Formato, "CuePagar.fmt"},
    {21, "EditFacExis", C::Casilla, "S"},
    {22, "Edit21", C::Texto, ""},
    {23, "Edit22", C::Texto, ""},
    {24, "Edit23", C::Formato, "Inventar.fmt"},
    {25, "Edit24", C::Formato, "Proveedo.fmt"},
    {26, "", C::SinUso, ""},
    {27, "", C::SinUso, ""},
    {28, "Edit27", C::Formato, "Recepcion.fmt"},
    {29, "Edit28", C::Formato, "OrdenCompra.fmt"},
    {30, "Edit29", C::Formato, "DevCompra.fmt"},
    {31, "Edit30", C::Programa, ""},
    {32, "Edit31", C::Texto, ""},
    {33, "ImpuestosPartida", C::Casilla, "N"},
    {34, "ConsecutivoClientes", C::Casilla, "N"},
    {35, "ConsecutivoProveedor", C::Casilla, "N"},
    {36, "FalloEnergia", C::Casilla, "N"},
    {37, "modoCobranza", C::Casilla, "N"},
    {38, "ActualizaExistencias", C::Casilla, "N"},
    {39, "Edit32", C::Texto, ""},
    {40, "Edit33", C::Texto, ""},
    {41, "Negativas", C::Casilla, "S"},
    {42, "Digitos", C::Numero, "2"},
    {43, "PoliticaPrecios", C::Casilla, "N"},
    {44, "CalculaPrecios", C::Casilla, "N"},
    {45, "DigitosTotal", C::Numero, "0"},
    {46, "Usar_Multialmacen", C::Casilla, "N"},
    {47, "Captura_Claves", C::Casilla, "N"},
    {48, "CheckBox51", C::Casilla, "N"},
    {49, "CheckBox52", C::Casilla, "N"},
    {50, "CheckBox53", C::Casilla, "N"},
    {51, "CheckBox54", C::Casilla, "N"},
    {52, "CheckBox55", C::Casilla, "N"},
    {53, "CheckBox56", C::Casilla, "N"},
    {54, "CheckBox57", C::Casilla, "N"},
    {55, "CheckBox58", C::Casilla, "N"},
    {56, "CheckBox59", C::Casilla, "N"},
    {57, "CheckBox60", C::Casilla, "N"},
    {58, "Descuentos", C::Casilla, "N"},
    {59, "EditInventario", C::Directorio, ""},
    {60, "Edit34", C::Texto, ""},
    {61, "DescuentoGlobal", C::Casilla, "N"},
    {62, "PagosCaja", C::Casilla, "N"},
    {63, "EditRemisiones", C::Directorio, ""},
    {64, "ConsecutivoProductos", C::Casilla, "N"},
    {65, "VistaResaltada", C::Vista, "S"},
    {66, "EditTablaDeCxC", C::TablaCxC, "cucobrar"},
    {67, "EditTablaDeCxC", C::TablaCxC, "cucobrar"},
    {68, "EditTablaDeCxC", C::TablaCxC, "cucobrar"},
    {69, "BusquedaAvanzada", C::Casilla, "N"},
    {70, "PartidasFactura", C::Numero, "100"},
    {71, "CheceoPermanente", C::Casilla, "N"},
    {72, "Edit35", C::Numero, "0"},
}};

bool esDeDosEstados(ClaseLinea c) { return c == C::Casilla || c == C::Vista; }

const std::string kVacio;

}  // namespace

const std::array<LineaConfiguracion, kLineasConfiguracion>& mapaConfiguracion() { return kMapa; }

const LineaConfiguracion& lineaConfiguracion(int linea) {
  assert(linea >= 1 && linea <= kLineasConfiguracion);
  return kMapa[static_cast<size_t>(linea - 1)];
}

std::vector<std::string> configuracionPorOmision(std::string_view directorioDatos,
                                                 std::string_view nombreEmpresa) {
  std::vector<std::string> r;
  r.reserve(kLineasConfiguracion);
  for (const auto& l : kMapa) r.emplace_back(l.omision);
  r[7] = std::string(directorioDatos);
  r[8] = std::string(nombreEmpresa);
  return r;
}

std::string archivoConfiguracion(std::string_view directorioSistema, int empresa) {
  return base::une(directorioSistema, "Gener" + std::to_string(empresa) + ".cnf");
}

ValoresConfiguracion::ValoresConfiguracion() {
  for (const auto& l : kMapa) {
    if (l.clase == C::SinUso) continue;
    valores_[std::string(l.control)] = esDeDosEstados(l.clase) ? "N" : "";
  }
}

void ValoresConfiguracion::tomaLineas(const std::vector<std::string>& lineas) {
  for (const auto& l : kMapa) {
    // 66 and 67 repeat 68; only 68 is read back.
    if (l.clase == C::SinUso || l.linea == 66 || l.linea == 67) continue;
    const size_t i = static_cast<size_t>(l.linea - 1);
    const std::string& texto = i < lineas.size() ? lineas[i] : kVacio;
    valores_[std::string(l.control)] = esDeDosEstados(l.clase) ? (esSi(texto) ? "S" : "N") : texto;
  }
}

bool ValoresConfiguracion::lee(std::string_view directorioSistema, int empresa, base::Interaccion& ui) {
  auto lineas = base::leeLineas(archivoConfiguracion(directorioSistema, empresa));
  if (!lineas) {
    ui.mensaje("No Existe La Empresa  " + std::to_string(empresa));
    return false;
  }
  tomaLineas(*lineas);
  return true;
}

std::vector<std::string> ValoresConfiguracion::lineas() const {
  std::vector<std::string> r;
  r.reserve(kLineasConfiguracion);
  for (const auto& l : kMapa) {
    if (l.clase == C::SinUso || l.clase == C::Reservada)
      r.emplace_back();
    else
      r.push_back(valor(l.control));
  }
  return r;
}

bool ValoresConfiguracion::guarda(std::string_view directorioSistema, int empresa) const {
  return base::escribeLineas(archivoConfiguracion(directorioSistema, empresa), lineas());
}

const std::string& ValoresConfiguracion::valor(std::string_view control) const {
  auto it = valores_.find(control);
  return it == valores_.end() ? kVacio : it->second;
}

void ValoresConfiguracion::pon(std::string_view control, std::string valor) {
  auto it = valores_.find(control);
  assert(it != valores_.end() && "control not on the line map");
  if (it != valores_.end()) it->second = std::move(valor);
}

std::string alternaSiNo(std::string_view valor) { return valor == "SI" ? "NO" : "SI"; }

std::vector<std::string> sentenciasConversionClaves(std::string_view directorioDatos,
                                                    bool consecutivoClientes,
                                                    bool consecutivoProveedor) {
  const std::string clientes = "\"" + base::une(directorioDatos, "cliente.dbf") + "\"";
  const std::string proveedo = "\"" + base::une(directorioDatos, "proveedo.dbf") + "\"";
  return {
      "ALTER TABLE " + clientes + " DROP CLCLI_C, ADD CLCLI_C " +
          (consecutivoClientes ? "NUMERIC(10,0)" : "CHAR(10)"),
      "CREATE INDEX ICLACLI ON " + clientes + " (CLCLI_C)",
      "ALTER TABLE " + proveedo + " DROP CLAVE_P, ADD CLAVE_P " +
          (consecutivoProveedor ? "NUMERIC(10,0)" : "CHAR(10)"),
      "CREATE INDEX ICLAPRO ON " + proveedo + " (CLAVE_P)",
  };
}

bool convierteClaves(base::Interaccion& ui, std::string_view directorioDatos, bool consecutivoClientes,
                     bool consecutivoProveedor, const EjecutaSql& ejecuta) {
  ui.mensaje(
      "Recuerde que esta opción alterara de forma definitiva las CLAVES de los catalogos...");
  if (!confirmacionAdministrador(ui)) return false;
  for (const std::string& s :
       sentenciasConversionClaves(directorioDatos, consecutivoClientes, consecutivoProveedor)) {
    try {
      ejecuta(s);
    } catch (const std::exception&) {
      // A failing statement is skipped on purpose: the next one still runs.
    }
  }
  return true;
}

}  // namespace mostrador::session
