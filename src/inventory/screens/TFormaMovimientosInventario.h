#pragma once
// TFormaMovimientosInventario: manual inventory movements. A thin view over
// inventory/movimientos.h: it shows one movement at a time (its lines in the grid
// "Detalle", read-only), and in capture (New) lets the user type the lines and save them
// through the posting rule. The kardex, the count and the reports open from its menus.

#include <QDialog>
#include <functional>
#include <optional>

#include "base/interaccion.h"
#include "base/reloj.h"
#include "inventory/movimientos.h"
#include "session/sesion.h"
#include <memory>

class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace mostrador::inventory {

class TFormaMovimientosInventario : public QDialog {
  Q_OBJECT
 public:
  // derecho(n): right n of the signed-in user (35 to start a movement).
  TFormaMovimientosInventario(AjustesMovimientos ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                              std::function<bool(int)> derecho, bool integrado, QWidget* parent = nullptr);

  void ponEjecutaReporte(std::function<void(const DefinicionReporte&)> f) { reporte_ = std::move(f); }
  // The program's session (it must outlive the screen), for printing; a screen given
  // none makes one of its own.
  void ponSesion(session::Sesion& sesion) { sesion_ = &sesion; }
  // The movement shown through a format of "\report\movinven.for".
  void BotonImprimirClick();
  void BotonPreliminarClick();
  void Temas1Click();
  // The movement's observations (document type "MI") and its label files.
  void BotonObservacionClick();
  void Etiquetas1Click();
  void ponDirectorioSistema(std::string dir) { dirSistema_ = std::move(dir); }

  // Commands.
  void BotonNuevoClick();
  bool BotonGuardarClick();
  void EditTIMOV_MIExit();
  void DetalleColExit(int fila, int columna);
  void navega(Paso paso);
  void CalculaCantidad1Click();
  void VerMovimientos1Click();
  void AjustedeInventario1Click();
  void LeerArchivoTexto1Click();
  void ImportarArchivo1Click();
  void Eliminar1Click();
  // Search by movement number ("Por Documento (F1)") or by product key.
  void BotonBuscarClick();
  void buscaDocumento(const std::string& numero);
  void buscaProducto(const std::string& clave);
  void actualizainventario1Click();
  void reporte(ReporteMovimientos r);
  // PorProducto1Click, PorNmerodeMovimiento1Click, PorFecha1Click: the browsing order.
  void ordena(OrdenMovimientos orden);
  // NoAlmacenChange: browse only the movements of the warehouse in EditAlmacen.
  void NoAlmacenChange(bool soloAlmacen);
  // F2 on the type: the lookup; the chosen type goes into the edit.
  void EditTIMOV_MIKeyDown();

  bool enCaptura() const { return captura_; }
  std::optional<long long> numero() const { return numero_; }
  QTableWidget* detalle() const { return detalle_; }
  QString concepto() const;
  QString lineaTotales() const;
  // Rows typed or imported into the capture grid.
  void agregaFila(const LineaMovimiento& l);

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void creaMenus(QMenuBar* barra);
  void muestra(long long numero);
  void limpia();
  DocumentoMovimiento documento() const;

  AjustesMovimientos aj_;
  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  std::function<bool(int)> derecho_;
  std::function<void(const DefinicionReporte&)> reporte_;
  session::Sesion* sesion_ = nullptr;
  std::unique_ptr<base::ProcesosPosix> procesosPropios_;
  std::unique_ptr<session::Sesion> sesionPropia_;
  session::Sesion& sesion();
  void imprime(bool preliminar);
  std::string dirSistema_;
  bool captura_ = false;
  std::optional<long long> numero_;
  uint32_t registro_ = 0;  // the first line shown, for the orders by product and date
  OrdenMovimientos orden_ = OrdenMovimientos::Numero;
  bool soloAlmacen_ = false;
  QLineEdit *numeroEdit_, *fecha_, *tipo_, *contraparte_, *referencia_;
  QSpinBox* almacen_;
  QLabel *concepto_, *totales_;
  QTableWidget* detalle_;
  QPushButton *nuevo_, *guardar_;
};

}  // namespace mostrador::inventory
