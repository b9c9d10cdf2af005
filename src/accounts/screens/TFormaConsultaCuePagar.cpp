#include "accounts/screens/TFormaConsultaCuePagar.h"
#include "ui/impresora_qt.h"
#include "reports/hoja_reporte.h"
#include "reports/screens/hoja_qt.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QTableView>
#include <QVBoxLayout>

#include "accounts/reportes_proveedores.h"
#include "accounts/screens/TFormaCxPDetalle.h"
#include "base/fechas.h"
#include "base/numeros.h"
#include "base/texto_util.h"
#include "store/dbf/dbf_table.h"
#include "ui/modelo_filas.h"

namespace mostrador::accounts {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

constexpr const char* kMascara = "###,###,##0.00";
constexpr const char* kNoAbre = "Ha Ocurrido un Error al Abrir una de las Bases de Datos.";
constexpr const char* kPorClave = "Consulta Cobranza Ordenado por Clave";
constexpr const char* kPorNombre = "Consulta Cobranza Ordenado por Nombre";

QTableView* rejilla(QWidget* padre, const char* nombre, ui::ModeloFilas* modelo) {
  auto* r = new QTableView(padre);
  r->setObjectName(nombre);
  r->setModel(modelo);
  r->verticalHeader()->setVisible(false);
  r->setSelectionBehavior(QAbstractItemView::SelectRows);
  r->setSelectionMode(QAbstractItemView::SingleSelection);
  r->setEditTriggers(QAbstractItemView::NoEditTriggers);
  return r;
}

}  // namespace

TFormaConsultaCuePagar::TFormaConsultaCuePagar(std::string dirDatos, base::Interaccion& ui, const base::Reloj& reloj,
                                               QWidget* padre)
    : QDialog(padre), dirDatos_(std::move(dirDatos)), ui_(ui), reloj_(reloj) {
  setObjectName("TFormaConsultaCuePagar");
  resize(900, 600);
  auto* l = new QVBoxLayout(this);
  auto* barra = new QMenuBar(this);
  barra->setObjectName("MainMenu1");
  l->setMenuBar(barra);
  QMenu* archivo = barra->addMenu("&Archivo");
  auto accion = [this](QMenu* m, const char* nombre, const QString& texto, std::function<void()> f) {
    QAction* a = m->addAction(texto);
    a->setObjectName(nombre);
    connect(a, &QAction::triggered, this, std::move(f));
  };
  accion(archivo, "Buscar1", "Buscar", [this] { BotonBuscarClick(); });
  accion(archivo, "ActualizalosSaldos1", "Actualiza los Saldos", [this] { ActualizalosSaldos1Click(); });
  accion(archivo, "ImprimeRango1", "Estado de Cuenta Detallado", [this] { ImprimeRango1Click(); });
  QMenu* reportes = barra->addMenu("&Reportes");
  for (const auto& c : reportesCuentasPorPagar())
    accion(reportes, c.menu, q(c.caption), [this, m = std::string(c.menu)] { reporte(m); });

  auto* filtros = new QHBoxLayout;
  comboFiltro_ = new QComboBox(this);
  comboFiltro_->setObjectName("Filtro");
  comboFiltro_->addItems({"Solo con Saldo", "Todos"});
  comboMoneda_ = new QComboBox(this);
  comboMoneda_->setObjectName("Moneda");
  comboMoneda_->setEditable(true);
  comboMoneda_->addItems({"", "M.N.", "USD"});
  filtros->addWidget(new QLabel("Documentos", this));
  filtros->addWidget(comboFiltro_);
  filtros->addWidget(new QLabel("Moneda", this));
  filtros->addWidget(comboMoneda_);
  filtros->addStretch(1);
  l->addLayout(filtros);

  modeloProveedores_ = new ui::ModeloFilas({"Clave", "Nombre", "Cargos", "Abonos", "Saldo"}, this);
  rejillaProveedores_ = rejilla(this, "DBGrid1", modeloProveedores_);
  l->addWidget(rejillaProveedores_, 1);
  modeloCompras_ = new ui::ModeloFilas(
      {"Compra", "Fecha", "Vencimiento", "Referencia", "Moneda", "Estado", "Importe", "Abonos", "Saldo"}, this);
  rejillaCompras_ = rejilla(this, "DBGrid2", modeloCompras_);
  l->addWidget(rejillaCompras_, 1);

  auto* totales = new QHBoxLayout;
  auto etiqueta = [&](const char* nombre) {
    auto* e = new QLabel(this);
    e->setObjectName(nombre);
    totales->addWidget(e);
    return e;
  };
  nombre_ = etiqueta("Nombre");
  cargos_ = etiqueta("Cargos");
  abonos_ = etiqueta("Abonos");
  saldo_ = etiqueta("Saldo");
  l->addLayout(totales);

  connect(rejillaProveedores_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& i) {
            if (!cargando_ && i.isValid()) eligeProveedor(i.row());
          });
  connect(rejillaCompras_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) { abreDetalle(i.row()); });
  auto cambiaFiltro = [this] {
    ponFiltro(comboFiltro_->currentIndex() == 1 ? FiltroConsulta::Todos : FiltroConsulta::ConSaldo,
              comboMoneda_->currentText().toStdString());
  };
  connect(comboFiltro_, &QComboBox::currentIndexChanged, this, cambiaFiltro);
  connect(comboMoneda_, &QComboBox::currentTextChanged, this, cambiaFiltro);
  cargaProveedores();
}

std::string TFormaConsultaCuePagar::claveActual() const {
  return fila_ >= 0 && static_cast<size_t>(fila_) < claves_.size() ? claves_[static_cast<size_t>(fila_)] : std::string();
}

void TFormaConsultaCuePagar::cargaProveedores(const std::string& clave) {
  setWindowTitle(porNombre_ ? kPorNombre : kPorClave);
  claves_.clear();
  nombres_.clear();
  std::vector<QStringList> filas;
  int elegida = 0;
  try {
    dbf::Table t;
    t.open(dirDatos_, kTablaProveedores);
    t.setIndex(porNombre_ ? "NOMBR_P" : "ICLAPRO");
    for (t.first(); !t.eof(); t.next()) {
      const std::string k = t.asText("CLAVE_P");
      if (!clave.empty() && base::recorta(k) == base::recorta(clave)) elegida = static_cast<int>(claves_.size());
      claves_.push_back(k);
      nombres_.push_back(t.asText("NOMBR_P"));
      filas.push_back({q(k), q(t.asText("NOMBR_P")), q(base::formateaMascara(t.asFloat("CARGO_P"), kMascara)),
                       q(base::formateaMascara(t.asFloat("ABONO_P"), kMascara)),
                       q(base::formateaMascara(t.asFloat("SALDO_P"), kMascara))});
    }
  } catch (const dbf::Error&) {
    ui_.mensaje(kNoAbre);
  }
  cargando_ = true;
  modeloProveedores_->ponFilas(std::move(filas));
  cargando_ = false;
  fila_ = -1;
  if (claves_.empty()) {
    pintaCompras();
    return;
  }
  eligeProveedor(elegida);
}

void TFormaConsultaCuePagar::eligeProveedor(int fila) {
  if (fila < 0 || static_cast<size_t>(fila) >= claves_.size()) return;
  fila_ = fila;
  cargando_ = true;
  rejillaProveedores_->setCurrentIndex(modeloProveedores_->index(fila, 0));
  cargando_ = false;
  // The supplier's totals from all its live receipts; what the filter shows is apart.
  if (const auto t = guardaTotalesProveedor(dirDatos_, claves_[static_cast<size_t>(fila)], ui_)) {
    cargando_ = true;
    auto filas = std::vector<QStringList>();
    for (int r = 0; r < modeloProveedores_->rowCount(); ++r) filas.push_back(modeloProveedores_->fila(r));
    filas[static_cast<size_t>(fila)][2] = q(base::formateaMascara(t->cargos, kMascara));
    filas[static_cast<size_t>(fila)][3] = q(base::formateaMascara(t->abonos, kMascara));
    filas[static_cast<size_t>(fila)][4] = q(base::formateaMascara(t->saldo, kMascara));
    modeloProveedores_->ponFilas(std::move(filas));
    rejillaProveedores_->setCurrentIndex(modeloProveedores_->index(fila, 0));
    cargando_ = false;
  }
  pintaCompras();
}

void TFormaConsultaCuePagar::ponFiltro(FiltroConsulta f, const std::string& moneda) {
  filtro_ = f;
  moneda_ = base::recorta(moneda);
  pintaCompras();
}

void TFormaConsultaCuePagar::pintaCompras() {
  mostradas_.clear();
  const std::string clave = claveActual();
  if (!clave.empty()) {
    try {
      mostradas_ = comprasProveedor(dirDatos_, clave, filtro_, moneda_);
    } catch (const dbf::Error&) {
      ui_.mensaje(kNoAbre);
    }
  }
  std::vector<QStringList> filas;
  for (const CompraPorPagar& c : mostradas_)
    filas.push_back({q(c.documento), q(c.fecha), q(c.vence), q(c.referencia), q(c.moneda), q(c.estado),
                     q(base::formateaMascara(c.importe, kMascara)), q(base::formateaMascara(c.abono, kMascara)),
                     q(base::formateaMascara(c.saldo, kMascara))});
  modeloCompras_->ponFilas(std::move(filas));
  const std::string nombre = fila_ >= 0 ? nombres_[static_cast<size_t>(fila_)] : std::string();
  const EtiquetasTotales e = etiquetasTotales(nombre, sumaTotales(mostradas_));
  nombre_->setText(q(e.nombre));
  cargos_->setText(q(e.cargos));
  abonos_->setText(q(e.abonos));
  saldo_->setText(q(e.saldo));
}

QString TFormaConsultaCuePagar::etiqueta(const char* nombre) const {
  const auto* e = findChild<QLabel*>(nombre);
  return e ? e->text() : QString();
}

void TFormaConsultaCuePagar::BotonBuscarClick() {
  const auto b = ui_.busca(false);
  if (!b) return;
  porNombre_ = b->campo == base::CampoBusqueda::Nombre;
  const std::string clave = claveActual();
  cargaProveedores(clave);
  // The nearest row at or after the text, in the order chosen.
  const std::vector<std::string>& columna = porNombre_ ? nombres_ : claves_;
  for (size_t i = 0; i < columna.size(); ++i)
    if (base::recorta(columna[i]) >= base::recorta(b->texto)) {
      eligeProveedor(static_cast<int>(i));
      return;
    }
  if (!columna.empty()) eligeProveedor(static_cast<int>(columna.size()) - 1);
}

void TFormaConsultaCuePagar::ActualizalosSaldos1Click() {
  if (actualizaSaldosProveedores(dirDatos_, ui_) < 0) return;
  cargaProveedores(claveActual());
}

void TFormaConsultaCuePagar::abreDetalle(int fila) {
  if (fila < 0 || static_cast<size_t>(fila) >= mostradas_.size()) return;
  TFormaCxPDetalle::muestra(this, dirDatos_, mostradas_[static_cast<size_t>(fila)].documento, ui_, reloj_);
  cargaProveedores(claveActual());
}

void TFormaConsultaCuePagar::reporte(const std::string& menu) {
  PeriodoReporte p;
  p.fecha = p.desde = p.hasta = reloj_.ahora().fecha;
  auto pideFecha = [this](const char* etiqueta, base::Fecha& f) {
    const auto t = ui_.pideTexto("Reporte de Cuentas por Pagar", etiqueta, base::fechaCorta(f));
    if (!t) return false;
    const auto d = base::leeFechaCorta(base::recorta(*t));
    if (!d) {
      ui_.mensaje("\"" + *t + "\" no es una Fecha Válida");
      return false;
    }
    f = *d;
    return true;
  };
  if (menu == "DocumentosVencidos1" && !pideFecha("Vencidos al", p.fecha)) return;
  if ((menu == "VencimientosporPeriodo1" || menu == "GeneralporPerido1") &&
      (!pideFecha("Desde", p.desde) || !pideFecha("Hasta", p.hasta)))
    return;
  const auto d = reporteCuentasPorPagar(menu, dirDatos_, p);
  if (!d) return;
  if (!reporte_) {
    ui_.mensaje("El Reporte " + d->titulo + " no está disponible en esta pantalla");
    return;
  }
  reporte_(*d);
}

void TFormaConsultaCuePagar::ImprimeRango1Click() {
  const std::string actual = claveActual();
  auto desde = ui_.pideTexto("Estado de Cuenta Detallado", "Del Proveedor", actual);
  if (!desde) return;
  auto hasta = ui_.pideTexto("Estado de Cuenta Detallado", "Al Proveedor", *desde);
  if (!hasta) return;
  std::vector<std::string> lineas;
  try {
    lineas = estadoDetallado(dirDatos_, Cartera::Proveedores, *desde, *hasta, reloj_.ahora().fecha);
  } catch (const dbf::Error&) {
    ui_.mensaje("Ha Ocurrido un Error al Abrir una de las Bases de Datos.");
    return;
  }
  ImpresoraQt impresora;
  if (imprimeLineas(&impresora, ui_, lineas, base::fechaCorta(reloj_.ahora().fecha)))
    ui_.mensaje("La Impresión ha finalizado");
}

}  // namespace mostrador::accounts
