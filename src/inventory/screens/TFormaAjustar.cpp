#include "inventory/screens/TFormaAjustar.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/dbf_table.h"
#include "inventory/screens/grafica_pantalla.h"
#include "ui/modelo_filas.h"

namespace mostrador::inventory {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
QString numero(double v) { return q(base::Decimal::deDouble(base::redondea(v, 2)).redondeado(2).texto()); }
const QStringList kColumnas = {"Clave",   "Descripción", "Teórico", "Reales", "Ajuste",
                               "Costo",   "Valor Teórico", "Valor Reales", "Valor Ajuste", "Línea", "Proveedor"};

}  // namespace

TFormaAjustar::TFormaAjustar(AjustesMovimientos ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                             QWidget* parent)
    : QDialog(parent), aj_(std::move(ajustes)), ui_(ui), reloj_(reloj) {
  setObjectName("TFormaAjustar");
  setWindowTitle("Ajustar");
  resize(960, 560);
  auto* l = new QVBoxLayout(this);
  auto* botones = new QHBoxLayout;
  auto boton = [this, botones](const char* nombre, const char* texto, auto f) {
    auto* b = new QPushButton(texto, this);
    b->setObjectName(nombre);
    botones->addWidget(b);
    connect(b, &QPushButton::clicked, this, f);
  };
  boton("BotonCalcular", "Calcular Variación", [this] { BotonCalcularClick(); });
  boton("BotonImportar", "Importar Archivo", [this] { BotonImportarClick(); });
  boton("BotonExportar", "Exportar Archivo", [this] { BotonExportarClick(); });
  boton("BotonAjustar", "Ajustar...", [this] { BotonAjustarClick(); });
  boton("BotonFiltrar", "Filtrar...", [this] { BotonFiltrarClick(); });
  boton("BotonImprimir", "Imprimir", [this] { BotonImprimirClick(); });
  l->addLayout(botones);
  auto* opciones = new QHBoxLayout;
  porAjuste_ = new QRadioButton("Utilizar Campo Ajuste", this);
  porAjuste_->setObjectName("RadioAjuste");
  porAjuste_->setChecked(true);
  porReales_ = new QRadioButton("Utilizar Campo Reales", this);
  porReales_->setObjectName("RadioReales");
  opciones->addWidget(porAjuste_);
  opciones->addWidget(porReales_);
  l->addLayout(opciones);
  auto* filtros = new QGridLayout;
  auto par = [this, filtros](int fila, const char* nombre, QCheckBox*& caja, QLineEdit*& de, QLineEdit*& a) {
    caja = new QCheckBox(nombre, this);
    caja->setObjectName(QString("Check") + nombre);
    de = new QLineEdit(this);
    de->setObjectName(QString(nombre) + "De");
    a = new QLineEdit(this);
    a->setObjectName(QString(nombre) + "Hasta");
    filtros->addWidget(caja, fila, 0);
    filtros->addWidget(de, fila, 1);
    filtros->addWidget(a, fila, 2);
  };
  par(0, "Clave", conClave_, claveDe_, claveA_);
  par(1, "Linea", conLinea_, lineaDe_, lineaA_);
  par(2, "Proveedor", conProveedor_, provDe_, provA_);
  soloAjuste_ = new QCheckBox("Solo con Cantidad de Ajuste", this);
  soloAjuste_->setObjectName("CheckSoloAjuste");
  filtros->addWidget(soloAjuste_, 3, 0, 1, 3);
  l->addLayout(filtros);
  rejilla_ = new QTableView(this);
  rejilla_->setObjectName("DBGrid1");
  modelo_ = new ui::ModeloFilas(kColumnas, this);
  rejilla_->setModel(modelo_);
  rejilla_->verticalHeader()->setVisible(false);
  l->addWidget(rejilla_);
  pinta();
}

void TFormaAjustar::pinta() {
  std::vector<FilaAjuste> filas;
  try {
    filas = leeHojaAjuste(aj_);
  } catch (const dbf::Error&) {
    ui_.mensaje("Ha Ocurrido un Error al Abrir una de las Bases de Datos.");
  }
  // The filter shown is the one the user built; the rows follow the same ranges.
  auto dentro = [this](const FilaAjuste& f) {
    auto en = [](QCheckBox* c, QLineEdit* de, QLineEdit* a, const std::string& v) {
      return !c->isChecked() || (v >= de->text().toStdString() && v <= a->text().toStdString());
    };
    return en(conClave_, claveDe_, claveA_, f.clave) && en(conLinea_, lineaDe_, lineaA_, f.linea) &&
           en(conProveedor_, provDe_, provA_, f.proveedor) && (!soloAjuste_->isChecked() || f.reales > 0);
  };
  std::vector<QStringList> textos;
  visibles_.clear();
  for (const FilaAjuste& f : filas) {
    if (!filtro_.isEmpty() && !dentro(f)) continue;
    visibles_.push_back(f);
    textos.push_back({q(f.clave), q(f.descripcion), numero(f.teorico), numero(f.reales), numero(f.ajuste),
                      numero(f.costo), numero(f.teorico * f.costo), numero(f.reales * f.costo),
                      numero(f.ajuste * f.costo), q(f.linea), q(f.proveedor)});
  }
  modelo_->ponFilas(std::move(textos));
}

reports::NuevoReporte TFormaAjustar::reporte() const {
  return reports::construyeNuevoReporte({{"Clave", 20, 'c'},
                                         {"Decripción", 25, 'c'},
                                         {"Valor Teórico", 14, 'n'},
                                         {"Valor Reales", 14, 'n'},
                                         {"Valor Ajuste", 14, 'n'},
                                         {"%Teórico", 9, 'n'},
                                         {"%Reales", 9, 'n'},
                                         {"%Ajuste", 9, 'n'}},
                                        filasImpresasAjuste(visibles_), false);
}

QDialog* TFormaAjustar::creaGrafica() {
  auto* barras = new QBarSeries;
  auto* teorico = new QBarSet("Valor Teórico");
  auto* reales = new QBarSet("Valor Reales");
  auto* ajuste = new QBarSet("Valor Ajuste");
  double t = 0, r = 0, a = 0;
  for (const FilaAjuste& f : visibles_) {
    t += f.teorico * f.costo;
    r += f.reales * f.costo;
    a += f.ajuste * f.costo;
  }
  *teorico << t;
  *reales << r;
  *ajuste << a;
  barras->append(teorico);
  barras->append(reales);
  barras->append(ajuste);
  return dialogoGrafica(this, "GraficaAjuste", "Ajuste de Inventario", barras);
}

void TFormaAjustar::BotonImprimirClick() {
  muestraGraficaYReporte(this, creaGrafica(), reporte(), "Ajuste de Inventario");
}

void TFormaAjustar::BotonCalcularClick() {
  try {
    calculaVariacion(aj_);
  } catch (const dbf::Error&) {
    ui_.mensaje("No se Pueden Guardar los Datos ha Ocurrido un Error");
  }
  pinta();
}

void TFormaAjustar::BotonImportarClick() {
  auto f = ui_.abreArchivo("Importar Archivo", "Texto (*.txt)");
  if (!f) return;
  auto lineas = base::leeLineas(*f);
  if (!lineas) {
    ui_.mensaje("El Archivo " + *f + " No Existe");
    return;
  }
  const std::vector<std::string> errores = importaConteo(aj_, *lineas);
  if (!errores.empty()) {
    std::string m;
    for (const std::string& e : errores) m += e + "\r";
    ui_.mensaje(m);
  }
  pinta();
}

bool TFormaAjustar::exporta(const std::string& directorio) {
  // A tab-separated table the spreadsheet opens, under the name the shop knows.
  std::vector<std::string> lineas;
  lineas.push_back(kColumnas.join('\t').toStdString());
  for (int r = 0; r < modelo_->rowCount(); ++r) lineas.push_back(modelo_->fila(r).join('\t').toStdString());
  const std::string ruta = base::une(directorio, "Ajuste.xls");
  if (!base::escribeLineas(ruta, lineas)) {
    ui_.mensaje("No se pudo escribir " + ruta);
    return false;
  }
  return true;
}

void TFormaAjustar::BotonExportarClick() {
  if (auto d = ui_.pideTexto("Exportar Archivo", "Directorio", aj_.dirDatos)) exporta(*d);
}

bool TFormaAjustar::BotonAjustarClick() {
  const ResultadoMovimiento r = ajustaHoja(aj_, porReales_->isChecked(), reloj_);
  if (!r.guardado) {
    ui_.mensaje(r.mensaje);
    return false;
  }
  ui_.mensaje("Movimiento " + std::to_string(r.numero) + " de ajuste: " + std::to_string(r.lineas) + " partidas");
  return true;
}

void TFormaAjustar::BotonFiltrarClick() {
  FiltroAjuste f;
  auto par = [](QCheckBox* c, QLineEdit* de, QLineEdit* a) -> std::optional<std::pair<std::string, std::string>> {
    if (!c->isChecked()) return std::nullopt;
    return std::pair{de->text().trimmed().toStdString(), a->text().trimmed().toStdString()};
  };
  f.clave = par(conClave_, claveDe_, claveA_);
  f.linea = par(conLinea_, lineaDe_, lineaA_);
  f.proveedor = par(conProveedor_, provDe_, provA_);
  f.soloConAjuste = soloAjuste_->isChecked();
  const std::string t = textoFiltro(f);
  if (t == kFaltanDatosFiltro) {
    ui_.mensaje(t);
    return;
  }
  filtro_ = q(t);
  pinta();
}

}  // namespace mostrador::inventory
