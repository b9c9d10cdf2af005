#pragma once
// Scripted DialogosVenta for the sales engine's tests: answers are queued per dialog;
// every call is recorded as a readable line:
//   "producto: <text>"  "descripcion: <text>"  "cliente: <text>"  "vendedor: <text>"  "pesa: <q> <factor> <exifa>"
//   "alta: <key>"  "rango fechas"  "rango documentos"  "titulo: <text>"  "imprime: <path>"
// A dialog with nothing queued answers as cancelled (altaRapida: false).

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "sales/dialogos_venta.h"

namespace mostrador::prueba {

class DialogosVentaFalsos : public sales::DialogosVenta {
 public:
  std::deque<std::optional<std::string>> productos, clientes, vendedores;
  std::deque<std::optional<double>> pesos;
  std::deque<bool> altas;
  std::deque<std::optional<std::pair<base::Fecha, base::Fecha>>> fechas;
  std::deque<std::optional<std::pair<long long, long long>>> rangos;
  std::vector<std::string> llamadas;
  std::vector<std::string> titulos;

  std::optional<std::string> buscaProducto(std::string_view t) override {
    llamadas.push_back("producto: " + std::string(t));
    return toma(productos, std::optional<std::string>{});
  }
  std::optional<std::string> buscaProductoPorDescripcion(std::string_view t) override {
    llamadas.push_back("descripcion: " + std::string(t));
    return toma(productos, std::optional<std::string>{});
  }
  std::optional<std::string> buscaCliente(std::string_view t) override {
    llamadas.push_back("cliente: " + std::string(t));
    return toma(clientes, std::optional<std::string>{});
  }
  std::optional<std::string> buscaVendedor(std::string_view t) override {
    llamadas.push_back("vendedor: " + std::string(t));
    return toma(vendedores, std::optional<std::string>{});
  }
  std::optional<double> pesa(double q, double f, double e) override {
    llamadas.push_back("pesa: " + num(q) + " " + num(f) + " " + num(e));
    return toma(pesos, std::optional<double>{});
  }
  bool altaRapida(std::string_view clave) override {
    llamadas.push_back("alta: " + std::string(clave));
    return toma(altas, false);
  }
  std::optional<std::pair<base::Fecha, base::Fecha>> rangoFechas(base::Fecha) override {
    llamadas.push_back("rango fechas");
    return toma(fechas, std::optional<std::pair<base::Fecha, base::Fecha>>{});
  }
  std::optional<std::pair<long long, long long>> rangoDocumentos() override {
    llamadas.push_back("rango documentos");
    return toma(rangos, std::optional<std::pair<long long, long long>>{});
  }
  void titulo(std::string_view t) override { titulos.emplace_back(t); }
  void imprime(std::string_view formato) override {
    llamadas.push_back("imprime: " + std::string(formato));
  }

 private:
  template <class T>
  static T toma(std::deque<T>& cola, T siNoHay) {
    if (cola.empty()) return siNoHay;
    T v = std::move(cola.front());
    cola.pop_front();
    return v;
  }
  static std::string num(double v) {
    std::string s = std::to_string(v);
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
  }
};

}  // namespace mostrador::prueba
