#include "sales/screens/dialogos_venta_qt.h"

#include "sales/screens/TFormaTara.h"
#include "ui/interaccion_qt.h"
#include "ui/puerto_serie.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QInputDialog>
#include <QWidget>


#include "accounts/screens/TFormaConClientes.h"
#include "accounts/screens/TFormaConVendedores.h"
#include "inventory/screens/TFormaConProduct.h"
#include "sales/screens/DialogoRangoFechas.h"
#include "sales/screens/TFormaRango.h"

namespace mostrador::sales {

DialogosVentaQt::DialogosVentaQt(QWidget* padre, DirectoriosVenta dirs,
                                 std::function<std::string()> tipo,
                                 std::function<void(std::string_view)> imprime)
    : padre_(padre), dirs_(std::move(dirs)), tipo_(std::move(tipo)), imprime_(std::move(imprime)) {}

std::optional<std::string> DialogosVentaQt::buscaProducto(std::string_view texto) {
  return inventory::TFormaConProduct::consulta(padre_, dirs_.inventario, dirs_.sistema,
                                               std::string(texto));
}

std::optional<std::string> DialogosVentaQt::buscaProductoPorDescripcion(std::string_view texto) {
  inventory::TFormaConProduct forma(padre_, dirs_.inventario, dirs_.sistema, std::string(texto));
  // The lookup's own F2 key puts it in description order.
  QKeyEvent f2(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier);
  QCoreApplication::sendEvent(&forma, &f2);
  forma.exec();
  return forma.resultado();
}

std::optional<std::string> DialogosVentaQt::buscaCliente(std::string_view texto) {
  return accounts::TFormaConClientes::consulta(padre_, dirs_.datos, dirs_.usuario, std::string(texto));
}

std::optional<std::string> DialogosVentaQt::buscaVendedor(std::string_view texto) {
  return accounts::TFormaConVendedores::consulta(padre_, dirs_.datos, std::string(texto));
}

std::optional<double> DialogosVentaQt::pesa(double cantidad, double factor, double existenciaFactor) {
  return pesaProducto(cantidad, factor, existenciaFactor, existenciaFactor);
}

std::optional<double> DialogosVentaQt::pesaProducto(double cantidad, double factor, double existenciaFactor,
                                                    double existencia) {
  // The tare dialog: it reads the scale on the port of "\Bascula.cnf" while it is open
  // and takes a typed weight when the scale is missing or silent.
  ui::InteraccionQt ui([s = dirs_.sistema] { return s; }, padre_);
  PuertoSerieQt puerto;
  return TFormaTara::pesa(padre_, dirs_.sistema, {cantidad, factor, existenciaFactor, existencia}, ui, &puerto);
}

bool DialogosVentaQt::altaRapida(std::string_view clave) {
  if (alta_) return alta_(clave);
  return false;
}

std::optional<std::pair<base::Fecha, base::Fecha>> DialogosVentaQt::rangoFechas(base::Fecha hoy) {
  return DialogoRangoFechas::pide(padre_, hoy);
}

std::optional<std::pair<long long, long long>> DialogosVentaQt::rangoDocumentos() {
  return TFormaRango::pide(padre_, tipo_ ? tipo_() : std::string());
}

void DialogosVentaQt::titulo(std::string_view texto) {
  if (!padre_) return;
  // The caption is the only sign of life during the movement retries: paint it now.
  padre_->window()->setWindowTitle(QString::fromUtf8(texto.data(), static_cast<qsizetype>(texto.size())));
  padre_->window()->repaint();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void DialogosVentaQt::imprime(std::string_view formato) {
  if (imprime_) imprime_(formato);
}

}  // namespace mostrador::sales
