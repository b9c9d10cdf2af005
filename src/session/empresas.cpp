#include "session/empresas.h"

#include "base/rutas.h"
#include "session/usuarios.h"

namespace mostrador::session {

const std::vector<std::string_view>& tablasRevisadas() {
  static const std::vector<std::string_view> t{
      "Cliente",  "Comovinv", "Comprasd", "Comprase", "Concepto", "Cotizacd",
      "Cotizaci", "Credito",  "CreditoD", "Cucobrar", "Cupagar",  "Devoluc",
      "DevolucD", "Facturad", "Facturae", "Inventar", "Movinven", "Pedido",
      "Pedidod",  "Poventas", "Proveedo", "Remisiod", "Remision", "Vendedor"};
  return t;
}

const std::vector<std::string_view>& indicesRevisados() {
  static const std::vector<std::string_view> i = [] {
    std::vector<std::string_view> r;
    for (std::string_view t : tablasRevisadas())
      if (t != "Poventas") r.push_back(t);  // it never had an index
    return r;
  }();
  return i;
}

Empresas::Empresas(base::Interaccion& ui, std::string directorioSistema, std::string directorioInicio,
                   int empresaInicial)
    : ui_(ui),
      sistema_(std::move(directorioSistema)),
      lector_(std::move(directorioInicio)),
      empresa_(empresaInicial) {
  if (auto l = lector_.linea(ui_, empresa_, 8)) rutaInicio_ = *l;
}

void Empresas::FormActivate() {
  mostrada_ = true;
  refresca();
}

void Empresas::EmpresaChange(int empresa) {
  empresa_ = empresa;
  refresca();
}

void Empresas::refresca() {
  if (!lector_.existeEmpresa(empresa_)) {
    ui_.mensaje("La Empresa No Existe");
    rutaInicio_.clear();
    return;
  }
  if (auto l = lector_.linea(ui_, empresa_, 8)) rutaInicio_ = *l;
  if (auto l = lector_.linea(ui_, empresa_, 9)) nombreEmpresa_ = *l;
}

Ingreso Empresas::ClaveEnter(std::string_view clave) {
  if (clave.empty()) return {};
  return ingresa(clave);
}

Ingreso Empresas::AceptarClick(std::string_view clave) { return ingresa(clave); }

Ingreso Empresas::ingresa(std::string_view clave) {
  const std::string datos = lector_.linea(ui_, empresa_, 8).value_or("");
  Ingreso r;
  const int u = usuarioPorClave(ui_, sistema_, datos, clave);
  if (u >= 0) {
    r.tipo = Ingreso::Usuario;
    r.usuario = u;
    r.titulo = std::string(kTituloProducto) + std::string(kVersionUsuario) +
               lector_.linea(ui_, empresa_, 9).value_or("");
    usuario_ = std::to_string(u);
    return r;
  }
  // An empty line 11 means the company has no access key of its own; without this an
  // empty key would open every such company.
  const std::string deEmpresa = lector_.linea(ui_, empresa_, 11).value_or("");
  if (!deEmpresa.empty() && deEmpresa == clave) {
    r.tipo = Ingreso::ClaveEmpresa;
    r.titulo = std::string(kTituloProducto) + std::string(kVersionEmpresa) +
               lector_.linea(ui_, empresa_, 9).value_or("");
    return r;
  }
  ui_.mensaje("Clave Incorrecta");
  r.tipo = Ingreso::Incorrecta;
  return r;
}

void Empresas::revisaArchivos() {
  for (std::string_view nombre : {"Deta", "Detacomp", "Detaminv"}) {
    if (!base::existe(base::une(sistema_, std::string(nombre) + ".db")))
      ui_.mensaje("El Archivo " + std::string(nombre) + " No Existe Revise su Configuración");
  }
  const std::string datos = lector_.linea(ui_, empresa_, 8).value_or("");
  std::string reporte;
  for (std::string_view t : tablasRevisadas()) {
    if (!base::existe(base::une(datos, std::string(t) + ".dbf")))
      reporte += "El Archivo " + std::string(t) + ".dbf No Existe Revise su Configuración\r";
  }
  for (std::string_view t : indicesRevisados()) {
    if (!base::existe(base::une(datos, std::string(t) + ".mdx")))
      reporte += "El Archivo " + std::string(t) + ".mdx No Existe Revise su Configuración\r";
  }
  if (!reporte.empty()) {
    ui_.mensaje(reporte);
    ui_.mensaje("Uno o Más Archivos no se Encuentran Revise su Carpeta o Directorio de Trabajo");
  }
}

}  // namespace mostrador::session
