#include "accounts/clientes.h"

#include <charconv>
#include <cmath>

#include "accounts/cuentas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "store/busqueda_campo.h"
#include "store/catalogo.h"
#include "store/unidad.h"

namespace mostrador::accounts {
namespace {

std::string linea(const std::vector<std::string>& l, int n) {
  return n >= 1 && static_cast<size_t>(n) <= l.size() ? base::recortaEspaciosYTabs(l[static_cast<size_t>(n - 1)])
                                                       : std::string();
}

}  // namespace

AjustesClientes AjustesClientes::de(const std::vector<std::string>& lineas, std::string dirSistema,
                                    std::string usuario) {
  AjustesClientes a;
  a.dirDatos = linea(lineas, 8);
  a.dirSistema = std::move(dirSistema);
  a.usuario = std::move(usuario);
  a.buscaAlGuardar = linea(lineas, 1) == "NO";
  a.consecutivas = linea(lineas, 34) == "S";
  a.formato = linea(lineas, 12);
  a.hojaCalculo = linea(lineas, 31);
  const auto marca = base::leeLinea(base::une(a.dirSistema, kArchivoBloqueo), 1);
  a.campoBloqueado = marca && base::recortaEspaciosYTabs(*marca) == "S";
  return a;
}

std::pair<int, int> lineasAyudaCliente(std::string_view campo) {
  static const std::pair<const char*, int> orden[] = {
      {"CLCLI_C", 1},  {"NOMBR_C", 3},  {"TELEF_C", 5},  {"RFCXX_C", 7},  {"CURPX_C", 9},
      {"DIREC_C", 11}, {"DIRE2_C", 13}, {"POBLA_C", 15}, {"CPXXX_C", 17}, {"DREPA_C", 19},
      {"ZONAX_C", 21}, {"DCRED_C", 23}, {"HOREV_C", 23}, {"DIPAG_C", 23}, {"HOPAG_C", 23},
      {"FULCO_C", 25}, {"CLVEN_C", 27}, {"SALDO_C", 29}, {"COMPR_C", 31}};
  for (const auto& [c, n] : orden)
    if (campo == c) return {n, n + 1};
  return {0, 0};
}

std::string claveConsecutiva(const std::optional<std::string>& ultima, int ancho) {
  auto alinea = [ancho](std::string t) {
    if (static_cast<int>(t.size()) < ancho) t.insert(0, static_cast<size_t>(ancho) - t.size(), ' ');
    return t;
  };
  if (!ultima) return alinea("1");
  // At most twelve characters of the key are read; an empty key counts as 0.
  const std::string t = base::recortaEspaciosYTabs(ultima->substr(0, 12));
  long long v = 0;
  if (!t.empty()) {
    auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || p != t.data() + t.size()) return *ultima;
  }
  return alinea(std::to_string(v + 1));
}

const DefCatalogoCuenta& defClientes() {
  static const DefCatalogoCuenta d{kTablaClientes,
                                   kCopiaClientes,
                                   "ICLACLI",
                                   "NOMBR_C",
                                   "CLCLI_C",
                                   "NOMBR_C",
                                   "CARGO_C",
                                   "ABONO_C",
                                   "STATU_C",
                                   "SALDO_C",
                                   "COMPR_C",
                                   {"SALDO_C", "COMPR_C"},
                                   11,
                                   12,
                                   13,
                                   kClaveNoExiste,
                                   kClaveRepetida,
                                   kClienteConSaldo,
                                   "El Cliente No Existe",
                                   kClienteEliminado,
                                   "el cliente ",
                                   Cartera::Clientes,
                                   true};
  return d;
}

CatalogoClientes::CatalogoClientes(AjustesClientes ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                                   std::function<bool(int)> derecho)
    : CatalogoCuenta(defClientes(), ajustes.dirDatos, ajustes.dirSistema, ajustes.buscaAlGuardar, ui, reloj,
                     std::move(derecho)),
      aj_(std::move(ajustes)) {}

CatalogoClientes::~CatalogoClientes() = default;

std::optional<std::string> CatalogoClientes::claveNueva() {
  if (!aj_.consecutivas) return std::nullopt;
  return siguienteClave();
}

bool CatalogoClientes::alternaBloqueo() {
  if (aj_.usuario != "0") return false;
  aj_.campoBloqueado = !aj_.campoBloqueado;
  base::escribeLineas(base::une(aj_.dirSistema, kArchivoBloqueo), {aj_.campoBloqueado ? "S" : "N"});
  return true;
}

std::string CatalogoClientes::siguienteClave() {
  dbf::Table& t = segunda();
  t.last();
  std::optional<std::string> ultima;
  if (t.recno() != 0) ultima = t.asText("CLCLI_C");
  return claveConsecutiva(ultima, anchoClave());
}

std::string eliminaCliente(const std::string& dirDatos, std::string_view clave) {
  return eliminaTitular(dirDatos, defClientes(), clave);
}

}  // namespace mostrador::accounts
