#pragma once
// A small shop for the sales engine's tests: a company created on the temporary drive
// (a DirectorioTemporal must be alive), with configuration lines the test can change,
// "\encabeza.cnf", and helpers to add products, customers, sellers and users and to read
// rows back as exact texts.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "sales/ajustes.h"

namespace mostrador::prueba {

struct ProductoVenta {
  std::string clave, codigo, descripcion, linea, unidad = "PZA";
  double existencia = 0;
  double precio = 0;                // PPUBL_I
  std::array<double, 6> listas{};   // PLIS2_I PLIS3_I PLIS4_I PMINI_I PLIS6_I PLIS7_I
  std::array<double, 7> umbrales{};  // POLI1_I .. POLI7_I
  double impuesto = 0;              // PIVA1_I
  double costoPromedio = 0, ultimoCosto = 0;
  std::string tipoCosto;            // TICOS_I
  double empaque = 0;               // UEMPA_I
  double factor = 0;                // FACTO_I (weighed when > 0)
  double descuento = 0;             // DESCU_I
  double fpgcc = 0, fpgci = 0;
};

class EmpresaVentas {
 public:
  static constexpr std::string_view kSistema = "C:\\tvk";
  static constexpr std::string_view kDatos = "C:\\datos";

  // The company: no flush after saving (line 1 "SI"), movements posted (line 6 "SI"),
  // no stock control, stock may go negative, two decimals, no tiers, no rounding step,
  // no quick creation, no line discounts; customer "1" "Publico en General" and seller
  // "V1" with 5 % commission.
  EmpresaVentas();

  std::vector<std::string> lineas;  // the 72 configuration lines
  // Changes line n (1-based) and rewrites "Gener1.cnf".
  void linea(int n, std::string valor);
  sales::AjustesVenta ajustes() const;

  void producto(const ProductoVenta& p);
  void cliente(std::string_view clave, std::string_view nombre, std::string_view lista = "",
               std::string_view estado = "");
  void vendedor(std::string_view clave, std::string_view nombre, double comision);
  void descuentoCliente(std::string_view cliente, std::string_view linea, double descuento);
  // Adds user n (1-based numbering after the administrator) with the rights letters.
  void usuario(std::string_view derechos);
  // "\Multi.dat": the signed-in user.
  void sesion(std::string_view usuario);

  // Reading back. A number field as double, any field as its stored text.
  double numero(std::string_view tabla, std::string_view campoClave, std::string_view clave,
                std::string_view campo) const;
  std::string texto(std::string_view tabla, std::string_view campoClave, std::string_view clave,
                    std::string_view campo) const;
  // Every live record of a data-directory table in natural order, the fields asked for
  // joined by "|" (asText of each).
  std::vector<std::string> filas(std::string_view tabla, const std::vector<std::string>& campos) const;
  // The same for a table of another directory.
  static std::vector<std::string> filasDe(std::string_view dir, std::string_view tabla,
                                          const std::vector<std::string>& campos);
};

}  // namespace mostrador::prueba
