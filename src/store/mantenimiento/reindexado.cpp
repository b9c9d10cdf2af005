#include "store/mantenimiento/reindexado.h"

#include <algorithm>
#include <set>

#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "store/dbf/dbf_table.h"
#include "store/mantenimiento/opciones.h"
#include "store/mantenimiento/tablas_exclusivas.h"
#include "store/numeracion.h"

namespace mostrador::store {
namespace {

void agregaUnico(std::vector<std::string>& v, const std::string& s) {
  for (const auto& x : v)
    if (base::mismoNombre(x, s)) return;
  v.push_back(s);
}

std::vector<std::string> leeIndices(base::Interaccion& ui, std::string_view dir, ResultadoIndices& r) {
  const std::string ruta = base::une(dir, kArchivoIndices);
  auto lineas = base::leeLineas(ruta);
  if (!lineas) {
    const std::string m = "El Archivo " + ruta + " No Existe";
    ui.mensaje(m);
    r.errores.push_back(m);
    return {};
  }
  return *lineas;
}

}  // namespace

std::optional<LineaIndice> leeLineaIndice(std::string_view linea) {
  // The fields item may hold commas of its own (an expression such as SUBSTR(A,1,3)).
  const size_t c1 = linea.find(',');
  if (c1 == std::string_view::npos) return std::nullopt;
  const size_t c2 = linea.find(',', c1 + 1);
  if (c2 == std::string_view::npos) return std::nullopt;
  LineaIndice l{base::recortaEspaciosYTabs(linea.substr(0, c1)),
                base::recortaEspaciosYTabs(linea.substr(c1 + 1, c2 - c1 - 1)),
                base::recortaEspaciosYTabs(linea.substr(c2 + 1))};
  if (l.tabla.empty() || l.etiqueta.empty() || l.campos.empty()) return std::nullopt;
  return l;
}

void ResultadoIndices::agrega(const ResultadoIndices& otro) {
  creados.insert(creados.end(), otro.creados.begin(), otro.creados.end());
  for (const auto& t : otro.enUso) agregaUnico(enUso, t);
  errores.insert(errores.end(), otro.errores.begin(), otro.errores.end());
}

ResultadoIndices reconstruyeIndices(base::Interaccion& ui, std::string_view dir,
                                    const std::vector<std::string>& lineas, const AvanceIndices& avance) {
  ResultadoIndices r;
  auto falla = [&](std::string m) {
    ui.mensaje(m);
    r.errores.push_back(std::move(m));
  };
  dbf::Table t;
  // No table file is named "\x01", so the first line always starts its table.
  std::string previa = "\x01";
  bool saltaGrupo = false;
  const int total = static_cast<int>(lineas.size());
  ui.iniciaProgreso("Reindexando " + std::string(dir), total);
  for (int i = 0; i < total; ++i) {
    std::optional<LineaIndice> l = leeLineaIndice(lineas[static_cast<size_t>(i)]);
    if (!l) continue;
    ui.avanzaProgreso();
    if (!base::mismoNombre(l->tabla, previa)) {
      previa = l->tabla;
      t.close();
      saltaGrupo = false;
      if (avance) avance(l->tabla, i + 1, total);
      try {
        // The exclusive open is the proof that no station has the table open.
        t.open(dir, l->tabla, dbf::OpenMode::Exclusive);
        t.deleteIndexFile();
      } catch (const dbf::LockError&) {
        agregaUnico(r.enUso, l->tabla);
        saltaGrupo = true;
      } catch (const dbf::Error&) {
        t.close();
        falla("Ocurrio un Error al Crear un Indice en la Tabla " + l->tabla);
        saltaGrupo = true;
      }
    }
    if (saltaGrupo) continue;
    dbf::TagDef tag;
    tag.name = base::mayusculasAscii(l->etiqueta);
    tag.key = l->campos[0] == '*' ? l->campos : base::mayusculasAscii(l->campos);
    try {
      t.addTag(tag);
      r.creados.push_back(l->tabla + " " + tag.name);
    } catch (const dbf::Error& e) {
      falla("Fallo en " + tag.name + " " + e.what());
      // A failed index write leaves the handle refusing writes: start it again so that
      // the table's other tags still get made.
      try {
        t.close();
        t.open(dir, l->tabla, dbf::OpenMode::Exclusive);
      } catch (const dbf::Error&) {
        saltaGrupo = true;
      }
    }
  }
  t.close();
  ui.terminaProgreso();
  if (avance && total > 0) avance({}, total, total);
  if (!r.enUso.empty())
    ui.mensaje(mensajeEnUso(r.enUso) + "; sus índices no se reconstruyeron");
  return r;
}

std::vector<std::string> describeIndices(std::string_view dir, const std::vector<std::string>& tablas) {
  std::vector<std::string> r;
  for (const auto& nombre : tablas) {
    dbf::Table t;
    try {
      t.open(dir, nombre);
    } catch (const dbf::Error&) {
      continue;
    }
    for (const auto& tag : t.tags())
      r.push_back(base::minusculasAscii(nombre + "," + tag.name + "," + tag.key));
  }
  return r;
}

std::vector<std::string> indicesFaltantes(std::string_view dir, const std::vector<std::string>& lineas) {
  std::vector<std::string> r;
  std::string tablaLeida = "\x01";
  std::vector<std::string> etiquetas;
  bool existe = false;
  for (const auto& linea : lineas) {
    auto l = leeLineaIndice(linea);
    if (!l) continue;
    if (!base::mismoNombre(l->tabla, tablaLeida)) {
      tablaLeida = l->tabla;
      etiquetas.clear();
      existe = base::existe(base::une(dir, l->tabla));
      if (existe) {
        dbf::Table t;
        try {
          t.open(dir, l->tabla);
          for (const auto& tag : t.tags()) etiquetas.push_back(base::minusculasAscii(tag.name));
        } catch (const dbf::Error&) {
          // A table that cannot be opened has none of its tags.
        }
      }
    }
    const std::string buscada = base::minusculasAscii(l->etiqueta);
    if (!existe || std::find(etiquetas.begin(), etiquetas.end(), buscada) == etiquetas.end())
      r.push_back(linea);
  }
  return r;
}

std::vector<std::string> lineasIncompletas(const std::vector<std::string>& lineas,
                                           const std::vector<std::string>& faltantes) {
  std::vector<std::string> tablas;
  for (const auto& f : faltantes)
    if (auto l = leeLineaIndice(f)) agregaUnico(tablas, l->tabla);
  std::vector<std::string> r;
  for (const auto& linea : lineas) {
    auto l = leeLineaIndice(linea);
    if (!l) continue;
    for (const auto& t : tablas)
      if (base::mismoNombre(t, l->tabla)) {
        r.push_back(linea);
        break;
      }
  }
  return r;
}

ResultadoIndices realineaContadores(base::Interaccion& ui, std::string_view dir, bool empaca) {
  ResultadoIndices r;
  auto falla = [&](std::string m) {
    ui.mensaje(m);
    r.errores.push_back(std::move(m));
  };
  for (const DefContador& c : contadores()) {
    if (!base::existe(base::une(dir, c.archivo))) continue;
    try {
      if (empaca) {
        dbf::Table k;
        k.open(dir, c.archivo, dbf::OpenMode::Exclusive);
        k.pack();
      }
      realineaContador(dir, c);
    } catch (const dbf::LockError&) {
      agregaUnico(r.enUso, c.archivo);
    } catch (const dbf::Error& e) {
      falla("No se pudo realinear el contador " + std::string(c.archivo) + ": " + e.what());
    }
  }
  if (!r.enUso.empty()) ui.mensaje(mensajeEnUso(r.enUso) + "; no se realinearon sus contadores");
  return r;
}

ResultadoIndices reindexaDirectorio(base::Interaccion& ui, std::string_view dirSistema,
                                    std::string_view dir, const AvanceIndices& avance) {
  ResultadoIndices r;
  if (!dirSistema.empty()) {
    // The sales screens' scratch detail table gets a clean copy.
    const std::string limpia = base::une(dirSistema, "detaTVK.db");
    if (base::existe(limpia)) base::copia(limpia, base::une(dirSistema, "deta.db"));
  }
  {
    std::vector<std::string> lineas = leeIndices(ui, dir, r);
    r.agrega(reconstruyeIndices(ui, dir, lineas, avance));
  }
  for (int n = 1; n <= 99; ++n) {
    const std::string almacen = base::une(dir, std::to_string(n));
    if (!base::esDirectorio(almacen)) continue;
    ResultadoIndices a;
    std::vector<std::string> lineas = leeIndices(ui, almacen, a);
    a.agrega(reconstruyeIndices(ui, almacen, lineas, avance));
    r.agrega(a);
  }
  r.agrega(realineaContadores(ui, dir, true));
  return r;
}

// --- The screen's engine ---

ReindexaTodo::ReindexaTodo(base::Interaccion& ui, const base::Reloj& reloj, std::string dirSistema,
                           std::string dirDatos, std::function<bool(const std::string&)> verificaRegistros)
    : ui_(ui),
      reloj_(reloj),
      sistema_(std::move(dirSistema)),
      datos_(std::move(dirDatos)),
      verificaRegistros_(std::move(verificaRegistros)),
      bitacora_(sistema_),
      editRuta_(datos_) {}

void ReindexaTodo::cambio() {
  if (alCambiar) alCambiar();
}

void ReindexaTodo::FormShow() {
  archivos_ = dbf::Table::listTables(editRuta_);
  memo_ = base::leeLineas(base::une(editRuta_, kArchivoIndices)).value_or(std::vector<std::string>{});
  const OpcionesMantenimiento o = leeOpciones(datos_);
  reindexaInicio_ = o.reindexaInicio;
  respaldaInicio_ = o.respaldaInicio;
  respaldaFinal_ = o.respaldaFinal;
  cambio();
}

void ReindexaTodo::ponEditRuta(std::string ruta) {
  editRuta_ = std::move(ruta);
  archivos_ = dbf::Table::listTables(editRuta_);
  lista_.clear();
  cambio();
}

void ReindexaTodo::ArchivosClick(const std::string& tabla) {
  lista_.clear();
  dbf::Table t;
  try {
    t.open(editRuta_, tabla);
    for (const auto& tag : t.tags()) lista_.push_back(tag.name);
  } catch (const dbf::Error& e) {
    ui_.mensaje(e.what());
  }
  cambio();
}

void ReindexaTodo::bitacora(std::string_view evento) {
  bitacora_.escribe(std::string(evento) + " " + marcaBitacora(reloj_.ahora()));
}

std::string textoTerminado(const ResultadoIndices& r) {
  // The tables: the part of "tabla TAG" before the blank.
  std::set<std::string> tablas;
  for (const std::string& c : r.creados) tablas.insert(c.substr(0, c.find(' ')));
  std::string t = "Terminado: " + std::to_string(r.creados.size()) + " índices de " + std::to_string(tablas.size()) +
                  " tablas";
  if (!r.enUso.empty()) t += "; " + std::to_string(r.enUso.size()) + " tablas en uso quedaron como estaban";
  if (!r.errores.empty()) t += "; " + std::to_string(r.errores.size()) + " errores";
  return t;
}

AvanceIndices ReindexaTodo::avance() {
  // The gauge starts again for each directory (warehouses have their own lines).
  return [this](const std::string& tabla, int linea, int lineas) {
    progreso_ = lineas > 0 ? linea * 100 / lineas : 100;
    if (!tabla.empty()) labelTabla_ = tabla;
    cambio();
  };
}

void ReindexaTodo::reconstruye(const std::vector<std::string>& lineas) {
  lista2_.clear();
  progreso_ = 0;
  resultado_ = reconstruyeIndices(ui_, editRuta_, lineas, avance());
  lista2_ = resultado_.creados;
  labelTabla_ = textoTerminado(resultado_);
  cambio();
}

void ReindexaTodo::reindexaTodo() {
  lista2_.clear();
  progreso_ = 0;
  resultado_ = reindexaDirectorio(ui_, sistema_, editRuta_, avance());
  lista2_ = resultado_.creados;
  labelTabla_ = textoTerminado(resultado_);
  cambio();
}

void ReindexaTodo::BitBtn1Click() {
  memo_ = describeIndices(editRuta_, archivos_);
  cambio();
}

void ReindexaTodo::BitBtn2Click() {
  bitacora("Reindexado");
  reindexaTodo();
}

void ReindexaTodo::BitBtn4Click() {
  const std::string ruta = base::une(editRuta_, kArchivoIndices);
  if (!base::escribeLineas(ruta, memo_)) ui_.mensaje("No se pudo escribir el archivo " + ruta);
}

void ReindexaTodo::BitBtn8Click() {
  const std::string ruta = base::une(editRuta_, kArchivoIndices);
  auto l = base::leeLineas(ruta);
  if (!l) {
    ui_.mensaje("El Archivo " + ruta + " No Existe");
    return;
  }
  memo_ = std::move(*l);
  cambio();
}

void ReindexaTodo::BitBtn5Click() {
  bitacora("Borrado Temporales");
  for (const std::string& f : base::lista(editRuta_, "_*")) {
    const std::string ruta = base::une(editRuta_, f);
    if (!base::esDirectorio(ruta)) base::borra(ruta);
  }
  archivos_ = dbf::Table::listTables(editRuta_);
  cambio();
}

void ReindexaTodo::BitBtn6Click() {
  faltantes_ = indicesFaltantes(editRuta_, memo_);
  cambio();
}

void ReindexaTodo::BitBtn7Click() {
  bitacora("Reindexado Incompletos");
  incompletos();
}

void ReindexaTodo::BitBtn9Click() {
  faltantes_ = indicesFaltantes(editRuta_, memo_);
  incompletos();
}

void ReindexaTodo::incompletos() {
  if (faltantes_.empty()) return;
  // Every line of an affected table: the table starts with a fresh index file, and the
  // tags it still had must come back with it.
  memo_ = lineasIncompletas(memo_, faltantes_);
  reconstruye(memo_);
  faltantes_ = indicesFaltantes(editRuta_, memo_);
  cambio();
}

void ReindexaTodo::BitBtn10Click() {
  if (!verificaRegistros_ || !verificaRegistros_(editRuta_)) return;
  bitacora("Reindexado Total");
  reindexaTodo();
}

void ReindexaTodo::BitBtn11Click() {
  if (ui_.advertencia(kPreguntaRenumeracion) != base::RespuestaAdvertencia::Si) return;
  resultado_ = realineaContadores(ui_, editRuta_, false);
  cambio();
}

void ReindexaTodo::F12() {
  detalle_ = !detalle_;
  cambio();
}

void ReindexaTodo::guardaOpciones() {
  if (!store::guardaOpciones(datos_, {reindexaInicio_, respaldaInicio_, respaldaFinal_}))
    ui_.mensaje("No se pudo escribir el archivo " + base::une(datos_, kArchivoOpciones));
}

void ReindexaTodo::ponReindexaInicio(bool v) {
  reindexaInicio_ = v;
  guardaOpciones();
}
void ReindexaTodo::ponRespaldaInicio(bool v) {
  respaldaInicio_ = v;
  guardaOpciones();
}
void ReindexaTodo::ponRespaldaFinal(bool v) {
  respaldaFinal_ = v;
  guardaOpciones();
}

}  // namespace mostrador::store
