#include "query/screens/TFormaTipos.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr char kLetras[4] = {'n', 'm', 'c', 'i'};
}

QColor colorDeTipo(char t) {
  switch (t) {
    case 'n': return QColor(0, 128, 0);
    case 'm': return QColor(255, 128, 0);
    case 'c': return QColor(0, 0, 255);
    default: return QColor(0, 0, 0);
  }
}

TFormaTipos::TFormaTipos(QWidget* parent) : QDialog(parent) {
  setObjectName("TFormaTipos");
  setWindowTitle(QStringLiteral("Tipo de Columna"));
  auto* l = new QVBoxLayout(this);
  const char* textos[4] = {"Numérico", "Moneda", "Carácter", "Invisible"};
  for (int i = 0; i < 4; ++i) {
    opciones_[i] = new QRadioButton(QString::fromUtf8(textos[i]), this);
    opciones_[i]->setObjectName(QStringLiteral("Tipo%1").arg(QChar(kLetras[i])));
    l->addWidget(opciones_[i]);
  }
  Total = new QCheckBox(QStringLiteral("Totalizar"), this);
  Total->setObjectName("Total");
  l->addWidget(Total);
  auto* b = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(b, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(b, &QDialogButtonBox::rejected, this, &QDialog::reject);
  l->addWidget(b);
}

char TFormaTipos::tipo() const {
  for (int i = 0; i < 4; ++i)
    if (opciones_[i]->isChecked()) return kLetras[i];
  return ' ';
}

bool TFormaTipos::total() const { return Total->isChecked(); }

void TFormaTipos::eligeTipo(char t) {
  for (int i = 0; i < 4; ++i) opciones_[i]->setChecked(kLetras[i] == t);
}

TFormaTamanoColumnas::TFormaTamanoColumnas(QWidget* parent) : QDialog(parent) {
  setObjectName("TFormaTamanoColumnas");
  setWindowTitle(QStringLiteral("Tamaño de la Columna"));
  auto* l = new QVBoxLayout(this);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  l->addWidget(Edit1);
  auto* b = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(b, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(Edit1, &QLineEdit::returnPressed, this, &QDialog::accept);
  l->addWidget(b);
}

std::string TFormaTamanoColumnas::ancho() const { return anchoColumnaTecleado(Edit1->text().toStdString()); }

std::string anchoColumnaTecleado(std::string_view texto) {
  std::string t(texto);
  while (!t.empty() && t.back() == ' ') t.pop_back();
  while (!t.empty() && t.front() == ' ') t.erase(t.begin());
  if (t.empty() || t.size() > 6 || t.find_first_not_of("0123456789") != std::string::npos) return "20";
  return std::to_string(std::stoi(t));
}
