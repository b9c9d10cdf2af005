#pragma once
// TFormaCompras: receipts, purchase orders and returns to the supplier. A view over
// inventory/compras.h: the kind chosen in "TipoDocumento", the header (supplier, dates,
// number, discount, tax mode), the line grid "Detalle" and the totals; saving,
// modifying, cancelling and deleting go to the engine, whose Spanish message is shown
// as it comes. The payables detail and the supplier lookup belong to a higher layer:
// the program registers them here.

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/interaccion.h"
#include "base/programas.h"
#include "base/reloj.h"
#include "inventory/compras.h"
#include "inventory/reportes_inventario.h"
#include "session/sesion.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QTableWidget;

namespace mostrador::inventory {

class TFormaCompras : public QDialog {
  Q_OBJECT
 public:
  // derecho(n): right n of the signed-in user (23 new, 25 change, 6 payments).
  TFormaCompras(AjustesCompras ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                std::function<bool(int)> derecho, QWidget* parent = nullptr);
  ~TFormaCompras() override;

  // The payables detail of a receipt (BotonPagos): parent, data directory, number.
  using Pagos = std::function<void(QWidget*, const std::string& dirDatos, long long numero)>;
  static void registraPagos(Pagos pagos);
  // The supplier lookup (F2 on the supplier key): the key chosen, nullopt for none.
  using ConsultaProveedores =
      std::function<std::optional<std::string>(QWidget* padre, const std::string& dirDatos, const std::string& texto)>;
  static void registraConsultaProveedores(ConsultaProveedores consulta);

  void ponSesion(session::Sesion& sesion) { sesion_ = &sesion; }
  void ponDirectorioSistema(std::string dir) { dirSistema_ = std::move(dir); }

  // Grid columns, as the scratch lines name them.
  enum Columna {
    kClave, kProducto, kCantidad, kCajas, kPrecio, kDescuento, kDescuento2, kDescuento3,
    kImporte, kImpuesto, kPrecioCliente, kCaducidad, kColumnas
  };

  // Commands.
  void BotonNuevoClick();
  bool BotonGuardarClick();
  void BotonCambiosClick();
  void BotonTotalesClick();
  void Cancelar1Click();
  void Eliminar1Click();
  void BotonPagosClick();
  void BotonImprimirClick();
  void BotonPreliminarClick();
  void BotonBuscarClick();
  void CompraSugerida1Click();
  void OrdendeCompra1Click();
  void N1Descuento1Click();  // import of an order file
  void Recepcin1Click();
  void Devolucin1Click();
  void Temas1Click();
  void ChequeodeMovimientos1Click();  // the administrator's re-posting
  // The report runner (the program's), for the Reportes menu.
  void ponEjecutaReporte(std::function<void(const DefinicionReporte&)> f) { reporte_ = std::move(f); }
  void EditCLPRV_OExit();
  void EditCLPRV_OKeyDown();  // F2
  void EditFEREC_OExit();
  void DetalleColExit(int fila, int columna);
  void DetalleKeyDown();      // F2 on a line: the product lookup
  void TipoDocumentoChange(int indice);

  TipoCompra tipo() const { return tipo_; }
  bool enCaptura() const { return modo_ != Modo::Consulta; }
  std::optional<long long> numero() const { return numero_; }
  QTableWidget* detalle() const { return detalle_; }
  // The document as the screen holds it.
  DocumentoCompra documento() const;
  // Shows a saved document of the selected kind; false when it does not exist.
  bool muestra(long long numero);
  // Adds a line to the first empty row of the grid.
  void agregaPartida(const PartidaCompra& p);

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  enum class Modo { Consulta, Nuevo, Cambios };
  void creaMenus(QMenuBar* barra);
  void limpia();
  void editable(bool si);
  void pintaTotales();
  void ponCelda(int fila, int columna, const QString& texto);
  void terminaCaptura();
  void imprime(bool preliminar);
  void reporte(const std::string& menu);
  std::string sistema();
  session::Sesion& sesion();
  bool opcion(const char* archivo);

  AjustesCompras aj_;
  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  std::function<bool(int)> derecho_;
  session::Sesion* sesion_ = nullptr;
  std::unique_ptr<base::ProcesosPosix> procesosPropios_;
  std::unique_ptr<session::Sesion> sesionPropia_;
  std::string dirSistema_;
  std::function<void(const DefinicionReporte&)> reporte_;

  TipoCompra tipo_ = TipoCompra::Recepcion;
  Modo modo_ = Modo::Consulta;
  std::optional<long long> numero_;  // the document shown or being modified
  long long propuesto_ = 0;          // the number a new document was proposed
  uint32_t reservado_ = 0;
  int diasCredito_ = 0;

  QComboBox* tipoDocumento_;
  QLineEdit *numeroEdit_, *proveedor_, *fecha_, *recepcion_, *pago_, *referencia_, *descuento_, *moneda_, *almacen_;
  QLabel *nombre_, *diasCreditoLabel_, *margen_, *estado_, *subtotal_, *impuesto_, *total_;
  QCheckBox* noDesglosado_;
  QTableWidget* detalle_;
  QPushButton *nuevo_, *guardar_, *cambios_, *pagos_;
};

}  // namespace mostrador::inventory
