#include "inventory/screens/TFormaCompras.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/fechas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "inventory/reportes_compras.h"
#include "inventory/screens/TFormaConProduct.h"
#include "inventory/screens/TFormaDescuentoCompra.h"
#include "inventory/screens/ayuda_pantalla.h"
#include "inventory/screens/impresion_inventario.h"
#include "printing/tabla_dbf.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::inventory {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }
std::string s(const QString& t) { return t.trimmed().toStdString(); }
QString cifra(double v, int d) { return q(base::formateaMascara(v, d == 3 ? "###,##0.000" : "###,##0.00")); }
double numeroDe(const QString& t) { return base::leeNumero(s(QString(t).remove(','))).value_or(0); }

const QStringList kTitulos = {"Clave",     "Producto",   "Cantidad",   "Cajas",   "Precio",        "Descuento",
                              "Descuento2", "Descuento3", "Importe",    "Impuesto", "PrecioCliente", "Caducidad"};
constexpr int kFilasCaptura = 20;
const char* kAyudaTeclas =
    "F2 Catalogos \rF3 Fecha del día\rF4 Cerrar\rCtrl+N Nuevo\rCtrl+G Guardar\rCtrl+M Modificar\rCtrl+B Buscar\rF1 "
    "Ayuda\r\r\r";

TFormaCompras::Pagos& pagosRegistrados() {
  static TFormaCompras::Pagos p;
  return p;
}
TFormaCompras::ConsultaProveedores& consultaRegistrada() {
  static TFormaCompras::ConsultaProveedores c;
  return c;
}

}  // namespace

void TFormaCompras::registraPagos(Pagos pagos) { pagosRegistrados() = std::move(pagos); }
void TFormaCompras::registraConsultaProveedores(ConsultaProveedores consulta) {
  consultaRegistrada() = std::move(consulta);
}

TFormaCompras::TFormaCompras(AjustesCompras ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                             std::function<bool(int)> derecho, QWidget* parent)
    : QDialog(parent), aj_(std::move(ajustes)), ui_(ui), reloj_(reloj), derecho_(std::move(derecho)) {
  setObjectName("TFormaCompras");
  setWindowTitle("Compras");
  resize(1000, 620);
  auto* todo = new QVBoxLayout(this);
  auto* barra = new QMenuBar(this);
  barra->setObjectName("MainMenu1");
  todo->setMenuBar(barra);
  creaMenus(barra);

  tipoDocumento_ = new QComboBox(this);
  tipoDocumento_->setObjectName("TipoDocumento");
  for (TipoCompra t : {TipoCompra::Recepcion, TipoCompra::Orden, TipoCompra::Devolucion})
    tipoDocumento_->addItem(q(nombreTipoCompra(t)));
  todo->addWidget(tipoDocumento_);
  connect(tipoDocumento_, &QComboBox::currentIndexChanged, this, [this](int i) { TipoDocumentoChange(i); });

  auto* cabeza = new QGridLayout;
  int fila = 0, col = 0;
  auto pon = [&](const char* etiqueta, QWidget* w) {
    cabeza->addWidget(new QLabel(etiqueta, this), fila, col * 2);
    cabeza->addWidget(w, fila, col * 2 + 1);
    if (++col == 3) {
      col = 0;
      ++fila;
    }
  };
  auto edit = [&](const char* nombre, const char* etiqueta) {
    auto* e = new QLineEdit(this);
    e->setObjectName(nombre);
    pon(etiqueta, e);
    return e;
  };
  auto etiqueta = [&](const char* nombre, const char* texto) {
    auto* l = new QLabel(this);
    l->setObjectName(nombre);
    pon(texto, l);
    return l;
  };
  numeroEdit_ = edit("EditCLDOC_O", "Número");
  proveedor_ = edit("EditCLPRV_O", "Proveedor");
  nombre_ = etiqueta("NOMBR_O", "Nombre");
  diasCreditoLabel_ = etiqueta("DCRED_P", "Días de Crédito");
  margen_ = etiqueta("POUTI_P", "Margen");
  estado_ = etiqueta("STDOC_O", "Estado");
  fecha_ = edit("EditFEDOC_O", "Fecha");
  recepcion_ = edit("EditFEREC_O", "Recepción");
  pago_ = edit("EditFEPAG_O", "Fecha de Pago");
  referencia_ = edit("EditREFER_O", "Referencia");
  descuento_ = edit("EditDTOTA_O", "Descuento %");
  moneda_ = edit("EditMONED_O", "Moneda");
  almacen_ = edit("EditAlmacen", "Almacén");
  noDesglosado_ = new QCheckBox("No Desglosado", this);
  noDesglosado_->setObjectName("NoDesglosado");
  pon("", noDesglosado_);
  todo->addLayout(cabeza);
  connect(proveedor_, &QLineEdit::editingFinished, this, [this] {
    if (enCaptura()) EditCLPRV_OExit();
  });
  connect(recepcion_, &QLineEdit::editingFinished, this, [this] {
    if (enCaptura()) EditFEREC_OExit();
  });
  connect(descuento_, &QLineEdit::editingFinished, this, [this] { pintaTotales(); });
  connect(noDesglosado_, &QCheckBox::toggled, this, [this] { pintaTotales(); });
  proveedor_->installEventFilter(this);

  detalle_ = new QTableWidget(0, kColumnas, this);
  detalle_->setObjectName("Detalle");
  detalle_->setHorizontalHeaderLabels(kTitulos);
  detalle_->verticalHeader()->setVisible(false);
  detalle_->setColumnWidth(kProducto, 260);
  detalle_->installEventFilter(this);
  todo->addWidget(detalle_);
  connect(detalle_, &QTableWidget::cellChanged, this, [this](int r, int c) { DetalleColExit(r, c); });

  auto* pie = new QHBoxLayout;
  auto total = [&](const char* nombre) {
    auto* l = new QLabel(this);
    l->setObjectName(nombre);
    pie->addWidget(l);
    return l;
  };
  subtotal_ = total("LabelSubtotal");
  impuesto_ = total("LabelImpuesto");
  total_ = total("LabelTotal");
  todo->addLayout(pie);

  auto* botones = new QHBoxLayout;
  auto boton = [this, botones](const char* nombre, const char* texto, auto f) {
    auto* b = new QPushButton(texto, this);
    b->setObjectName(nombre);
    b->setAutoDefault(false);
    botones->addWidget(b);
    connect(b, &QPushButton::clicked, this, f);
    return b;
  };
  nuevo_ = boton("BotonNuevo", "Nuevo", [this] { BotonNuevoClick(); });
  guardar_ = boton("BotonGuardar", "Guardar", [this] { BotonGuardarClick(); });
  cambios_ = boton("BotonCambios", "Modificar", [this] { BotonCambiosClick(); });
  boton("BotonBuscar", "Buscar", [this] { BotonBuscarClick(); });
  boton("BotonTotales", "Totales", [this] { BotonTotalesClick(); });
  boton("BotonImprimir", "Imprimir", [this] { BotonImprimirClick(); });
  boton("BotonPreliminar", "Preliminar", [this] { BotonPreliminarClick(); });
  pagos_ = boton("BotonPagos", "Pagos", [this] { BotonPagosClick(); });
  todo->addLayout(botones);
  limpia();
  editable(false);
}

TFormaCompras::~TFormaCompras() {
  // A proposed receipt that was never saved gives its reserved header back.
  if (modo_ == Modo::Nuevo && reservado_) {
    try {
      descartaPropuesta(aj_, tipo_, reservado_);
    } catch (const std::exception&) {
    }
  }
}

void TFormaCompras::creaMenus(QMenuBar* barra) {
  auto accion = [this](QMenu* m, const char* nombre, const char* texto, auto f) {
    QAction* a = m->addAction(texto);
    a->setObjectName(nombre);
    connect(a, &QAction::triggered, this, f);
  };
  QMenu* doc = barra->addMenu("Documento");
  accion(doc, "Recepcin1", "Recepción", [this] { Recepcin1Click(); });
  accion(doc, "Devolucin1", "Devolución de Compra", [this] { Devolucin1Click(); });
  accion(doc, "Cancelar1", "Cancelar", [this] { Cancelar1Click(); });
  accion(doc, "Eliminar1", "Eliminar", [this] { Eliminar1Click(); });
  QMenu* ped = barra->addMenu("Pedidos");
  accion(ped, "CompraSugerida1", "Compra Sugerida", [this] { CompraSugerida1Click(); });
  accion(ped, "OrdendeCompra1", "Orden de Compra Sugerida", [this] { OrdendeCompra1Click(); });
  accion(ped, "N1Descuento1", "Importar Pedido", [this] { N1Descuento1Click(); });
  accion(ped, "ChequeodeMovimientos1", "Chequeo de Movimientos", [this] { ChequeodeMovimientos1Click(); });
  QMenu* rep = barra->addMenu("Reportes");
  rep->setObjectName("Reportes1");
  for (const ComandoReporteCompra& c : reportesCompras()) {
    const std::string menu = c.menu;
    accion(rep, c.menu, c.caption, [this, menu] { reporte(menu); });
  }
  QMenu* ayuda = barra->addMenu("Ayuda");
  accion(ayuda, "Temas1", "Temas", [this] { Temas1Click(); });
}

std::string TFormaCompras::sistema() { return dirSistema_.empty() ? sesion().directorioSistema() : dirSistema_; }

session::Sesion& TFormaCompras::sesion() {
  if (sesion_) return *sesion_;
  if (!sesionPropia_) {
    procesosPropios_ = std::make_unique<base::ProcesosPosix>();
    sesionPropia_ = std::make_unique<session::Sesion>(ui_, reloj_, *procesosPropios_);
    sesionPropia_->ponDirectorios(dirSistema_, aj_.dirDatos);
    sesionPropia_->ponUsuario(aj_.usuario);
  }
  return *sesionPropia_;
}

bool TFormaCompras::opcion(const char* archivo) {
  return base::recortaBlancos(base::leeLinea(base::une(sistema(), archivo), 1).value_or("")) == "S";
}

// ---- showing ---------------------------------------------------------------------------------

void TFormaCompras::limpia() {
  const QSignalBlocker b(detalle_);
  detalle_->setRowCount(0);
  for (QLineEdit* e : {numeroEdit_, proveedor_, fecha_, recepcion_, pago_, referencia_, descuento_, moneda_, almacen_})
    e->clear();
  for (QLabel* l : {nombre_, diasCreditoLabel_, margen_, estado_, subtotal_, impuesto_, total_}) l->clear();
  noDesglosado_->setChecked(false);
  diasCredito_ = 0;
}

void TFormaCompras::editable(bool si) {
  for (QLineEdit* e : {numeroEdit_, proveedor_, fecha_, recepcion_, pago_, referencia_, descuento_, moneda_, almacen_})
    e->setReadOnly(!si);
  noDesglosado_->setEnabled(si);
  detalle_->setEditTriggers(si ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
  guardar_->setEnabled(si);
  nuevo_->setEnabled(!si);
  cambios_->setEnabled(!si && numero_.has_value());
  tipoDocumento_->setEnabled(!si);
}

void TFormaCompras::ponCelda(int fila, int columna, const QString& texto) {
  const QSignalBlocker b(detalle_);
  if (!detalle_->item(fila, columna)) detalle_->setItem(fila, columna, new QTableWidgetItem);
  detalle_->item(fila, columna)->setText(texto);
}

void TFormaCompras::agregaPartida(const PartidaCompra& p) {
  int r = 0;
  while (r < detalle_->rowCount() && detalle_->item(r, kClave) && !detalle_->item(r, kClave)->text().trimmed().isEmpty())
    ++r;
  if (r == detalle_->rowCount()) {
    const QSignalBlocker b(detalle_);
    detalle_->insertRow(r);
  }
  ponCelda(r, kClave, q(p.clave));
  ponCelda(r, kProducto, q(p.descripcion));
  ponCelda(r, kCantidad, cifra(p.cantidad, 3));
  ponCelda(r, kCajas, cifra(p.cajas, 3));
  ponCelda(r, kPrecio, cifra(p.costo, 2));
  ponCelda(r, kDescuento, cifra(p.descuento1, 2));
  ponCelda(r, kDescuento2, cifra(p.descuento2, 2));
  ponCelda(r, kDescuento3, cifra(p.descuento3, 2));
  ponCelda(r, kImporte, cifra(importePartida(p), 2));
  ponCelda(r, kImpuesto, cifra(p.impuesto, 2));
  ponCelda(r, kPrecioCliente, cifra(p.precioCliente, 2));
  ponCelda(r, kCaducidad, q(p.caducidad));
  pintaTotales();
}

bool TFormaCompras::muestra(long long n) {
  std::optional<CompraGuardada> c;
  try {
    c = leeCompra(aj_, tipo_, n);
  } catch (const std::exception&) {
    ui_.mensaje(kErrorAbrirCompra);
    return false;
  }
  if (!c) return false;
  limpia();
  const DocumentoCompra& d = c->documento;
  numero_ = n;
  numeroEdit_->setText(QString::number(n));
  proveedor_->setText(q(d.proveedor));
  nombre_->setText(q(c->nombre));
  fecha_->setText(q(d.fecha));
  recepcion_->setText(q(d.fechaRecepcion));
  pago_->setText(q(d.fechaPago));
  referencia_->setText(q(d.referencia));
  descuento_->setText(cifra(d.descuento, 2));
  moneda_->setText(q(d.moneda));
  almacen_->setText(q(d.almacen));
  noDesglosado_->setChecked(d.noDesglosado);
  estado_->setText(q(c->textoEstado));
  for (const PartidaCompra& p : d.partidas) agregaPartida(p);
  subtotal_->setText(q(textoImporte(c->totales.subtotal)));
  impuesto_->setText(q(textoImporte(c->totales.impuesto)));
  total_->setText(q(textoImporte(c->totales.total)));
  cambios_->setEnabled(modo_ == Modo::Consulta);
  return true;
}

DocumentoCompra TFormaCompras::documento() const {
  DocumentoCompra d;
  d.tipo = tipo_;
  d.proveedor = s(proveedor_->text());
  d.fecha = s(fecha_->text());
  d.fechaRecepcion = s(recepcion_->text());
  d.fechaPago = s(pago_->text());
  d.referencia = s(referencia_->text());
  d.moneda = s(moneda_->text());
  d.descuento = numeroDe(descuento_->text());  // a blank reads as 0
  d.noDesglosado = noDesglosado_->isChecked();
  d.almacen = s(almacen_->text()).empty() ? "1" : s(almacen_->text());
  const long long tecleado = static_cast<long long>(numeroDe(numeroEdit_->text()));
  // The proposed number is only a proposal: the save takes the next one of the counter.
  d.numero = modo_ == Modo::Nuevo && tecleado == propuesto_ ? 0 : tecleado;
  d.reservado = modo_ == Modo::Nuevo ? reservado_ : 0;
  auto texto = [this](int r, int c) {
    const QTableWidgetItem* i = detalle_->item(r, c);
    return i ? s(i->text()) : std::string();
  };
  auto cifraDe = [this](int r, int c) {
    const QTableWidgetItem* i = detalle_->item(r, c);
    return i ? numeroDe(i->text()) : 0.0;
  };
  for (int r = 0; r < detalle_->rowCount(); ++r) {
    if (texto(r, kClave).empty()) continue;
    PartidaCompra p;
    p.clave = texto(r, kClave);
    p.descripcion = texto(r, kProducto);
    p.cantidad = cifraDe(r, kCantidad);
    p.cajas = cifraDe(r, kCajas);
    p.costo = cifraDe(r, kPrecio);
    p.descuento1 = cifraDe(r, kDescuento);
    p.descuento2 = cifraDe(r, kDescuento2);
    p.descuento3 = cifraDe(r, kDescuento3);
    p.impuesto = cifraDe(r, kImpuesto);
    p.precioCliente = cifraDe(r, kPrecioCliente);
    p.caducidad = texto(r, kCaducidad);
    d.partidas.push_back(p);
  }
  return d;
}

void TFormaCompras::pintaTotales() {
  const TotalesCompra t = totalesCompra(documento(), aj_.preciosConImpuesto);
  subtotal_->setText(q(textoImporte(t.subtotal)));
  impuesto_->setText(q(textoImporte(t.impuesto)));
  total_->setText(q(textoImporte(t.total)));
}

void TFormaCompras::BotonTotalesClick() {
  if (enCaptura()) pintaTotales();
}

// ---- kinds -------------------------------------------------------------------------------------

void TFormaCompras::TipoDocumentoChange(int indice) {
  if (enCaptura()) return;
  tipo_ = indice == 1 ? TipoCompra::Orden : indice == 2 ? TipoCompra::Devolucion : TipoCompra::Recepcion;
  numero_.reset();
  limpia();
  editable(false);
}

void TFormaCompras::Recepcin1Click() {
  if (!enCaptura()) tipoDocumento_->setCurrentIndex(0);
}
void TFormaCompras::Devolucin1Click() {
  if (!enCaptura()) tipoDocumento_->setCurrentIndex(2);
}

// ---- capture -------------------------------------------------------------------------------------

void TFormaCompras::BotonNuevoClick() {
  if (enCaptura()) return;
  if (derecho_ && !derecho_(23)) return;
  Propuesta p;
  try {
    p = proponeNumero(aj_, tipo_);
  } catch (const std::exception&) {
    ui_.mensaje(kErrorAbrirCompra);
    return;
  }
  limpia();
  modo_ = Modo::Nuevo;
  numero_.reset();
  propuesto_ = p.numero;
  reservado_ = p.reservado;
  numeroEdit_->setText(QString::number(p.numero));
  fecha_->setText(q(base::fechaCorta(reloj_.ahora().fecha)));
  almacen_->setText("1");
  estado_->setText("Activa");
  {
    const QSignalBlocker b(detalle_);
    detalle_->setRowCount(kFilasCaptura);
  }
  editable(true);
  pintaTotales();
  proveedor_->setFocus();
}

void TFormaCompras::BotonCambiosClick() {
  if (enCaptura() || !numero_) return;
  if (derecho_ && !derecho_(25)) return;
  if (estado_->text() == "Cancelada") {
    ui_.mensaje(kYaCancelado);
    return;
  }
  modo_ = Modo::Cambios;
  {
    const QSignalBlocker b(detalle_);
    detalle_->setRowCount(std::max(detalle_->rowCount() + 5, kFilasCaptura));
  }
  editable(true);
  numeroEdit_->setReadOnly(true);  // the document keeps its number
}

void TFormaCompras::EditCLPRV_OExit() {
  const std::string clave = s(proveedor_->text());
  if (clave.empty()) return;
  std::optional<ProveedorCompra> p;
  try {
    p = buscaProveedor(aj_, clave);
  } catch (const std::exception&) {
    ui_.mensaje(kErrorAbrirCompra);
    return;
  }
  if (!p) {
    nombre_->clear();
    diasCreditoLabel_->clear();
    margen_->clear();
    diasCredito_ = 0;
    ui_.mensaje(kProveedorNoExiste);
    return;
  }
  proveedor_->setText(q(p->clave));
  nombre_->setText(q(p->nombre));
  diasCredito_ = p->diasCredito;
  diasCreditoLabel_->setText(QString::number(p->diasCredito));
  margen_->setText(cifra(p->margen, 2));
}

void TFormaCompras::EditCLPRV_OKeyDown() {
  if (!enCaptura() || !consultaRegistrada()) return;
  const auto clave = consultaRegistrada()(this, aj_.dirDatos, s(proveedor_->text()));
  if (!clave) return;
  proveedor_->setText(q(*clave));
  EditCLPRV_OExit();
}

void TFormaCompras::EditFEREC_OExit() {
  const std::string recepcion = s(recepcion_->text());
  if (recepcion.empty() || !base::leeFechaCorta(recepcion)) return;
  pago_->setText(q(fechaPagoPropuesta(recepcion, diasCredito_)));
}

void TFormaCompras::DetalleColExit(int fila, int columna) {
  if (!enCaptura()) return;
  auto texto = [this, fila](int c) {
    const QTableWidgetItem* i = detalle_->item(fila, c);
    return i ? s(i->text()) : std::string();
  };
  auto cifraDe = [this, fila](int c) {
    const QTableWidgetItem* i = detalle_->item(fila, c);
    return i ? numeroDe(i->text()) : 0.0;
  };
  const std::string clave = texto(kClave);
  if (clave.empty()) return;
  if (columna == kClave) {
    // Typed quantity (or packages) before the key counts; otherwise one.
    double cantidad = aj_.porEmpaque ? cifraDe(kCajas) : cifraDe(kCantidad);
    if (cantidad <= 0) cantidad = 1;
    EntradaPartida e;
    try {
      e = capturaPartida(aj_, clave, cantidad);
    } catch (const std::exception&) {
      ui_.mensaje(kErrorAbrirCompra);
      return;
    }
    if (!e.partida) {
      ui_.mensaje(e.mensaje);
      return;
    }
    PartidaCompra p = *e.partida;
    ponCelda(fila, kClave, q(p.clave));
    ponCelda(fila, kProducto, q(p.descripcion));
    ponCelda(fila, kCantidad, cifra(p.cantidad, 3));
    ponCelda(fila, kCajas, cifra(p.cajas, 3));
    ponCelda(fila, kPrecio, cifra(p.costo, 2));
    ponCelda(fila, kImpuesto, cifra(p.impuesto, 2));
    ponCelda(fila, kPrecioCliente, cifra(p.precioCliente, 2));
    for (int c : {kDescuento, kDescuento2, kDescuento3})
      if (texto(c).empty()) ponCelda(fila, c, cifra(0, 2));
    if (opcion("DescCompra.cnf") && (!derecho_ || derecho_(23))) {
      TFormaDescuentoCompra f(sistema(), this);
      if (f.exec() == QDialog::Accepted) {
        const auto d = f.descuentos();
        ponCelda(fila, kDescuento, cifra(d[0], 2));
        ponCelda(fila, kDescuento2, cifra(d[1], 2));
        ponCelda(fila, kDescuento3, cifra(d[2], 2));
      }
    }
  } else if (columna == kCajas && aj_.porEmpaque) {
    try {
      if (auto p = buscaProductoCompra(aj_, clave)) ponCelda(fila, kCantidad, cifra(cifraDe(kCajas) * p->empaque, 3));
    } catch (const std::exception&) {
    }
  }
  PartidaCompra p;
  p.cantidad = cifraDe(kCantidad);
  p.costo = cifraDe(kPrecio);
  p.descuento1 = cifraDe(kDescuento);
  p.descuento2 = cifraDe(kDescuento2);
  p.descuento3 = cifraDe(kDescuento3);
  ponCelda(fila, kImporte, cifra(importePartida(p), 2));
  pintaTotales();
}

void TFormaCompras::DetalleKeyDown() {
  if (!enCaptura()) return;
  int r = detalle_->currentRow();
  if (r < 0) r = 0;
  if (r >= detalle_->rowCount()) return;
  const QTableWidgetItem* i = detalle_->item(r, kClave);
  const auto clave = TFormaConProduct::consulta(this, aj_.dirCatalogo, sistema(), i ? s(i->text()) : std::string());
  if (!clave) return;
  if (!detalle_->item(r, kClave)) detalle_->setItem(r, kClave, new QTableWidgetItem);
  detalle_->item(r, kClave)->setText(q(*clave));  // cellChanged fills the line
}

// ---- saving -------------------------------------------------------------------------------------

void TFormaCompras::terminaCaptura() {
  modo_ = Modo::Consulta;
  reservado_ = 0;
  propuesto_ = 0;
  editable(false);
}

bool TFormaCompras::BotonGuardarClick() {
  if (!enCaptura()) return false;
  if (s(numeroEdit_->text()).empty()) {
    ui_.mensaje(kFaltaNumero);
    return false;
  }
  DocumentoCompra d = documento();
  // "RefCxP.cnf": the payable's reference is asked when the receipt has none.
  if (tipo_ == TipoCompra::Recepcion && d.referencia.empty() && opcion("RefCxP.cnf")) {
    const auto ref = ui_.pideTexto("Cuentas por Pagar", "Referencia", "");
    if (!ref) return false;
    d.referencia = base::recortaBlancos(*ref);
    referencia_->setText(q(d.referencia));
  }
  aj_.conservaPrecio = opcion("opc_com.cnf");
  ResultadoCompra r;
  try {
    base::Espera espera(ui_);
    r = modo_ == Modo::Cambios ? modificaCompra(aj_, *numero_, d, reloj_) : guardaCompra(aj_, d, reloj_);
  } catch (const std::exception&) {
    r.mensaje = kErrorGuardarCompra;
  }
  if (!r.hecho) {
    ui_.mensaje(r.mensaje);
    return false;
  }
  terminaCaptura();
  muestra(r.numero);
  return true;
}

void TFormaCompras::Cancelar1Click() {
  if (enCaptura() || !numero_) return;
  ResultadoCompra r;
  try {
    r = cancelaCompra(
        aj_, tipo_, *numero_,
        [this](std::string_view pregunta) { return ui_.advertencia(pregunta) == base::RespuestaAdvertencia::Si; },
        reloj_);
  } catch (const std::exception&) {
    r.mensaje = kErrorGuardarCompra;
  }
  if (!r.hecho) {
    if (!r.mensaje.empty()) ui_.mensaje(r.mensaje);
    return;
  }
  muestra(*numero_);
}

void TFormaCompras::Eliminar1Click() {
  if (enCaptura() || !numero_) return;
  ResultadoCompra r;
  try {
    r = eliminaCompra(aj_, tipo_, *numero_, [this](std::string_view pregunta) {
      return ui_.advertencia(pregunta) == base::RespuestaAdvertencia::Si;
    });
  } catch (const std::exception&) {
    r.mensaje = kErrorGuardarCompra;
  }
  if (!r.hecho) {
    if (!r.mensaje.empty()) ui_.mensaje(r.mensaje);
    return;
  }
  numero_.reset();
  limpia();
  editable(false);
}

void TFormaCompras::BotonPagosClick() {
  if (enCaptura() || !numero_ || tipo_ != TipoCompra::Recepcion) return;
  if (derecho_ && !derecho_(6)) return;
  if (!pagosRegistrados()) {
    ui_.mensaje("No se pueden consultar los pagos desde esta ventana");
    return;
  }
  pagosRegistrados()(this, aj_.dirDatos, *numero_);
  muestra(*numero_);  // the payments change what is owed
}

// ---- suggested orders and imports ----------------------------------------------------------------

void TFormaCompras::CompraSugerida1Click() {
  if (!enCaptura()) BotonNuevoClick();
  if (!enCaptura()) return;
  Sugerido su;
  try {
    su = pedidoSugerido(aj_, s(proveedor_->text()), false);
  } catch (const std::exception&) {
    su.mensaje = kNoSeGeneraPedido;
  }
  if (!su.mensaje.empty()) {
    ui_.mensaje(su.mensaje);
    return;
  }
  for (const PartidaCompra& p : su.partidas) agregaPartida(p);
}

void TFormaCompras::OrdendeCompra1Click() {
  if (!enCaptura()) BotonNuevoClick();
  if (!enCaptura()) return;
  Sugerido su;
  try {
    su = pedidoSugerido(aj_, s(proveedor_->text()), true);
  } catch (const std::exception&) {
    su.mensaje = kNoSeGeneraPedido;
  }
  if (!su.mensaje.empty()) {
    ui_.mensaje(su.mensaje);
    return;
  }
  for (const PartidaCompra& p : su.partidas) agregaPartida(p);
}

void TFormaCompras::N1Descuento1Click() {
  if (tipo_ != TipoCompra::Orden) return;
  if (!enCaptura()) BotonNuevoClick();
  if (!enCaptura()) return;
  // The directory is proposed from the last import.
  const std::string cnf = base::une(sistema(), "importa_comp.cnf");
  auto f = ui_.pideTexto("Importar Pedido", "Archivo", base::leeLinea(cnf, 1).value_or(""));
  if (!f || f->empty()) return;
  const size_t corte = f->find_last_of("\\/");
  base::escribeLineas(cnf, {corte == std::string::npos ? std::string() : f->substr(0, corte + 1)});
  const auto lineas = base::leeLineas(*f);
  if (!lineas) {
    ui_.mensaje(kSinInformacion);
    return;
  }
  LecturaPedido l;
  try {
    l = importaPedido(aj_, *lineas);
  } catch (const std::exception&) {
    ui_.mensaje(kErrorAbrirCompra);
    return;
  }
  if (!l.errores.empty()) {
    std::string m;
    for (const std::string& e : l.errores) m += e + "\r";
    ui_.mensaje(m + "Oprima Enter para continuar...");
  }
  for (const PartidaCompra& p : l.partidas) agregaPartida(p);
}

// ---- search, print, help ----------------------------------------------------------------------------

void TFormaCompras::BotonBuscarClick() {
  if (enCaptura()) return;
  // By number ("Compras Ordenado por Clave") or by the supplier's key ("Compras Ordenado
  // por Nombre").
  const auto b = ui_.busca(false);
  if (!b || b->texto.empty()) return;
  std::optional<long long> n;
  try {
    if (b->campo == base::CampoBusqueda::Clave) {
      if (const auto x = base::leeNumero(b->texto)) n = static_cast<long long>(*x);
    } else {
      n = buscaCompraPorProveedor(aj_, tipo_, b->texto);
    }
  } catch (const std::exception&) {
    ui_.mensaje(kErrorAbrirCompra);
    return;
  }
  if (!n || !muestra(*n)) ui_.mensaje("Valor no Válido");
}

void TFormaCompras::reporte(const std::string& menu) {
  if (enCaptura()) return;
  if (derecho_ && !derecho_(45)) return;  // a silent right
  const auto d = reporteCompras(menu, aj_.dirDatos, tipo_);
  if (!d) return;
  if (!reporte_) {
    ui_.mensaje("El módulo Reportes no está disponible todavía");
    return;
  }
  reporte_(*d);
}

void TFormaCompras::ChequeodeMovimientos1Click() {
  if (enCaptura()) return;
  Reposteo r;
  {
    base::Espera espera(ui_);
    r = repostaCompras(aj_, sistema());
  }
  ui_.mensaje(r.mensaje);
}

void TFormaCompras::BotonImprimirClick() { imprime(false); }
void TFormaCompras::BotonPreliminarClick() { imprime(true); }

void TFormaCompras::imprime(bool preliminar) {
  if (enCaptura() || !numero_) return;
  const std::string dir = sistema();
  const auto formato = eligeFormato(this, ui_, dir, "comprase.for");
  if (!formato) return;
  try {
    dbf::Table encabezado, detalle;
    encabezado.open(aj_.dirDatos, tablaEncabezadoCompra(tipo_));
    encabezado.setIndex("ICOMENC");
    encabezado.setRange({static_cast<double>(*numero_)}, {static_cast<double>(*numero_)});
    encabezado.first();
    detalle.open(aj_.dirDatos, tablaDetalleCompra(tipo_));
    detalle.setIndex("ICOMDET");
    detalle.setRange({std::to_string(*numero_)}, {std::to_string(*numero_)});
    // The label formats read the document from the label files.
    if (const auto c = leeCompra(aj_, tipo_, *numero_)) escribeEtiquetasCompra(sistema(), *c);
    printing::TablaDbf fuenteEncabezado(encabezado, aj_.dirDatos, tablaEncabezadoCompra(tipo_));
    printing::TablaDbf fuenteDetalle(detalle, aj_.dirDatos, tablaDetalleCompra(tipo_));
    imprimeFormato(this, sesion(), dir, *formato, fuenteEncabezado, fuenteDetalle, aj_.usuario, preliminar);
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorAbrirCompra);
  }
}

void TFormaCompras::Temas1Click() { abreAyuda(ui_, sistema(), "compras.rtf"); }

// ---- keys and closing ---------------------------------------------------------------------------------

bool TFormaCompras::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F2) {
    if (o == proveedor_) {
      EditCLPRV_OKeyDown();
      return true;
    }
    if (o == detalle_) {
      DetalleKeyDown();
      return true;
    }
  }
  return QDialog::eventFilter(o, e);
}

void TFormaCompras::keyPressEvent(QKeyEvent* e) {
  const bool ctrl = e->modifiers() & Qt::ControlModifier;
  if (ctrl && e->key() == Qt::Key_N) BotonNuevoClick();
  else if (ctrl && e->key() == Qt::Key_G) BotonGuardarClick();
  else if (ctrl && e->key() == Qt::Key_M) BotonCambiosClick();
  else if (ctrl && e->key() == Qt::Key_B) BotonBuscarClick();
  else if (e->key() == Qt::Key_F1) ui_.mensaje(kAyudaTeclas);
  else if (e->key() == Qt::Key_F3 && enCaptura()) {
    QWidget* w = focusWidget();
    if (w == fecha_ || w == recepcion_ || w == pago_)
      static_cast<QLineEdit*>(w)->setText(q(base::fechaCorta(reloj_.ahora().fecha)));
  } else if (e->key() == Qt::Key_F4) close();
  else QDialog::keyPressEvent(e);
}

void TFormaCompras::closeEvent(QCloseEvent* e) {
  if (enCaptura()) {
    switch (ui_.cerrar()) {
      case base::RespuestaCerrar::Guardar:
        if (!BotonGuardarClick()) {
          e->ignore();
          return;
        }
        break;
      case base::RespuestaCerrar::Descartar:
        if (modo_ == Modo::Nuevo && reservado_) {
          try {
            descartaPropuesta(aj_, tipo_, reservado_);
          } catch (const std::exception&) {
          }
        }
        terminaCaptura();
        if (numero_) muestra(*numero_);
        else limpia();
        break;
      case base::RespuestaCerrar::Quedarse:
        e->ignore();
        return;
    }
  }
  QDialog::closeEvent(e);
}

}  // namespace mostrador::inventory
