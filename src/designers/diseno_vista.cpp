#include "designers/diseno_vista.h"

#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::designers {

const std::vector<ModuloVista>& modulosVista() {
  static const std::vector<ModuloVista> m = {
      {"Clientes", "cliente.dbf", "\\report\\clientes.for"},
      {"Compras", "comprase.dbf", "\\report\\comprasE.for"},
      {"Compras (Partidas)", "comprasd.dbf", "\\report\\comprasE.for"},
      {"Cuentas por Cobrar", "cucobrar.dbf", "\\report\\cxc.for"},
      {"Cuentas por Pagar", "cuepagar.dbf", "\\report\\cxp.for"},
      {"Facturación", "facturae.dbf", "\\report\\facturaE.for"},
      {"Facturación (Partidas)", "facturad.dbf", "\\report\\facturaE.for"},
      {"Inventario", "inventar.dbf", "\\report\\Inventar.for"},
      {"Movimientos al Inventario", "movinven.dbf", "\\report\\MovInven.for"},
      {"Vendedores", "vendedor.dbf", "\\report\\vendedor.for"},
      {"Proveedores", "proveedo.dbf", "\\report\\proveedo.for"},
  };
  return m;
}

const base::DisenoRegistro& disenoIndiceVistas() {
  static const base::DisenoRegistro d(
      187, {base::CampoFijo::cadena("ruta", 0, 60), base::CampoFijo::cadena("descripcion", 61, 125)});
  return d;
}

void DisenoVista::ponCelda(int c, FilaVista fila, std::string texto) {
  columnas_.at(static_cast<size_t>(c))[fila] = std::move(texto);
}

void DisenoVista::colocaCampo(int c, int modulo, const query::CampoDiccionario& campo) {
  auto& col = columnas_.at(static_cast<size_t>(c));
  col[kCampo] = campo.describe;
  col[kNombre] = campo.campo;
  col[kAncho] = std::to_string(campo.tamano);
  col[kTabla] = std::string(modulosVista().at(static_cast<size_t>(modulo)).tabla);
  col[kIdentificador] = std::string(1, static_cast<char>('A' + modulo));
}

namespace {
// The last character replaced (by a blank) or removed, when the text is not empty.
void cambiaUltimo(std::string& s, const char* por) {
  if (s.empty()) return;
  s.pop_back();
  s += por;
}
}  // namespace

std::vector<std::string> DisenoVista::lineasDefinicion(std::string_view nombreVista) const {
  std::vector<std::string> l(10);
  std::vector<std::string> tablas;
  for (const auto& c : columnas_) {
    if (!c[kNombre].empty()) l[0] += c[kIdentificador] + "." + c[kNombre] + ",";
    if (!c[kTabla].empty()) {
      bool ya = false;
      for (const auto& t : tablas) ya = ya || t == c[kTabla];
      if (!ya) {
        tablas.push_back(c[kTabla]);
        l[1] += "\\" + c[kTabla] + "\" as " + c[kIdentificador] + ",";
      }
    }
    if (!c[kCampo].empty()) {
      l[2] += c[kCampo] + ",";
      l[3] += (c[kFormato].empty() ? "C" : c[kFormato]) + ",";
      l[6] += (c[kTotales].empty() ? "N" : c[kTotales]) + ",";
      l[7] += (c[kTotalCambio].empty() ? "N" : c[kTotalCambio]) + ",";
    }
    if (!c[kAncho].empty()) l[4] += c[kAncho] + ",";
    if (!c[kOrden].empty()) l[5] += c[kNombre] + ",";
    if (!c[kLlave].empty()) l[8] += c[kNombre] + "=";
  }
  cambiaUltimo(l[0], "");
  std::string sinBlancos;
  for (char ch : l[0])
    if (ch != ' ') sinBlancos.push_back(ch);
  l[0] = sinBlancos;
  cambiaUltimo(l[1], " ");
  cambiaUltimo(l[2], " ");
  cambiaUltimo(l[3], " ");
  cambiaUltimo(l[8], " ");
  l[9] = std::string(nombreVista);
  return l;
}

bool DisenoVista::guarda(base::Interaccion& ui, std::string_view directorioSistema,
                         std::string_view directorioDatos, int modulo, std::string_view ruta,
                         std::string_view nombreVista, std::string_view descripcion) const {
  if (modulo < 0 || modulo >= static_cast<int>(modulosVista().size())) return false;
  const auto& m = modulosVista()[static_cast<size_t>(modulo)];
  // The index record keeps 60 characters of the path: a longer one would point nowhere.
  if (base::anchoCp1252(ruta) > 60) {
    ui.mensaje("La ruta " + std::string(ruta) + " es demasiado larga (60 caracteres como máximo)");
    return false;
  }
  if (!base::escribeLineas(ruta, lineasDefinicion(nombreVista))) {
    ui.mensaje("No se pudo escribir el archivo " + std::string(ruta));
    return false;
  }
  base::creaDirectorios(base::une(directorioDatos, "report"));
  const std::string indice = base::une(directorioDatos, std::string(m.indice).substr(1));
  base::ArchivoFijo f(indice, disenoIndiceVistas());
  base::RegistroFijo r(disenoIndiceVistas());
  r.ponTexto("ruta", ruta);
  r.ponTexto("descripcion", descripcion);
  base::creaDirectorios(base::une(directorioSistema, "report"));
  const std::string especiales = base::une(base::une(directorioSistema, "report"), "Especiales.cnf");
  if (!f.agrega(r) || !base::agregaLinea(especiales, m.titulo) || !base::agregaLinea(especiales, ruta)) {
    ui.mensaje("No se pudo escribir el índice de vistas " + indice);
    return false;
  }
  return true;
}

std::vector<std::pair<std::string, std::string>> leeIndiceVistas(std::string_view ruta) {
  std::vector<std::pair<std::string, std::string>> r;
  base::ArchivoFijo f{std::string(ruta), disenoIndiceVistas()};
  for (const auto& reg : f.leeTodos()) r.emplace_back(reg.texto("ruta"), reg.texto("descripcion"));
  return r;
}

}  // namespace mostrador::designers
