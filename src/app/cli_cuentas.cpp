// The account commands of mostrador-cli: open documents with their ageing, a customer's
// or supplier's statement, and recording a payment.

#include <iostream>
#include <sstream>

#include "accounts/clientes.h"
#include "accounts/cuentas.h"
#include "accounts/vendedores.h"
#include "app/cli_comun.h"
#include "base/fechas.h"
#include "base/numeros.h"
#include "base/reloj.h"

namespace mostrador::app::cli {

namespace {

accounts::Cartera carteraDe(const std::string& t) {
  if (t == "clientes") return accounts::Cartera::Clientes;
  if (t == "proveedores") return accounts::Cartera::Proveedores;
  throw ErrorUso("se espera clientes o proveedores, no " + t);
}

std::string formato(const Argumentos& a) {
  const std::string f = a.opcion("formato").value_or("texto");
  if (f != "texto" && f != "tsv") throw ErrorUso("--formato es texto o tsv");
  return f;
}

std::optional<base::Fecha> fecha(const Argumentos& a) {
  auto t = a.opcion("fecha");
  if (!t) return std::nullopt;
  auto f = base::leeFechaCorta(*t);
  if (!f) throw ErrorUso("--fecha no es una fecha dd/MM/aaaa: " + *t);
  return f;
}

// Amounts in a tsv line: two decimals, no grouping.
std::string plano(double v) { return base::formateaMascara(v, "0.00"); }
std::string mascara(double v) { return base::formateaMascara(v, "###,###,##0.00"); }

// A text cut or blank-padded to n characters (UTF-8: "ñ" is one), so columns line up.
std::string columna(const std::string& s, size_t n, bool derecha = false) {
  std::string r;
  size_t chars = 0;
  for (size_t i = 0; i < s.size() && chars < n; ++chars) {
    size_t largo = 1;
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0xF0) largo = 4;
    else if (c >= 0xE0) largo = 3;
    else if (c >= 0xC0) largo = 2;
    r += s.substr(i, largo);
    i += largo;
  }
  const std::string relleno(n - chars, ' ');
  return derecha ? relleno + r : r + relleno;
}

const char* nombreClave(accounts::Cartera c) { return c == accounts::Cartera::Clientes ? "Cliente" : "Proveedor"; }

}  // namespace

int cmdCartera(const Argumentos& a) {
  if (a.posicionales.size() != 1) throw ErrorUso("indique clientes o proveedores");
  const accounts::Cartera c = carteraDe(a.posicionales[0]);
  const std::string f = formato(a);
  const base::Fecha hoy = fecha(a).value_or(base::RelojSistema().ahora().fecha);
  Instalacion in = localiza(a);
  const accounts::ReporteCartera r =
      accounts::cartera(datosExistentes(in), c, hoy, a.opcion("clave").value_or(std::string()));
  const std::pair<const char*, double> totales[] = {{"Total", r.total},
                                                    {"Por vencer", r.porVencer},
                                                    {"Vencido hasta 30 días", r.vencido30},
                                                    {"Vencido 31 a 60 días", r.vencido60},
                                                    {"Vencido 61 a 90 días", r.vencido90},
                                                    {"Vencido más de 90 días", r.vencidoMas}};
  if (f == "tsv") {
    std::cout << "Documento\tClave\tNombre\tAplicado\tVence\tSaldo\tVencimiento\n";
    for (const auto& d : r.documentos)
      std::cout << d.documento << '\t' << d.clave << '\t' << d.nombre << '\t' << d.aplicado << '\t' << d.vence << '\t'
                << plano(d.saldo) << '\t' << d.vencimiento << '\n';
    for (const auto& [titulo, v] : totales) std::cout << titulo << "\t\t\t\t\t" << plano(v) << "\t\n";
    return 0;
  }
  std::cout << columna("Documento", 10) << ' ' << columna("Clave", 10) << ' ' << columna("Nombre", 30) << ' '
            << columna("Aplicado", 10) << ' ' << columna("Vence", 10) << ' ' << columna("Saldo", 14, true) << "  "
            << "Vencimiento\n";
  for (const auto& d : r.documentos)
    std::cout << columna(d.documento, 10) << ' ' << columna(d.clave, 10) << ' ' << columna(d.nombre, 30) << ' '
              << columna(d.aplicado, 10) << ' ' << columna(d.vence, 10) << ' ' << columna(mascara(d.saldo), 14, true)
              << "  " << d.vencimiento << '\n';
  std::cout << r.documentos.size() << " documento(s) con saldo al " << base::fechaCorta(hoy) << '\n';
  for (const auto& [titulo, v] : totales)
    std::cout << columna(titulo, 74) << ' ' << columna("$" + mascara(v), 14, true) << '\n';
  return 0;
}

int cmdEstadoCuenta(const Argumentos& a) {
  if (a.posicionales.size() != 2) throw ErrorUso("indique clientes o proveedores y la clave");
  const accounts::Cartera c = carteraDe(a.posicionales[0]);
  const std::string f = formato(a);
  Instalacion in = localiza(a);
  const auto e = accounts::estadoCuenta(datosExistentes(in), c, a.posicionales[1]);
  if (!e)
    throw std::runtime_error(std::string(c == accounts::Cartera::Clientes ? accounts::kClienteNoExiste
                                                                          : accounts::kProveedorNoExiste));
  double cargos = 0, abonos = 0;
  for (const auto& m : e->movimientos) (m.operacion == "A" ? abonos : cargos) += m.importe;
  if (f == "tsv") {
    std::cout << "Fecha\tDocumento\tReferencia\tTipo\tConcepto\tCargo\tAbono\tSaldo\n";
    for (const auto& m : e->movimientos) {
      const bool abono = m.operacion == "A";
      std::cout << m.aplicado << '\t' << m.documento << '\t' << m.referencia << '\t' << m.tipo << '\t' << m.concepto
                << '\t' << (abono ? "" : plano(m.importe)) << '\t' << (abono ? plano(m.importe) : "") << '\t'
                << plano(m.saldo) << '\n';
    }
    std::cout << "Total\t\t\t\t\t" << plano(cargos) << '\t' << plano(abonos) << '\t' << plano(e->saldo) << '\n';
    std::cout << "Estado\t" << e->estado << '\n';
    return 0;
  }
  std::cout << nombreClave(c) << ' ' << e->clave << "  " << e->nombre << '\n';
  std::cout << columna("Fecha", 10) << ' ' << columna("Documento", 10) << ' ' << columna("Referencia", 15) << ' '
            << columna("Tipo", 4) << ' ' << columna("Concepto", 20) << ' ' << columna("Cargo", 14, true) << ' '
            << columna("Abono", 14, true) << ' ' << columna("Saldo", 14, true) << '\n';
  for (const auto& m : e->movimientos) {
    const bool abono = m.operacion == "A";
    std::cout << columna(m.aplicado, 10) << ' ' << columna(m.documento, 10) << ' ' << columna(m.referencia, 15) << ' '
              << columna(m.tipo, 4) << ' ' << columna(m.concepto, 20) << ' '
              << columna(abono ? "" : mascara(m.importe), 14, true) << ' '
              << columna(abono ? mascara(m.importe) : "", 14, true) << ' ' << columna(mascara(m.saldo), 14, true)
              << '\n';
  }
  std::cout << columna("Totales", 63) << ' ' << columna(mascara(cargos), 14, true) << ' '
            << columna(mascara(abonos), 14, true) << ' ' << columna(mascara(e->saldo), 14, true) << '\n';
  std::cout << "Saldo " << accounts::textoSaldo(e->saldo) << ' ' << e->estado << '\n';
  return 0;
}

int cmdAbono(const Argumentos& a) {
  if (a.posicionales.size() != 3) throw ErrorUso("indique clientes o proveedores, la clave y el importe");
  const accounts::Cartera c = carteraDe(a.posicionales[0]);
  accounts::Abono ab;
  ab.clave = a.posicionales[1];
  const auto importe = base::leeNumero(a.posicionales[2]);
  if (!importe) throw ErrorUso("el importe no es un número: " + a.posicionales[2]);
  ab.importe = *importe;
  if (auto f = fecha(a)) ab.fecha = *f;
  ab.documento = a.opcion("documento").value_or(std::string());
  if (auto t = a.opcion("concepto")) {
    char* fin = nullptr;
    const long n = std::strtol(t->c_str(), &fin, 10);
    if (t->empty() || *fin || n <= 0 || n > 999) throw ErrorUso("--concepto lleva un número de concepto: " + *t);
    ab.concepto = static_cast<int>(n);
  }
  Instalacion in = localiza(a);
  base::RelojSistema reloj;
  std::vector<accounts::AbonoAplicado> aplicado;
  const std::string m = accounts::abona(datosExistentes(in), c, ab, reloj, &aplicado);
  if (!m.empty()) throw std::runtime_error(m);
  double total = 0;
  for (const auto& x : aplicado) {
    total += x.importe;
    std::cout << "Documento " << x.documento << ": abono " << accounts::textoSaldo(x.importe) << ", saldo "
              << accounts::textoSaldo(x.saldo) << ' ' << accounts::textoEstado(x.saldo) << '\n';
  }
  std::cout << "Abono de " << accounts::textoSaldo(total)
            << (c == accounts::Cartera::Clientes ? " al cliente " : " al proveedor ") << ab.clave << " en "
            << aplicado.size() << " documento(s)\n";
  return 0;
}

int cmdBorra(const Argumentos& a) {
  if (a.posicionales.size() != 2) throw ErrorUso("indique clientes, proveedores o vendedores y la clave");
  const std::string& que = a.posicionales[0];
  const std::string& clave = a.posicionales[1];
  Instalacion in = localiza(a);
  const std::string& datos = datosExistentes(in);
  std::string m;
  if (que == "clientes")
    m = accounts::eliminaCliente(datos, clave);
  else if (que == "proveedores")
    m = accounts::eliminaProveedor(datos, clave);
  else if (que == "vendedores")
    m = accounts::eliminaVendedor(datos, clave);
  else
    throw ErrorUso("se espera clientes, proveedores o vendedores, no " + que);
  if (!m.empty()) throw std::runtime_error(m);
  std::cout << "Borrado " << clave << '\n';
  return 0;
}

}  // namespace mostrador::app::cli
