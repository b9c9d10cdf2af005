#pragma once
// What the sales engine asks of its screen in the middle of its work, beyond the stock
// dialogs of Interaccion: the lookups, the scale, the quick product creation, the two
// range dialogs, the window caption and printing a generated document. Screens
// implement it with their Qt dialogs, tests with a scripted fake.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/reloj.h"

namespace mostrador::sales {

class DialogosVenta {
 public:
  virtual ~DialogosVenta() = default;
  // Product lookup seeded with a text; the chosen CLPRO_I, nullopt when cancelled.
  virtual std::optional<std::string> buscaProducto(std::string_view texto) = 0;
  // The same lookup opened in description order (F1 of the sales screen).
  virtual std::optional<std::string> buscaProductoPorDescripcion(std::string_view texto) {
    return buscaProducto(texto);
  }
  // Customer and seller lookups; the chosen key.
  virtual std::optional<std::string> buscaCliente(std::string_view texto) = 0;
  virtual std::optional<std::string> buscaVendedor(std::string_view texto) = 0;
  // Scale dialog for a weighed product: the weight read; nullopt keeps the quantity.
  virtual std::optional<double> pesa(double cantidad, double factor, double existenciaFactor) = 0;
  // The same, knowing the product's stock (EXIST_I) too, which the dialog shows.
  virtual std::optional<double> pesaProducto(double cantidad, double factor, double existenciaFactor,
                                             double /*existencia*/) {
    return pesa(cantidad, factor, existenciaFactor);
  }
  // Quick product creation with the typed key; true when a product was created.
  virtual bool altaRapida(std::string_view clave) = 0;
  // Range dialog "Rango" with two dates (both `hoy` at first); nullopt unless accepted.
  virtual std::optional<std::pair<base::Fecha, base::Fecha>> rangoFechas(base::Fecha hoy) = 0;
  // Document range dialog: first and last number; nullopt when cancelled.
  virtual std::optional<std::pair<long long, long long>> rangoDocumentos() = 0;
  // The window caption changes (the movement retry loop shows its attempts).
  virtual void titulo(std::string_view texto) = 0;
  // Prints the engine's current document with a format file (stored path).
  virtual void imprime(std::string_view formato) = 0;
};

}  // namespace mostrador::sales
