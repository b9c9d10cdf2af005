#include "reports/screens/TFormaFormatos.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>

#include "base/rutas.h"
#include "store/sql/sql.h"
#include "ui/dialogos.h"
#include "ui/campo_fecha.h"

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

TFormaFormatos::EditorFormatos& editorRegistrado() {
  static TFormaFormatos::EditorFormatos e;
  return e;
}

const char* const kOperadores[] = {"=", "<", ">", "<>", "<=", ">=", "&", "Inicia_Con", "Termina_Con", "Incluye"};

}  // namespace

TFormaFormatos::TFormaFormatos(QWidget* parent) : QDialog(parent) {
  setObjectName("TFormaFormatos");
  setWindowTitle(QStringLiteral("Datos del Reporte"));
  auto* externo = new QVBoxLayout(this);
  Rangos = new QWidget(this);
  Rangos->setObjectName("Rangos");
  auto* todo = new QVBoxLayout(Rangos);
  todo->setContentsMargins(0, 0, 0, 0);
  externo->addWidget(Rangos);
  auto* f = new QFormLayout;
  auto fecha = [this](const char* n) {
    auto* d = new mostrador::ui::CampoFecha(this);
    d->setObjectName(n);
    return d;
  };
  auto linea = [this](const char* n) {
    auto* e = new QLineEdit(this);
    e->setObjectName(n);
    return e;
  };
  Inicial = fecha("Inicial");
  Final = fecha("Final");
  De = linea("De");
  Hasta = linea("Hasta");
  Titulo = linea("Titulo");
  f->addRow(QStringLiteral("Fecha Inicial"), Inicial);
  f->addRow(QStringLiteral("Fecha Final"), Final);
  f->addRow(QStringLiteral("De"), De);
  f->addRow(QStringLiteral("Hasta"), Hasta);
  todo->addLayout(f);
  auto* g = new QGridLayout;
  for (int i = 0; i < 3; ++i) {
    Condicion[static_cast<size_t>(i)] = new QComboBox(this);
    Condicion[static_cast<size_t>(i)]->setObjectName(QStringLiteral("Condicion%1").arg(i + 1));
    Operador[static_cast<size_t>(i)] = new QComboBox(this);
    Operador[static_cast<size_t>(i)]->setObjectName(QStringLiteral("Operador%1").arg(i + 1));
    for (const char* o : kOperadores) Operador[static_cast<size_t>(i)]->addItem(QString::fromUtf8(o));
    Valor[static_cast<size_t>(i)] = new QLineEdit(this);
    Valor[static_cast<size_t>(i)]->setObjectName(QStringLiteral("Valor%1").arg(i + 1));
    Valor[static_cast<size_t>(i)]->installEventFilter(this);
    g->addWidget(Condicion[static_cast<size_t>(i)], i, 0);
    g->addWidget(Operador[static_cast<size_t>(i)], i, 1);
    g->addWidget(Valor[static_cast<size_t>(i)], i, 2);
  }
  todo->addLayout(g);
  Orden = new QComboBox(this);
  Orden->setObjectName("Orden");
  auto* fo = new QFormLayout;
  fo->addRow(QStringLiteral("Ordenar por"), Orden);
  fo->addRow(QStringLiteral("Título"), Titulo);
  todo->addLayout(fo);
  Incluir1 = new QCheckBox(QStringLiteral("Incluir"), this);
  Incluir1->setObjectName("Incluir1");
  IncluirDevoluciones = new QCheckBox(QStringLiteral("Incluir Devoluciones"), this);
  IncluirDevoluciones->setObjectName("IncluirDevoluciones");
  Incluir3 = new QCheckBox(QStringLiteral("Incluir"), this);
  Incluir3->setObjectName("Incluir3");
  auto* marcas = new QHBoxLayout;
  for (QCheckBox* c : {Incluir1, IncluirDevoluciones, Incluir3}) marcas->addWidget(c);
  todo->addLayout(marcas);
  Formatos = new QWidget(this);
  Formatos->setObjectName("Formatos");
  auto* formatos = new QHBoxLayout(Formatos);
  formatos->setContentsMargins(0, 0, 0, 0);
  BotonEdicion = new QPushButton(QStringLiteral("Formato"), Formatos);
  BotonEdicion->setObjectName("BotonEdicion");
  BotonEdicion->setAutoDefault(false);
  formatos->addWidget(BotonEdicion);
  externo->addWidget(Formatos);
  auto* botones = new QHBoxLayout;
  BitBtn4 = new QPushButton(QStringLiteral("Aceptar"), this);
  BitBtn4->setObjectName("BitBtn4");
  BitBtn3 = new QPushButton(QStringLiteral("Regresar"), this);
  BitBtn3->setObjectName("BitBtn3");
  BotonAceptar = new QPushButton(QStringLiteral("Cancelar"), this);
  BotonAceptar->setObjectName("BotonAceptar");
  for (QPushButton* b : {BitBtn4, BitBtn3, BotonAceptar}) {
    b->setAutoDefault(false);
    botones->addWidget(b);
  }
  externo->addLayout(botones);
  connect(BotonEdicion, &QPushButton::clicked, this, [this] { BotonEdicionClick(); });
  connect(BitBtn4, &QPushButton::clicked, this, [this] { BitBtn4Click(); });
  connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
  connect(BotonAceptar, &QPushButton::clicked, this, [this] { BotonAceptarClick(); });
}

void TFormaFormatos::BitBtn4Click() {
  respuesta_ = 1;
  accept();
}
void TFormaFormatos::BitBtn3Click() {
  respuesta_ = 2;
  reject();
}
void TFormaFormatos::BotonAceptarClick() {
  respuesta_ = 3;
  reject();
}

void TFormaFormatos::registraEditor(EditorFormatos editor) { editorRegistrado() = std::move(editor); }

void TFormaFormatos::BotonEdicionClick() {
  if (respuesta_ == 3) return;
  if (const auto& editor = editorRegistrado())
    editor(this, sistema_.empty() ? std::string() : mostrador::base::une(sistema_, "consulta"));
  respuesta_ = 1;
  accept();
}

void TFormaFormatos::PreparaFiltro(mostrador::reports::FiltroReporte& f, bool fechas, bool rango, bool incluir1,
                                   std::string_view tabla, bool condiciones, bool incluir3, bool devoluciones,
                                   std::string_view definicion) {
  caption_ = QStringLiteral("Datos del Reporte");
  setWindowTitle(caption_);
  f.inicialActivo = f.finalActivo = fechas;
  f.deActivo = f.hastaActivo = rango;
  f.condicionesActivas = condiciones;
  f.tabla = std::string(tabla);
  if (f.directorioDatos.empty()) f.directorioDatos = datos_;
  f.campos.clear();
  for (auto& c : mostrador::reports::camposDeFiltro(sistema_, tabla, mostrador::reports::CamposDeConsulta(definicion)))
    f.agregaCampo(std::move(c));
  Incluir1->setEnabled(incluir1);
  Incluir3->setEnabled(incluir3);
  IncluirDevoluciones->setEnabled(devoluciones);
}

void TFormaFormatos::keyPressEvent(QKeyEvent* e) {
  // Enter anywhere in the dialog accepts it.
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    BitBtn4Click();
    return;
  }
  QDialog::keyPressEvent(e);
}

bool TFormaFormatos::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::MouseButtonDblClick)
    for (int i = 0; i < 3; ++i)
      if (o == Valor[static_cast<size_t>(i)]) {
        ValorDobleClick(i);
        return true;
      }
  return QDialog::eventFilter(o, e);
}

void TFormaFormatos::ValorDobleClick(int i) {
  const int k = Condicion[static_cast<size_t>(i)]->currentIndex() - 1;
  if (k < 0 || k >= static_cast<int>(campos_.size()) || tabla_.empty()) return;
  const std::string campo = campos_[static_cast<size_t>(k)].campo;
  std::vector<QStringList> filas;
  try {
    mostrador::sql::BaseSql base;
    auto r = base.consulta(mostrador::reports::sentenciaValores(datos_, tabla_, campo));
    for (r->first(); !r->eof(); r->next()) filas.push_back({q(r->asText(0))});
  } catch (const std::exception&) {
    return;  // a field of another table: nothing to pick from
  }
  mostrador::ui::TFormaLineas picker({q(campo)}, filas, this);
  picker.exec();
  if (picker.fila() >= 0) Valor[static_cast<size_t>(i)]->setText(filas[static_cast<size_t>(picker.fila())].value(0));
}

void TFormaFormatos::carga(const mostrador::reports::FiltroReporte& f) {
  setWindowTitle(caption_.isEmpty() ? q(f.titulo) : caption_);
  datos_ = f.directorioDatos;
  tabla_ = f.tabla;
  campos_ = f.campos;
  auto aQDate = [](const std::optional<mostrador::base::Fecha>& d) {
    return d ? QDate(d->anio, d->mes, d->dia) : QDate::currentDate();
  };
  Inicial->setDate(aQDate(f.inicial));
  Final->setDate(aQDate(f.final_));
  Inicial->setEnabled(f.inicialActivo);
  Final->setEnabled(f.finalActivo);
  De->setText(q(f.de));
  Hasta->setText(q(f.hasta));
  De->setEnabled(f.deActivo);
  Hasta->setEnabled(f.hastaActivo);
  Orden->clear();
  Orden->addItem(QString());
  for (size_t i = 0; i < 3; ++i) {
    Condicion[i]->clear();
    Condicion[i]->addItem(QString());
    Condicion[i]->setEnabled(f.condicionesActivas);
    Operador[i]->setEnabled(f.condicionesActivas);
    Valor[i]->setEnabled(f.condicionesActivas);
  }
  for (const auto& c : campos_) {
    for (auto* x : Condicion) x->addItem(q(c.describe));
    Orden->addItem(q(c.describe));
  }
  Incluir1->setChecked(f.incluir1);
  IncluirDevoluciones->setChecked(f.incluirDevoluciones);
  Incluir3->setChecked(f.incluir3);
  Titulo->setText(q(f.titulo));
}

void TFormaFormatos::lee(mostrador::reports::FiltroReporte& f) const {
  auto fecha = [](const QDate& d) { return mostrador::base::Fecha{d.year(), d.month(), d.day()}; };
  f.inicial = fecha(Inicial->date());
  f.final_ = fecha(Final->date());
  f.de = De->text().toStdString();
  f.hasta = Hasta->text().toStdString();
  for (size_t i = 0; i < 3; ++i) {
    const int k = Condicion[i]->currentIndex() - 1;
    auto& c = f.condiciones[i];
    c.campo = k >= 0 && k < static_cast<int>(campos_.size()) ? campos_[static_cast<size_t>(k)].campo : "";
    // Accepting clears the type of every condition without a field.
    c.tipo = k >= 0 && k < static_cast<int>(campos_.size()) ? campos_[static_cast<size_t>(k)].tipo : "";
    c.operador = Operador[i]->currentText().toStdString();
    c.valor = Valor[i]->text().toStdString();
  }
  const int o = Orden->currentIndex() - 1;
  f.orden = o >= 0 && o < static_cast<int>(campos_.size()) ? campos_[static_cast<size_t>(o)].campo : "";
  f.tipoOrden = o >= 0 && o < static_cast<int>(campos_.size()) ? campos_[static_cast<size_t>(o)].tipo : "";
  f.incluir1 = Incluir1->isChecked();
  f.incluirDevoluciones = IncluirDevoluciones->isChecked();
  f.incluir3 = Incluir3->isChecked();
  f.titulo = Titulo->text().toStdString();
  f.respuesta = respuesta_;
}

bool TFormaFormatos::pide(mostrador::reports::FiltroReporte& f) {
  respuesta_ = 0;
  carga(f);
  exec();
  lee(f);
  return respuesta_ == 1;
}
