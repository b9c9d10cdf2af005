#include "inventory/complementos_producto.h"

#include "store/unidad.h"

#include <charconv>
#include <set>

#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "store/catalogo.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::inventory {
namespace {

std::optional<double> leeNumero(const std::string& t) {
  double v = 0;
  auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || p != t.data() + t.size()) return std::nullopt;
  return v;
}

}  // namespace

std::vector<std::string> valoresLista(std::string_view lista) {
  std::vector<std::string> v;
  if (lista.size() < 2) return v;
  size_t desde = 0;
  for (size_t coma; (coma = lista.find(',', desde)) != std::string_view::npos; desde = coma + 1)
    v.emplace_back(lista.substr(desde, coma - desde));
  return v;
}

std::vector<std::string> combinaClaves(const std::array<std::string, 4>& listas) {
  std::vector<std::vector<std::string>> usadas;
  for (const auto& l : listas) {
    auto v = valoresLista(l);
    if (!v.empty()) usadas.push_back(std::move(v));
  }
  if (usadas.empty()) return {};
  std::vector<std::string> claves{""};
  for (const auto& valores : usadas) {
    std::vector<std::string> siguientes;
    siguientes.reserve(claves.size() * valores.size());
    for (const auto& prefijo : claves)
      for (const auto& v : valores) siguientes.push_back(prefijo + v);
    claves = std::move(siguientes);
  }
  return claves;
}

int generaClaves(std::string_view dir, const std::vector<std::string>& claves,
                 const std::vector<std::string>& descripciones, const std::array<std::string, 9>& comunes,
                 base::Interaccion& ui) {
  dbf::Table t;
  try {
    t.open(dir, "inventar.dbf");
    t.setIndex("iclpro");
  } catch (const dbf::Error&) {
    ui.mensaje("Ha Ocurrido un Error al Abrir una de las Bases de Datos.");
    return 0;
  }
  // The common values are checked before the first product is written.
  std::array<std::optional<double>, 9> numeros{};
  for (size_t i = 1; i < comunes.size(); ++i) {
    const std::string v = base::recorta(comunes[i]);
    if (v.empty()) continue;
    numeros[i] = leeNumero(v);
    if (!numeros[i]) {
      ui.mensaje("\"" + comunes[i] + "\" no es un Número Válido");
      return 0;
    }
  }
  int agregados = 0;
  ui.iniciaProgreso("Valores para Clave", static_cast<int>(claves.size()));
  try {
    for (size_t k = 0; k < claves.size(); ++k) {
      const std::string clave = base::recorta(claves[k]);
      if (!clave.empty() && !t.findKey({clave})) {
        t.append();
        t.setText("CLPRO_I", clave);
        t.setText("DSCPR_I", k < descripciones.size() ? descripciones[k] : std::string());
        t.setText("ALMAC_I", "1");
        if (!base::recorta(comunes[0]).empty()) t.setText(kCamposComunes[0], comunes[0]);
        for (size_t i = 1; i < comunes.size(); ++i)
          if (numeros[i]) t.setFloat(kCamposComunes[i], *numeros[i]);
        t.post();
        ++agregados;
      }
      ui.avanzaProgreso();
    }
  } catch (const dbf::Error&) {
    ui.mensaje("No se Pueden Guardar los Datos ha Ocurrido un Error");
  }
  ui.terminaProgreso();
  return agregados;
}

bool guardaListasClaves(std::string_view dirTrabajo, const std::array<std::string, 4>& listas) {
  return base::escribeLineas(base::une(dirTrabajo, kArchivoClaves), {listas.begin(), listas.end()});
}

std::array<std::string, 4> leeListasClaves(std::string_view dirTrabajo) {
  std::array<std::string, 4> r;
  if (auto l = base::leeLineas(base::une(dirTrabajo, kArchivoClaves)))
    for (size_t i = 0; i < r.size() && i < l->size(); ++i) r[i] = (*l)[i];
  return r;
}

// ---- kits ----

std::vector<ComponenteKit> componentesKit(std::string_view dirDatos, std::string_view kit) {
  std::vector<ComponenteKit> v;
  dbf::Table t;
  t.open(dirDatos, kTablaKits);
  t.setIndex("CLPRO_I");
  const std::string k = base::recorta(kit);
  t.setRange({k}, {k});
  for (t.first(); !t.eof(); t.next())
    v.push_back({t.asText("CLPRO_K"), t.asText("DESCR_K"), t.asFloat("CANTI_K"), t.recno()});
  return v;
}

bool kitContiene(std::string_view dirDatos, std::string_view kit, std::string_view componente) {
  const std::string buscado = base::recorta(componente);
  std::set<std::string> vistos;
  std::vector<std::string> pendientes{base::recorta(kit)};
  while (!pendientes.empty()) {
    const std::string k = pendientes.back();
    pendientes.pop_back();
    if (!vistos.insert(k).second) continue;  // a cycle already in the table ends here
    for (const auto& c : componentesKit(dirDatos, k)) {
      const std::string ck = base::recorta(c.clave);
      if (ck == buscado) return true;
      pendientes.push_back(ck);
    }
  }
  return false;
}

bool agregaComponente(std::string_view dirDatos, std::string_view dirInventario, std::string_view kit,
                      std::string_view componente, double cantidad, base::Interaccion& ui) {
  const std::string k = base::recorta(kit), c = base::recorta(componente);
  try {
    if (c == k || kitContiene(dirDatos, c, k)) {
      ui.mensaje(kKitSeContiene);
      return false;
    }
    dbf::Table p;
    p.open(dirInventario, "inventar.dbf");
    p.setIndex("ICLPRO");
    if (!p.findKey({c})) {
      ui.mensaje("El Producto No Se encuentra");
      return false;
    }
    const std::string descripcion = p.asText("DSCPR_I");
    // A product with components is a kit: its mark goes with the first component, in the
    // same unit, so that "Es Kit" never disagrees with the components on disk.
    if (!p.findKey({k})) {
      ui.mensaje("El Producto No Se encuentra");
      return false;
    }
    const uint32_t registroKit = p.recno();
    if (store::bloquea({{&p, registroKit, "el producto " + k}})) {
      ui.mensaje("No se Pueden Editar los Datos Registro en Uso");
      return false;
    }
    store::UnidadGuardado unidad({std::string(dirDatos), std::string(dirInventario)});
    dbf::Table t;
    t.open(dirDatos, kTablaKits);
    t.append();
    t.setText("CLPRO_I", k);
    t.setText("CLPRO_K", c);
    t.setText("DESCR_K", descripcion);
    t.setFloat("CANTI_K", cantidad);
    t.post();
    if (p.goTo(registroKit) && p.asText("KITXX_I") != "S") {
      p.edit();
      p.setText("KITXX_I", "S");
      p.post();
    }
    unidad.confirma();
  } catch (const dbf::Error&) {
    ui.mensaje("No se Pueden Guardar los Datos ha Ocurrido un Error");
    return false;
  }
  return true;
}

bool quitaComponente(std::string_view dirDatos, uint32_t registro) {
  dbf::Table t;
  t.open(dirDatos, kTablaKits);
  if (!t.goTo(registro)) return false;
  t.remove();
  return true;
}

// ---- label program ----

bool imprimeCodigoBarras(std::string_view dirTrabajo, std::string_view clave, const base::TablaProgramas& programas,
                         base::Procesos& procesos, base::Interaccion& ui) {
  if (!base::escribeLineas(base::une(dirTrabajo, "barra.dat"), {std::string(clave)})) {
    ui.mensaje(kSinCodigoBarras);
    return false;
  }
  const auto r = programas.inicia(procesos, "\\BARRAS.exe", "", dirTrabajo, false);
  if (!r.iniciado) {
    ui.mensaje(kSinCodigoBarras);
    return false;
  }
  return true;
}

// ---- branch directories ----

std::vector<std::string> leeRutas(std::string_view dirDatos) {
  std::vector<std::string> v;
  dbf::Table t;
  t.open(dirDatos, "RutasMI.dbf");
  for (t.first(); !t.eof(); t.next()) v.push_back(t.asText("RUTA"));
  return v;
}

bool guardaRutas(std::string_view dirDatos, const std::vector<std::string>& rutas) {
  // The grid is the whole table: its rows replace what was there.
  dbf::Table t;
  t.open(dirDatos, "RutasMI.dbf");
  std::vector<uint32_t> viejos;
  for (t.first(); !t.eof(); t.next()) viejos.push_back(t.recno());
  for (uint32_t r : viejos)
    if (t.goTo(r)) t.remove();
  for (const auto& r : rutas) {
    if (base::recorta(r).empty()) continue;
    t.append();
    t.setText("RUTA", r);
    t.post();
  }
  return true;
}

}  // namespace mostrador::inventory
