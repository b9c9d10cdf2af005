#pragma once
// The sales engine's dialogs with the real screens: the product, customer and seller
// lookups, a scale prompt, the two range dialogs, the window caption and printing a
// generated document (handed back to the sales screen, which owns the printer).

#include <functional>
#include <string>

#include "sales/dialogos_venta.h"

class QWidget;

namespace mostrador::sales {

struct DirectoriosVenta {
  std::string sistema;     // install directory
  std::string datos;       // data directory
  std::string inventario;  // products and movements directory
  std::string usuario;     // signed-in user number
};

class DialogosVentaQt : public DialogosVenta {
 public:
  // tipo: the name of the document type shown (the range dialog's caption says which);
  // imprime: prints the engine's current document with a format path.
  DialogosVentaQt(QWidget* padre, DirectoriosVenta dirs, std::function<std::string()> tipo,
                  std::function<void(std::string_view formato)> imprime);

  std::optional<std::string> buscaProducto(std::string_view texto) override;
  std::optional<std::string> buscaProductoPorDescripcion(std::string_view texto) override;
  std::optional<std::string> buscaCliente(std::string_view texto) override;
  std::optional<std::string> buscaVendedor(std::string_view texto) override;
  std::optional<double> pesa(double cantidad, double factor, double existenciaFactor) override;
  std::optional<double> pesaProducto(double cantidad, double factor, double existenciaFactor,
                                     double existencia) override;
  bool altaRapida(std::string_view clave) override;
  std::optional<std::pair<base::Fecha, base::Fecha>> rangoFechas(base::Fecha hoy) override;
  std::optional<std::pair<long long, long long>> rangoDocumentos() override;
  void titulo(std::string_view texto) override;
  void imprime(std::string_view formato) override;

  // Quick product creation belongs to the quick-capture module; until a screen takes it
  // over, the user is told so (through this callback) and no product is created.
  void ponAltaRapida(std::function<bool(std::string_view clave)> alta) { alta_ = std::move(alta); }

 private:
  QWidget* padre_;
  DirectoriosVenta dirs_;
  std::function<std::string()> tipo_;
  std::function<void(std::string_view)> imprime_;
  std::function<bool(std::string_view)> alta_;
};

}  // namespace mostrador::sales
