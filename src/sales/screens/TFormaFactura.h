#pragma once
// TFormaFactura: the sales document screen. A thin view over sales::CapturaVenta: the
// header fields, the six-column line grid over the station's scratch lines, the totals
// and state labels, the command keys and menus. Every rule lives in the engine; the
// screen forwards what the user types and repaints from the engine's state.
//
// Keys are seen by the form before any field (the grid's editors included), so that a
// command key works wherever the cursor is.

#include <QDialog>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "sales/ajustes.h"
#include "sales/captura.h"
#include "sales/dialogos_venta.h"
#include "sales/dispositivos.h"
#include "printing/impresion_documentos.h"
#include "base/interaccion.h"
#include "base/reloj.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QTimer;
class PuertoSerieQt;

#include "base/programas.h"
#include "session/sesion.h"

namespace mostrador::sales {

class DialogosVentaQt;
class RejillaPartidas;

class TFormaFactura : public QDialog {
  Q_OBJECT
 public:
  // dialogos: the engine's dialogs; null takes the real ones. The engine opens its
  // tables here (dbf::Error when the document tables cannot be opened).
  TFormaFactura(AjustesVenta ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                QWidget* parent = nullptr, DialogosVenta* dialogos = nullptr);
  ~TFormaFactura() override;

  // The program's session (it must outlive the screen): printing and companion programs
  // go through it. A screen given none makes one of its own over its settings.
  void ponSesion(session::Sesion& sesion) { sesion_ = &sesion; }

  CapturaVenta& motor() { return *motor_; }
  QAction* accion(const QString& nombre) const;
  // Re-reads the engine's state into every widget.
  virtual void pinta();

  // Commands (buttons, menu items and their keys).
  virtual void BotonNuevoClick();
  virtual void BotonGuardarClick();
  virtual void BotonImprimirClick();
  void BotonPreliminarClick();
  void BotonBuscarClick();
  void BotonCambiosClick();
  void BaseChange(const QString& texto);
  void EliminaPartida();          // F6
  void CapturaPorImporte();       // F7
  void BuscaProducto(bool porDescripcion = false);  // F1 (description), F2 (key)
  void RepiteUltimo();            // F3
  void Anterior();                // Ctrl+A
  void Siguiente();               // Ctrl+S
  void CambioPrecio1Click();      // Ctrl+P
  void CursorenCliente1Click();   // Ctrl+F2
  void ImprimeAtajo(int n);       // Ctrl+F1 .. Ctrl+F6
  void AsignaAtajo(int n);
  // A format chosen in the open dialog prints the document; the designer
  // opens on the document's own format.
  void Elegirformato1Click();
  void DisearFormato1Click();
  void VerFunciones1Click();
  void Divisas1Click();
  void Calculadora1Click();
  void Temas1Click();
  void VerCampoTara1Click();
  void Reportes1Click();
  void Eliminar1Click();
  void Cancelar1Click();
  // A code from the serial barcode reader: a scan into the sale being captured.
  void codigoLeido(const std::string& codigo);
  void ImprimiryAsignarCaja1Click();  // Pause: pay at this till and print
  void ConfigurarCaja1Click();
  void SalidasdeEfectivo1Click();
  void EntradasdeEfectivo1Click();
  void Generar(QAction* a);

  // The key list VerFunciones1Click shows.
  static std::string listaFunciones();

  // Called by the grid.
  void entraCelda(int fila, int columna, int filaAnterior, int columnaAnterior);
  void celdaEditada(int fila, int columna, const QString& texto);
  void avanzaCelda();  // Enter in the grid

 protected:
  bool eventFilter(QObject* objeto, QEvent* evento) override;
  void reject() override;
  // What the counter variant changes: the status line of an open document, and the
  // preview of a ticket at the receipt's width.
  virtual std::string textoEstadoAbierto() const;
  virtual bool vistaTicket() const { return false; }
  // The screen's own key before the common ones; true when it took it.
  virtual bool teclaPropia(int /*tecla*/, Qt::KeyboardModifiers /*mods*/) { return false; }

  struct Impresion;
  void creaMenus(QMenuBar* barra);
  void creaCuerpo();
  QAction* agrega(QMenu* menu, const char* nombre, const QString& texto,
                  std::function<void()> accion, bool marcable = false);
  QPushButton* boton(const char* nombre, const QString& texto, void (TFormaFactura::*accion)());
  // Runs a command: the grid's editor is confirmed first, the engine's table errors are
  // reported, and the screen is repainted afterwards.
  void orden(const std::function<void()>& accion);
  bool tecla(int tecla, Qt::KeyboardModifiers mods);
  void pintaRejilla();
  void ponCursor(int fila, int columna);
  void primeraPartida();
  // EditCantidad and CAMBIO_F: what they hold goes to the engine; false when refused.
  bool aplicaCantidad(bool alaRejilla);
  bool aplicaEfectivo();
  bool aplicaFecha();
  void ajustaColumnas();
  void muestraHora();
  void marcaOpcion(int linea, bool valor);  // "\encabeza.cnf"
  void marcaArchivo(const char* archivo, const char* accion);
  void programaRepinta();
  std::string rutaEncabeza() const;
  enum class ModoImpresion { Imprime, Preliminar, Atajo };
  printing::ResultadoDocumento imprime(ModoImpresion modo, int atajo = 0, std::string formato = {});
  void reporteCaja(const char* comando);
  void fuenteTotales(bool digital);

  AjustesVenta aj_;
  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  std::unique_ptr<DialogosVentaQt> dialogosQt_;
  DialogosVenta* dialogos_ = nullptr;
  std::unique_ptr<CapturaVenta> motor_;
  std::unique_ptr<PuertoSerieQt> puertoLector_;   // before the reader that reads it
  std::unique_ptr<LectorSerial> lector_;
  std::unique_ptr<Impresion> impresion_;
  session::Sesion* sesion_ = nullptr;
  std::unique_ptr<base::ProcesosPosix> procesosPropios_;
  std::unique_ptr<session::Sesion> sesionPropia_;
  session::Sesion& sesion();
  bool pintando_ = false;
  bool cantidadFueProducto_ = false;  // the quantity cell held a scan: the line is filled
  int columna_ = kCantidad;  // the grid column the cursor is put back on
  QTimer* repinta_ = nullptr;
  std::string tituloBase_;
  // Set for one print by a key-holder authorisation of a reprint: the print goes as the
  // administrator's.
  bool reimpresionAutorizada_ = false;

  std::map<QString, QAction*> acciones_;
  QComboBox* Base = nullptr;
  QLineEdit *EditCLDOC_F = nullptr, *EditCLCLI_F = nullptr, *EditCLVEN_F = nullptr,
            *EditFEDOC_F = nullptr, *EditDESFI_F = nullptr, *EditIMIM1_F = nullptr,
            *BCLIM_F = nullptr, *CTOVE_F = nullptr;
  QLabel *Nombre = nullptr, *Direccion = nullptr, *Direc2 = nullptr, *Poblacion = nullptr,
         *RFC = nullptr, *CodigoPostal = nullptr, *usuario = nullptr, *Hora = nullptr,
         *Label18 = nullptr, *EstadoCaptura = nullptr, *Estado = nullptr, *Impresa = nullptr,
         *SuCambio = nullptr, *SumarTotal = nullptr, *ImpuestoValor = nullptr,
         *TotalFact = nullptr, *LabelFPGC = nullptr, *LabelPartidas = nullptr,
         *LabelFactor = nullptr, *LabelEmpaque = nullptr, *Funciones = nullptr;
  RejillaPartidas* Detalle = nullptr;
  QLineEdit *EditCantidad = nullptr, *EditEmpaque = nullptr, *EditTARA = nullptr,
            *CAMBIO_F = nullptr;
  QComboBox* TipoPago = nullptr;
  QPushButton *BotonNuevo = nullptr, *BotonGuardar = nullptr, *BotonImprimir = nullptr,
              *BotonBuscar = nullptr, *BotonCambios = nullptr, *BotonPreliminar = nullptr;
};

}  // namespace mostrador::sales
