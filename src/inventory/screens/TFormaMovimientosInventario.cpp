#include "inventory/screens/TFormaMovimientosInventario.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QDate>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/fechas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "inventory/kardex.h"
#include "inventory/screens/TFormaAjustar.h"
#include "inventory/screens/TFormaConMovimiento.h"
#include "inventory/screens/TFormaCosteo.h"
#include "inventory/screens/ayuda_pantalla.h"
#include "inventory/screens/impresion_inventario.h"
#include "printing/tabla_dbf.h"
#include "store/dbf/dbf_table.h"
#include "store/unidad.h"
#include "ui/TFormaObservaciones.h"

namespace mostrador::inventory {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QString& t) { return t.trimmed().toStdString(); }
// Quantities with three decimals, money with two, as the shop reads them.
QString cifra(double v, int d) { return q(base::formateaMascara(v, d == 3 ? "###,##0.000" : "###,##0.00")); }

enum Columna { kClave, kDescripcion, kCantidad, kCosto, kPrecio, kImporte, kReferencia };
const QStringList kColumnas = {"CLAVE", "DESCRIPCION", "CANTIDAD", "COSTO", "PRECIO", "IMPORTE", "REFERENCIA"};

// A number cell as shown (thousands separated by commas) or as typed.
double celda(QTableWidget* t, int r, int c) {
  const QTableWidgetItem* i = t->item(r, c);
  return i ? base::leeNumero(s(QString(i->text()).remove(','))).value_or(0) : 0;
}

}  // namespace

TFormaMovimientosInventario::TFormaMovimientosInventario(AjustesMovimientos ajustes, base::Interaccion& ui,
                                                         const base::Reloj& reloj, std::function<bool(int)> derecho,
                                                         bool integrado, QWidget* parent)
    : QDialog(parent), aj_(std::move(ajustes)), ui_(ui), reloj_(reloj), derecho_(std::move(derecho)) {
  setObjectName("TFormaMovimientosInventario");
  setWindowTitle(integrado ? "Movimientos al Inventario" : "Movimientos al Inventario no Esta INTEGRADO ");
  resize(900, 560);
  auto* todo = new QVBoxLayout(this);
  auto* barra = new QMenuBar(this);
  barra->setObjectName("MainMenu1");
  todo->setMenuBar(barra);
  creaMenus(barra);

  auto* cabeza = new QFormLayout;
  auto edit = [this, cabeza](const char* nombre, const char* etiqueta) {
    auto* e = new QLineEdit(this);
    e->setObjectName(nombre);
    cabeza->addRow(etiqueta, e);
    return e;
  };
  numeroEdit_ = edit("EditCLDOC_MI", "Número");
  numeroEdit_->setReadOnly(true);
  fecha_ = edit("EditFEDOC_MI", "Fecha");
  tipo_ = edit("EditTIMOV_MI", "Tipo de Movimiento");
  concepto_ = new QLabel(this);
  concepto_->setObjectName("LabelConcepto");
  cabeza->addRow("", concepto_);
  contraparte_ = edit("EditCLCOP_MI", "Proveedor o Cliente");
  referencia_ = edit("EditREFMO_MI", "Referencia");
  almacen_ = new QSpinBox(this);
  almacen_->setObjectName("EditAlmacen");
  almacen_->setRange(1, 99);
  auto* filtroAlmacen = new QCheckBox("Sólo este almacén", this);
  filtroAlmacen->setObjectName("NoAlmacen");
  auto* filaAlmacen = new QHBoxLayout;
  filaAlmacen->addWidget(almacen_);
  filaAlmacen->addWidget(filtroAlmacen);
  cabeza->addRow("Almacén", filaAlmacen);
  connect(filtroAlmacen, &QCheckBox::toggled, this, [this](bool b) { NoAlmacenChange(b); });
  todo->addLayout(cabeza);
  connect(tipo_, &QLineEdit::editingFinished, this, [this] { EditTIMOV_MIExit(); });
  tipo_->installEventFilter(this);

  detalle_ = new QTableWidget(0, static_cast<int>(kColumnas.size()), this);
  detalle_->setObjectName("Detalle");
  detalle_->setHorizontalHeaderLabels(kColumnas);
  detalle_->verticalHeader()->setVisible(false);
  detalle_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  detalle_->setColumnWidth(kDescripcion, 280);
  detalle_->horizontalHeader()->setStretchLastSection(true);
  todo->addWidget(detalle_);
  connect(detalle_, &QTableWidget::cellChanged, this, [this](int r, int c) { DetalleColExit(r, c); });

  totales_ = new QLabel(this);
  totales_->setObjectName("LabelTotales");
  todo->addWidget(totales_);

  auto* botones = new QHBoxLayout;
  auto boton = [this, botones](const char* nombre, const char* texto, auto f) {
    auto* b = new QPushButton(texto, this);
    b->setObjectName(nombre);
    botones->addWidget(b);
    connect(b, &QPushButton::clicked, this, f);
    return b;
  };
  boton("BotonPrimero", "|<", [this] { navega(Paso::Primero); });
  boton("BotonAnterior", "<", [this] { navega(Paso::Anterior); });
  boton("BotonSiguiente", ">", [this] { navega(Paso::Siguiente); });
  boton("BotonUltimo", ">|", [this] { navega(Paso::Ultimo); });
  boton("BotonBuscar", "Buscar", [this] { BotonBuscarClick(); });
  boton("BotonImprimir", "Imprimir", [this] { BotonImprimirClick(); });
  boton("BotonPreliminar", "Preliminar", [this] { BotonPreliminarClick(); });
  boton("BotonObservacion", "Observaciones", [this] { BotonObservacionClick(); });
  nuevo_ = boton("BotonNuevo", "Nuevo", [this] { BotonNuevoClick(); });
  guardar_ = boton("BotonGuardar", "Guardar", [this] { BotonGuardarClick(); });
  guardar_->setEnabled(false);
  todo->addLayout(botones);

  // The screen opens on the last movement.
  try {
    if (auto n = movimientoVecino(aj_.dirCatalogo, 0, Paso::Ultimo)) muestra(*n);
  } catch (const dbf::Error&) {
    ui_.mensaje("Ha Ocurrido un Error al Abrir una de las Bases de Datos.");
  }
}

void TFormaMovimientosInventario::creaMenus(QMenuBar* barra) {
  auto accion = [this](QMenu* m, const char* nombre, const char* texto, auto f) {
    QAction* a = m->addAction(texto);
    a->setObjectName(nombre);
    connect(a, &QAction::triggered, this, f);
  };
  QMenu* mov = barra->addMenu("Movimientos");
  accion(mov, "CalculaCantidad1", "Calcula Cantidad", [this] { CalculaCantidad1Click(); });
  accion(mov, "VerMovimientos1", "Ver Movimientos (Kardex)", [this] { VerMovimientos1Click(); });
  accion(mov, "Eliminar1", "Eliminar", [this] { Eliminar1Click(); });
  accion(mov, "actualizainventario1", "Actualiza Inventario", [this] { actualizainventario1Click(); });
  accion(mov, "Etiquetas1", "Etiquetas", [this] { Etiquetas1Click(); });
  QMenu* ord = barra->addMenu("Ordenar");
  accion(ord, "PorProducto1", "Por Producto", [this] { ordena(OrdenMovimientos::Producto); });
  accion(ord, "PorNmerodeMovimiento1", "Por Número de Movimiento", [this] { ordena(OrdenMovimientos::Numero); });
  accion(ord, "PorFecha1", "Por Fecha", [this] { ordena(OrdenMovimientos::Fecha); });
  QMenu* imp = barra->addMenu("Importar");
  accion(imp, "LeerArchivoTexto1", "Leer Archivo de Texto", [this] { LeerArchivoTexto1Click(); });
  accion(imp, "ImportarArchivo1", "Importar Archivo de Movimientos", [this] { ImportarArchivo1Click(); });
  QMenu* aju = barra->addMenu("Ajustes");
  accion(aju, "AjustedeInventario1", "Ajuste de Inventario", [this] { AjustedeInventario1Click(); });
  QMenu* rep = barra->addMenu("Reportes");
  accion(rep, "Entradas1", "Entradas", [this] { reporte(ReporteMovimientos::Entradas); });
  accion(rep, "Salidas1", "Salidas", [this] { reporte(ReporteMovimientos::Salidas); });
  accion(rep, "GeneraldeMovimientos1", "General de Movimientos", [this] { reporte(ReporteMovimientos::General); });
  QMenu* ayuda = barra->addMenu("Ayuda");
  accion(ayuda, "Temas1", "Temas", [this] { Temas1Click(); });
}

void TFormaMovimientosInventario::limpia() {
  const QSignalBlocker b(detalle_);
  detalle_->setRowCount(0);
  totales_->clear();
}

void TFormaMovimientosInventario::muestra(long long n) {
  limpia();
  const std::vector<Movimiento> lineas = leeMovimiento(aj_.dirCatalogo, n);
  numero_ = n;
  registro_ = lineas.empty() ? 0 : lineas.front().registro;
  numeroEdit_->setText(QString::number(n));
  const QSignalBlocker b(detalle_);
  for (const Movimiento& m : lineas) {
    const int r = detalle_->rowCount();
    detalle_->insertRow(r);
    const QStringList c = {q(m.clave), q(m.descripcion), cifra(m.cantidad, 3), cifra(m.costo, 2),
                           cifra(m.precio, 2), cifra(importeLinea(m), 2), q(m.referencia)};
    for (int k = 0; k < c.size(); ++k) detalle_->setItem(r, k, new QTableWidgetItem(c[k]));
  }
  if (!lineas.empty()) {
    fecha_->setText(q(lineas.front().fecha));
    tipo_->setText(QString::number(lineas.front().tipo));
    contraparte_->setText(q(lineas.front().contraparte));
    referencia_->setText(q(lineas.front().referencia));
    if (!soloAlmacen_) almacen_->setValue(lineas.front().almacen.empty() ? 1 : std::atoi(lineas.front().almacen.c_str()));
    EditTIMOV_MIExit();
  }
}

void TFormaMovimientosInventario::navega(Paso paso) {
  if (captura_) return;
  try {
    auto p = movimientoEnOrden(aj_.dirCatalogo, {numero_.value_or(0), registro_}, paso, orden_);
    // With the warehouse filter, on to the next movement of that warehouse.
    const std::string almacen = std::to_string(almacen_->value());
    const Paso siguiente = paso == Paso::Primero ? Paso::Siguiente : paso == Paso::Ultimo ? Paso::Anterior : paso;
    while (p && soloAlmacen_) {
      const auto lineas = leeMovimiento(aj_.dirCatalogo, p->numero);
      if (!lineas.empty() && (lineas.front().almacen.empty() ? "1" : lineas.front().almacen) == almacen) break;
      p = movimientoEnOrden(aj_.dirCatalogo, *p, siguiente, orden_);
    }
    if (!p) return;
    const int elegido = almacen_->value();
    muestra(p->numero);
    if (soloAlmacen_) almacen_->setValue(elegido);
    if (p->registro) registro_ = p->registro;  // where the order stands, not the first line
  } catch (const dbf::Error&) {
    ui_.mensaje("Ha Ocurrido un Error al Abrir una de las Bases de Datos.");
  }
}

void TFormaMovimientosInventario::NoAlmacenChange(bool soloAlmacen) { soloAlmacen_ = soloAlmacen; }

void TFormaMovimientosInventario::ordena(OrdenMovimientos orden) {
  orden_ = orden;
  setWindowTitle(q(tituloOrden(orden)));
}

void TFormaMovimientosInventario::EditTIMOV_MIKeyDown() {
  std::vector<Concepto> c;
  try {
    c = leeConceptos(aj_.dirDatos);
  } catch (const dbf::Error&) {
    ui_.mensaje("Ha Ocurrido un Error al Abrir una de las Bases de Datos.");
    return;
  }
  TFormaConMovimiento f(c, this);
  if (f.exec() != QDialog::Accepted || !f.eleccion()) return;
  tipo_->setText(QString::number(*f.eleccion()));
  EditTIMOV_MIExit();
}

bool TFormaMovimientosInventario::eventFilter(QObject* o, QEvent* e) {
  if (o == tipo_ && e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F2) {
    EditTIMOV_MIKeyDown();
    return true;
  }
  return QDialog::eventFilter(o, e);
}

void TFormaMovimientosInventario::BotonNuevoClick() {
  if (derecho_ && !derecho_(35)) return;
  limpia();
  captura_ = true;
  numero_.reset();
  numeroEdit_->setText("");  // the number is taken when the movement is saved
  fecha_->setText(q(base::fechaCorta(reloj_.ahora().fecha)));
  tipo_->clear();
  concepto_->setText("No Definido");
  contraparte_->clear();
  referencia_->clear();
  almacen_->setValue(1);
  detalle_->setEditTriggers(QAbstractItemView::AllEditTriggers);
  detalle_->setRowCount(20);
  guardar_->setEnabled(true);
  nuevo_->setEnabled(false);
}

void TFormaMovimientosInventario::EditTIMOV_MIExit() {
  const std::string t = s(tipo_->text());
  if (t.empty()) {
    concepto_->setText("No Definido");
    return;
  }
  try {
    auto c = leeConcepto(aj_.dirDatos, static_cast<int>(base::leeNumero(t).value_or(0)));
    concepto_->setText(c ? q(c->descripcion) : QString("No Existe Tipo de Movimiento"));
  } catch (const dbf::Error&) {
    concepto_->setText("No Existe Tipo de Movimiento");
  }
}

QString TFormaMovimientosInventario::concepto() const { return concepto_->text(); }

void TFormaMovimientosInventario::DetalleColExit(int fila, int columna) {
  if (!captura_) return;
  const QSignalBlocker b(detalle_);
  auto pon = [this, fila](int c, const QString& v) {
    if (!detalle_->item(fila, c)) detalle_->setItem(fila, c, new QTableWidgetItem);
    detalle_->item(fila, c)->setText(v);
  };
  if (columna == kClave) {
    const std::string clave = detalle_->item(fila, kClave) ? s(detalle_->item(fila, kClave)->text()) : "";
    if (clave.empty()) return;
    std::optional<ProductoMovimiento> p;
    try {
      p = inventory::buscaProducto(aj_.dirCatalogo, clave);
    } catch (const dbf::Error&) {
    }
    if (!p) {
      ui_.mensaje(kProductoNoEncontrado);
      return;
    }
    pon(kClave, q(p->clave));
    pon(kDescripcion, q(p->descripcion));
    pon(kCosto, cifra(p->costo, 2));
    pon(kPrecio, cifra(p->precio, 2));
  }
  pon(kImporte, cifra(celda(detalle_, fila, kCantidad) * celda(detalle_, fila, kPrecio), 2));
}

void TFormaMovimientosInventario::agregaFila(const LineaMovimiento& l) {
  int r = 0;
  while (r < detalle_->rowCount() && detalle_->item(r, kClave) && !detalle_->item(r, kClave)->text().isEmpty()) ++r;
  if (r == detalle_->rowCount()) detalle_->insertRow(r);
  const QSignalBlocker b(detalle_);
  detalle_->setItem(r, kClave, new QTableWidgetItem(q(l.clave)));
  detalle_->setItem(r, kCantidad, new QTableWidgetItem(cifra(l.cantidad, 3)));
  if (auto p = inventory::buscaProducto(aj_.dirCatalogo, l.clave)) {
    detalle_->setItem(r, kDescripcion, new QTableWidgetItem(q(p->descripcion)));
    detalle_->setItem(r, kCosto, new QTableWidgetItem(cifra(l.costo ? l.costo : p->costo, 2)));
    detalle_->setItem(r, kPrecio, new QTableWidgetItem(cifra(p->precio, 2)));
  }
}

DocumentoMovimiento TFormaMovimientosInventario::documento() const {
  DocumentoMovimiento d;
  d.tipo = static_cast<int>(base::leeNumero(s(tipo_->text())).value_or(0));
  d.fecha = s(fecha_->text());
  d.contraparte = s(contraparte_->text());
  d.referencia = s(referencia_->text());
  d.almacen = std::to_string(almacen_->value());
  for (int r = 0; r < detalle_->rowCount(); ++r) {
    const QTableWidgetItem* c = detalle_->item(r, kClave);
    if (!c || c->text().trimmed().isEmpty()) continue;
    LineaMovimiento l;
    l.clave = s(c->text());
    l.cantidad = celda(detalle_, r, kCantidad);
    l.costo = celda(detalle_, r, kCosto);
    l.precio = celda(detalle_, r, kPrecio);
    if (const QTableWidgetItem* d2 = detalle_->item(r, kDescripcion)) l.descripcion = s(d2->text());
    if (const QTableWidgetItem* rf = detalle_->item(r, kReferencia)) l.referencia = s(rf->text());
    d.lineas.push_back(l);
  }
  return d;
}

bool TFormaMovimientosInventario::BotonGuardarClick() {
  if (!captura_) return false;
  if (s(tipo_->text()).empty()) {
    ui_.mensaje(kFaltaTipo);
    tipo_->clear();
    return false;
  }
  const ResultadoMovimiento r = guardaMovimiento(aj_, documento(), reloj_);
  if (!r.guardado) {
    ui_.mensaje(r.mensaje);
    return false;
  }
  captura_ = false;
  detalle_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  guardar_->setEnabled(false);
  nuevo_->setEnabled(true);
  muestra(r.numero);
  return true;
}

void TFormaMovimientosInventario::CalculaCantidad1Click() {
  const QTableWidgetItem* c = detalle_->currentItem() ? detalle_->item(detalle_->currentRow(), kClave)
                                                      : detalle_->item(0, kClave);
  if (!c) return;
  try {
    totales_->setText(q(totalesProducto(aj_, s(c->text())).linea));
  } catch (const dbf::Error&) {
    ui_.mensaje("No se Pueden Editar los Datos ha Ocurrido un Error");
  }
}

QString TFormaMovimientosInventario::lineaTotales() const { return totales_->text(); }

void TFormaMovimientosInventario::VerMovimientos1Click() {
  const int r = detalle_->currentRow() < 0 ? 0 : detalle_->currentRow();
  const QTableWidgetItem* c = detalle_->item(r, kClave);
  if (!c || c->text().isEmpty()) return;
  OpcionesKardex o;
  o.dirMovimientos = aj_.dirCatalogo;
  Kardex k;
  {
    base::Espera espera(ui_);
    k = kardexDiario(aj_.dirDatos, s(c->text()), o);
  }
  TFormaCosteo f(std::move(k), s(c->text()), ui_, this);
  f.exec();
}

void TFormaMovimientosInventario::AjustedeInventario1Click() {
  if (ui_.advertencia("Recuerde que el siguente Proceso es muy DELICADO Desea Continuar?...") !=
      base::RespuestaAdvertencia::Si)
    return;
  try {
    creaHojaAjuste(aj_);
  } catch (const dbf::Error&) {
    ui_.mensaje("Ha Ocurrido un Error al Abrir una de las Bases de Datos.");
    return;
  }
  TFormaAjustar f(aj_, ui_, reloj_, this);
  f.exec();
}

void TFormaMovimientosInventario::LeerArchivoTexto1Click() {
  if (!captura_) BotonNuevoClick();
  if (!captura_) return;
  // The directory and file proposed are the last ones used, kept in "\importa.cnf".
  const std::string sistema = dirSistema_.empty() ? sesion().directorioSistema() : dirSistema_;
  const std::string cnf = base::une(sistema, "importa.cnf");
  const auto guardado = base::leeLineas(cnf).value_or(std::vector<std::string>{});
  const std::string propuesta =
      guardado.size() >= 2 ? base::une(guardado[0], guardado[1]) : std::string();
  auto f = ui_.pideTexto("Leer Archivo de Texto", "Archivo", propuesta);
  if (!f || f->empty()) return;
  const size_t corte = f->find_last_of("\\/");
  base::escribeLineas(cnf, {corte == std::string::npos ? std::string() : f->substr(0, corte),
                            corte == std::string::npos ? *f : f->substr(corte + 1)});
  auto lineas = base::leeLineas(*f);
  if (!lineas) {
    ui_.mensaje("El Archivo " + *f + " No Existe");
    return;
  }
  for (const std::string& l : *lineas) {
    const size_t coma = l.find(',');
    if (coma == std::string::npos) continue;
    const auto cantidad = base::leeNumero(l.substr(coma + 1));
    if (!cantidad) continue;
    agregaFila({l.substr(0, coma), *cantidad, 0, 0, {}, {}});
  }
}

void TFormaMovimientosInventario::ImportarArchivo1Click() {
  // The directory is proposed from "\Exporta.cnf" (line 1); the file is always
  // "Movimientos.mov" in it.
  const std::string sistema = dirSistema_.empty() ? sesion().directorioSistema() : dirSistema_;
  auto d = ui_.pideTexto("Importar Movimientos", "Directorio",
                         base::leeLinea(base::une(sistema, "Exporta.cnf"), 1).value_or(""));
  if (!d) return;
  const std::optional<std::string> f = base::une(*d, "Movimientos.mov");
  auto lineas = base::leeLineas(*f);
  if (!lineas) {
    ui_.mensaje("No Existe ningun Movimiento...");
    return;
  }
  const LecturaImportacion l = leeArchivoMovimientos(*lineas, base::fechaCorta(reloj_.ahora().fecha));
  if (!l.errores.empty()) {
    std::string m;
    for (const std::string& e : l.errores) m += e + "\r";
    ui_.mensaje(m + "No se importó nada");
    return;
  }
  for (const DocumentoMovimiento& d : l.documentos) {
    const ResultadoMovimiento r = guardaMovimiento(aj_, d, reloj_);
    if (!r.guardado) {
      ui_.mensaje(r.mensaje);
      return;
    }
    muestra(r.numero);
  }
}

void TFormaMovimientosInventario::Eliminar1Click() {
  if (captura_ || !numero_) return;
  if (ui_.advertencia() != base::RespuestaAdvertencia::Si) return;
  try {
    dbf::Table t;
    t.open(aj_.dirCatalogo, kTablaMovimientos);
    t.setIndex("CLDOC_MI");
    t.setRange({static_cast<double>(*numero_)}, {static_cast<double>(*numero_)});
    std::vector<uint32_t> r;
    for (t.first(); !t.eof(); t.next()) r.push_back(t.recno());
    store::UnidadGuardado unidad({aj_.dirCatalogo});
    for (uint32_t x : r) {
      t.goTo(x);
      t.remove();
    }
    unidad.confirma();
  } catch (const dbf::Error&) {
    ui_.mensaje("No se Pueden Editar los Datos ha Ocurrido un Error");
    return;
  }
  limpia();
  navega(Paso::Ultimo);
}

void TFormaMovimientosInventario::BotonBuscarClick() {
  if (captura_) return;
  auto t = ui_.pideTexto("Buscar", "Por Documento (F1) o clave de producto", "");
  if (!t || t->empty()) return;
  if (t->find_first_not_of("0123456789") == std::string::npos) buscaDocumento(*t);
  else buscaProducto(*t);
}

void TFormaMovimientosInventario::buscaDocumento(const std::string& numero) {
  try {
    const long long n = std::stoll(numero);
    if (leeMovimiento(aj_.dirCatalogo, n).empty()) {
      ui_.mensaje(kErrorBusqueda);
      return;
    }
    muestra(n);
  } catch (const std::exception&) {
    ui_.mensaje(kErrorBusqueda);
  }
}

void TFormaMovimientosInventario::buscaProducto(const std::string& clave) {
  try {
    if (auto n = primerMovimientoDe(aj_.dirCatalogo, clave)) {
      muestra(*n);
      return;
    }
  } catch (const dbf::Error&) {
  }
  ui_.mensaje(kErrorBusqueda);
}

void TFormaMovimientosInventario::actualizainventario1Click() {
  if (captura_ || !numero_) return;
  try {
    repostaMovimiento(aj_, *numero_);
  } catch (const dbf::Error&) {
    ui_.mensaje("No se Pueden Editar los Datos ha Ocurrido un Error");
  }
}

session::Sesion& TFormaMovimientosInventario::sesion() {
  if (sesion_) return *sesion_;
  if (!sesionPropia_) {
    procesosPropios_ = std::make_unique<base::ProcesosPosix>();
    sesionPropia_ = std::make_unique<session::Sesion>(ui_, reloj_, *procesosPropios_);
    sesionPropia_->ponDirectorios(dirSistema_, aj_.dirDatos);
    sesionPropia_->ponUsuario(aj_.usuario);
  }
  return *sesionPropia_;
}

void TFormaMovimientosInventario::BotonImprimirClick() { imprime(false); }

void TFormaMovimientosInventario::BotonObservacionClick() {
  if (captura_ || !numero_) return;
  ui::TFormaObservaciones::edita(this, aj_.dirDatos, "MI", std::to_string(*numero_), ui_);
}

void TFormaMovimientosInventario::Etiquetas1Click() {
  if (captura_ || !numero_) return;
  const std::string sistema = dirSistema_.empty() ? sesion().directorioSistema() : dirSistema_;
  try {
    if (!escribeEtiquetas(sistema, leeMovimiento(aj_.dirCatalogo, *numero_), s(concepto_->text())))
      ui_.mensaje("No se pudo escribir " + base::une(sistema, "etiqmi.dat"));
  } catch (const dbf::Error&) {
    ui_.mensaje("Ha Ocurrido un Error al Abrir una de las Bases de Datos.");
  }
}
void TFormaMovimientosInventario::Temas1Click() {
  abreAyuda(ui_, dirSistema_.empty() ? sesion().directorioSistema() : dirSistema_, "movinv.rtf");
}
void TFormaMovimientosInventario::BotonPreliminarClick() { imprime(true); }

void TFormaMovimientosInventario::imprime(bool preliminar) {
  if (captura_ || !numero_) return;
  const std::string sistema = dirSistema_.empty() ? sesion().directorioSistema() : dirSistema_;
  const auto formato = eligeFormato(this, ui_, sistema, "movinven.for");
  if (!formato) return;
  try {
    // The movement's lines: its first as the header, all of them as the detail.
    dbf::Table encabezado, detalle;
    for (dbf::Table* t : {&encabezado, &detalle}) {
      t->open(aj_.dirCatalogo, kTablaMovimientos);
      t->setIndex("CLDOC_MI");
      t->setRange({static_cast<double>(*numero_)}, {static_cast<double>(*numero_)});
    }
    encabezado.first();
    printing::TablaDbf fuenteEncabezado(encabezado, aj_.dirCatalogo, kTablaMovimientos);
    printing::TablaDbf fuenteDetalle(detalle, aj_.dirCatalogo, kTablaMovimientos);
    imprimeFormato(this, sesion(), sistema, *formato, fuenteEncabezado, fuenteDetalle, aj_.usuario, preliminar);
  } catch (const dbf::Error&) {
    ui_.mensaje("Ha Ocurrido un Error al Abrir una de las Bases de Datos.");
  }
}

void TFormaMovimientosInventario::reporte(ReporteMovimientos r) {
  if (!reporte_) {
    ui_.mensaje("No se puede correr el reporte desde esta ventana");
    return;
  }
  reporte_(definicionReporteMovimientos(r, aj_.dirCatalogo));
}

void TFormaMovimientosInventario::closeEvent(QCloseEvent* e) {
  if (captura_) {
    switch (ui_.cerrar()) {
      case base::RespuestaCerrar::Guardar:
        if (!BotonGuardarClick()) {
          e->ignore();
          return;
        }
        break;
      case base::RespuestaCerrar::Descartar:
        captura_ = false;
        break;
      case base::RespuestaCerrar::Quedarse:
        e->ignore();
        return;
    }
  }
  QDialog::closeEvent(e);
}

}  // namespace mostrador::inventory
