#include "designers/diseno_vista.h"

#include <algorithm>
#include <cstdlib>

#include "base/numeros.h"
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

namespace {

// The items of a saved line: split at commas (or at "="), with the trailing blank or
// comma the file writes after the last one dropped; empty items stay.
std::vector<std::string> items(std::string linea, char separador = ',') {
  while (!linea.empty() && (linea.back() == ' ' || linea.back() == separador)) linea.pop_back();
  std::vector<std::string> r;
  if (linea.empty()) return r;
  std::string actual;
  for (char c : linea) {
    if (c == separador) {
      r.push_back(actual);
      actual.clear();
    } else {
      actual.push_back(c);
    }
  }
  r.push_back(actual);
  return r;
}

bool contiene(const std::vector<std::string>& v, const std::string& s) {
  for (const auto& x : v)
    if (x == s) return true;
  return false;
}

}  // namespace

std::optional<VistaGuardada> leeVista(const std::vector<std::string>& l, int columnas) {
  if (l.empty()) return std::nullopt;
  auto linea = [&](size_t n) { return n < l.size() ? l[n] : std::string(); };
  const auto campos = items(linea(0));
  if (campos.empty() || static_cast<int>(campos.size()) > columnas) return std::nullopt;
  // Aliases and their tables: "\tabla\" as A,\otra\" as B ".
  std::vector<std::pair<std::string, std::string>> tablas;
  for (const auto& t : items(linea(1))) {
    const size_t comilla = t.find('"');
    const size_t as = t.find(" as ");
    if (comilla == std::string::npos || as == std::string::npos) continue;
    std::string nombre = t.substr(0, comilla);
    if (!nombre.empty() && nombre.front() == '\\') nombre.erase(0, 1);
    tablas.emplace_back(t.substr(as + 4), nombre);
  }
  // The number mask "###,##0.00" holds a comma of its own: its two halves are put back
  // together (a piece of "#" alone is the start of a mask, never a format by itself).
  std::vector<std::string> formatos;
  for (const auto& f : items(linea(3))) {
    if (!formatos.empty() && !formatos.back().empty() &&
        formatos.back().find_first_not_of('#') == std::string::npos)
      formatos.back() += "," + f;
    else
      formatos.push_back(f);
  }
  const auto titulos = items(linea(2)), anchos = items(linea(4)),
             orden = items(linea(5)), totales = items(linea(6)), cambios = items(linea(7)),
             llaves = items(linea(8), '=');
  VistaGuardada v;
  v.diseno = DisenoVista(columnas);
  v.nombre = linea(9);
  for (size_t c = 0; c < campos.size(); ++c) {
    const size_t punto = campos[c].find('.');
    if (punto == std::string::npos) return std::nullopt;
    const std::string alias = campos[c].substr(0, punto), campo = campos[c].substr(punto + 1);
    const int modulo = alias.size() == 1 ? alias[0] - 'A' : -1;
    if (modulo < 0 || modulo >= static_cast<int>(modulosVista().size())) return std::nullopt;
    if (v.modulo < 0) v.modulo = modulo;
    const int i = static_cast<int>(c);
    std::string tabla(modulosVista()[static_cast<size_t>(modulo)].tabla);
    for (const auto& [a, t] : tablas)
      if (a == alias) tabla = t;
    auto toma = [&](const std::vector<std::string>& de, const char* vacio) {
      const std::string x = c < de.size() ? de[c] : std::string();
      return x == vacio ? std::string() : x;
    };
    v.diseno.ponCelda(i, kNombre, campo);
    v.diseno.ponCelda(i, kIdentificador, alias);
    v.diseno.ponCelda(i, kTabla, tabla);
    v.diseno.ponCelda(i, kCampo, toma(titulos, ""));
    v.diseno.ponCelda(i, kFormato, toma(formatos, "C"));
    v.diseno.ponCelda(i, kAncho, toma(anchos, ""));
    v.diseno.ponCelda(i, kTotales, toma(totales, "N"));
    v.diseno.ponCelda(i, kTotalCambio, toma(cambios, "N"));
    if (contiene(orden, campo)) v.diseno.ponCelda(i, kOrden, "X");
    if (contiene(llaves, campo)) v.diseno.ponCelda(i, kLlave, "X");
  }
  return v;
}

std::string rutaVista(std::string_view directorioSistema, std::string_view nombre) {
  return base::une(base::une(directorioSistema, "report"), std::string(nombre) + ".vis");
}

std::string definicionDeVista(const std::vector<std::string>& l) {
  auto vista = leeVista(l);
  if (!vista) return {};
  const DisenoVista& d = vista->diseno;
  std::string select, desde, codigos, encabezado;
  std::vector<std::string> tablas;
  for (int c = 0; c < d.columnas(); ++c) {
    const auto& col = d.columna(c);
    if (col[kNombre].empty()) continue;
    select += (select.empty() ? "" : ",") + col[kIdentificador] + "." + col[kNombre];
    if (!contiene(tablas, col[kIdentificador])) {
      tablas.push_back(col[kIdentificador]);
      desde += std::string(desde.empty() ? "" : ",") + "\"#\\" + col[kTabla] + "\" as " + col[kIdentificador];
    }
    const bool total = col[kTotales] == "totalizar";
    const bool numero = col[kFormato] == "###,##0.00";
    codigos += std::string(codigos.empty() ? "" : " ") + (total ? "t" : numero ? "f" : "c");
    std::string titulo = col[kCampo].empty() ? col[kNombre] : col[kCampo];
    std::string conDuros;
    for (char ch : titulo) conDuros += ch == ' ' ? std::string("\xC2\xA0") : std::string(1, ch);
    const long ancho = std::max<long>(base::largoCaracteres(titulo), std::atol(col[kAncho].c_str()));
    // Amounts are written right-aligned in 12 characters.
    const long celda = (total || numero) ? std::max<long>(ancho, 12) : ancho;
    encabezado += conDuros + std::string(static_cast<size_t>(celda - static_cast<long>(base::largoCaracteres(titulo)) + 1), ' ');
  }
  std::string orden;
  for (const auto& o : items(l.size() > 5 ? l[5] : std::string())) orden += (orden.empty() ? "" : ",") + o;
  const auto llaves = items(l.size() > 8 ? l[8] : std::string(), '=');
  std::string condicion;
  if (tablas.size() > 1 && llaves.size() > 1)
    for (size_t i = 1; i < llaves.size(); ++i)
      condicion += (condicion.empty() ? "" : " and ") + llaves[0] + "=" + llaves[i];
  std::string r = "$" + vista->nombre + "\r";
  r += "& Select " + select + " from " + desde + "\r";
  if (!condicion.empty()) r += "?" + condicion + "\r";
  r += "!" + (orden.empty() ? std::string("X") : orden) + "\r";
  r += "%" + codigos + "\r";
  r += "#" + encabezado + "\r";
  r += "@\r";
  return r;
}

std::vector<std::pair<std::string, std::string>> leeIndiceVistas(std::string_view ruta) {
  std::vector<std::pair<std::string, std::string>> r;
  base::ArchivoFijo f{std::string(ruta), disenoIndiceVistas()};
  for (const auto& reg : f.leeTodos()) r.emplace_back(reg.texto("ruta"), reg.texto("descripcion"));
  return r;
}

}  // namespace mostrador::designers
