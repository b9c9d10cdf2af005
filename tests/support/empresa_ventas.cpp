#include "support/empresa_ventas.h"

#include <stdexcept>

#include "session/configuracion.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "session/usuarios.h"
#include "session/configuracion_inicial.h"
#include "store/dbf/dbf_table.h"
#include "session/empresa_nueva.h"

namespace mostrador::prueba {

namespace {

std::string dir(std::string_view d) { return std::string(d); }

void escribeGener(const std::vector<std::string>& lineas) {
  if (!base::escribeLineas(base::une(EmpresaVentas::kSistema, "Gener1.cnf"), lineas))
    throw std::runtime_error("Gener1.cnf");
}

}  // namespace

EmpresaVentas::EmpresaVentas() {
  session::OpcionesEmpresa o;
  o.numero = 1;
  o.dirDatos = dir(kDatos);
  o.dirSistema = dir(kSistema);
  session::creaEmpresa(o);
  lineas = session::lineasConfiguracion(o);
  lineas.resize(72);
  auto pon = [&](int n, std::string v) { lineas[static_cast<size_t>(n - 1)] = std::move(v); };
  pon(1, "SI");
  pon(6, "SI");
  pon(15, "Remision.fmt");
  pon(17, "CajaChica.fmt");
  pon(21, "S");
  pon(33, "N");
  pon(41, "S");
  pon(42, "2");
  pon(43, "N");
  pon(45, "0");
  pon(47, "N");
  pon(58, "N");
  pon(59, "");
  pon(60, "");
  pon(61, "N");
  pon(62, "N");
  pon(63, "");
  escribeGener(lineas);
  base::escribeLineas(base::une(kSistema, "encabeza.cnf"),
                       {"N", "N", "", "", "", "", "", "", "N"});
  cliente("1", "Publico en General");
  vendedor("V1", "Vendedor Uno", 5);
}

void EmpresaVentas::linea(int n, std::string valor) {
  lineas[static_cast<size_t>(n - 1)] = std::move(valor);
  escribeGener(lineas);
}

sales::AjustesVenta EmpresaVentas::ajustes() const { return sales::leeAjustes(kSistema, lineas); }

void EmpresaVentas::producto(const ProductoVenta& p) {
  dbf::Table t;
  t.open(kDatos, "inventar.dbf");
  t.append();
  t.setText("CLPRO_I", p.clave);
  t.setText("CODIG_I", p.codigo);
  t.setText("DSCPR_I", p.descripcion);
  t.setText("LIPRO_I", p.linea);
  t.setText("UMEDI_I", p.unidad);
  t.setFloat("EXIST_I", p.existencia);
  t.setFloat("PPUBL_I", p.precio);
  const char* listas[] = {"PLIS2_I", "PLIS3_I", "PLIS4_I", "PMINI_I", "PLIS6_I", "PLIS7_I"};
  for (size_t i = 0; i < 6; ++i) t.setFloat(listas[i], p.listas[i]);
  for (size_t i = 0; i < 7; ++i) t.setFloat("POLI" + std::to_string(i + 1) + "_I", p.umbrales[i]);
  t.setFloat("PIVA1_I", p.impuesto);
  t.setFloat("CPROM_I", p.costoPromedio);
  t.setFloat("ULCOS_I", p.ultimoCosto);
  t.setText("TICOS_I", p.tipoCosto);
  t.setFloat("UEMPA_I", p.empaque);
  t.setFloat("FACTO_I", p.factor);
  t.setFloat("DESCU_I", p.descuento);
  t.setFloat("FPGCC_I", p.fpgcc);
  t.setFloat("FPGCI_I", p.fpgci);
  t.post();
}

void EmpresaVentas::cliente(std::string_view clave, std::string_view nombre, std::string_view lista,
                            std::string_view estado) {
  dbf::Table t;
  t.open(kDatos, "cliente.dbf");
  t.append();
  t.setText("CLCLI_C", clave);
  t.setText("NOMBR_C", nombre);
  t.setText("DIREC_C", "Calle " + std::string(clave));
  t.setText("POBLA_C", "Monterrey");
  t.setText("RFCXX_C", "XAXX010101000");
  t.setText("CPXXX_C", "64000");
  if (!lista.empty()) t.setText("PREPR_C", lista);
  t.setText("STATU_C", estado);
  t.post();
}

void EmpresaVentas::vendedor(std::string_view clave, std::string_view nombre, double comision) {
  dbf::Table t;
  t.open(kDatos, "vendedor.dbf");
  t.append();
  t.setText("CLVEN_V", clave);
  t.setText("NOMBR_V", nombre);
  t.setFloat("COMIS_V", comision);
  t.post();
}

void EmpresaVentas::descuentoCliente(std::string_view cliente, std::string_view linea,
                                     double descuento) {
  dbf::Table t;
  t.open(kDatos, "ClieDesc.dbf");
  t.append();
  t.setText("CLCLI_D", cliente);
  t.setText("LINEA_D", linea);
  t.setFloat("DESCU_D", descuento);
  t.post();
}

void EmpresaVentas::usuario(std::string_view derechos) {
  long n = session::cuentaUsuarios(kSistema);
  session::Usuario u{static_cast<int>(n), "Usuario " + std::to_string(n), "clave" + std::to_string(n),
                   std::string(derechos)};
  if (!session::agregaUsuario(kSistema, u)) throw std::runtime_error("usuarios.def");
}

void EmpresaVentas::sesion(std::string_view usuario) {
  base::escribeLineas(base::une(kSistema, "Multi.dat"), {std::string(usuario)});
}

double EmpresaVentas::numero(std::string_view tabla, std::string_view campoClave,
                             std::string_view clave, std::string_view campo) const {
  dbf::Table t;
  t.open(kDatos, tabla);
  for (t.first(); !t.eof(); t.next())
    if (t.asText(campoClave) == clave) return t.asFloat(campo);
  throw std::runtime_error("sin registro " + std::string(clave));
}

std::string EmpresaVentas::texto(std::string_view tabla, std::string_view campoClave,
                                 std::string_view clave, std::string_view campo) const {
  dbf::Table t;
  t.open(kDatos, tabla);
  for (t.first(); !t.eof(); t.next())
    if (t.asText(campoClave) == clave) return t.asText(campo);
  throw std::runtime_error("sin registro " + std::string(clave));
}

std::vector<std::string> EmpresaVentas::filas(std::string_view tabla,
                                              const std::vector<std::string>& campos) const {
  return filasDe(kDatos, tabla, campos);
}

std::vector<std::string> EmpresaVentas::filasDe(std::string_view d, std::string_view tabla,
                                                const std::vector<std::string>& campos) {
  std::vector<std::string> r;
  dbf::Table t;
  t.open(d, tabla);
  t.setIndex("");
  for (t.first(); !t.eof(); t.next()) {
    std::string fila;
    for (size_t i = 0; i < campos.size(); ++i) {
      if (i) fila += "|";
      fila += t.asText(campos[i]);
    }
    r.push_back(fila);
  }
  return r;
}

}  // namespace mostrador::prueba
