#pragma once
// The report filter dialog as the report commands use it: dates, document range, three
// field conditions, the order column and the include flags. It edits a FiltroReporte
// (printing/filtro_reporte.h), where the conditions are built.

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "reports/filtro_reporte.h"

class TFormaFormatos : public QDialog, public mostrador::reports::DialogoFiltro {
  Q_OBJECT

 public:
  explicit TFormaFormatos(QWidget* parent = nullptr);

  // Shows the dialog on the state; true on the answer 1.
  bool pide(mostrador::reports::FiltroReporte& filtro) override;
  // Loads the state into the controls and reads it back.
  void carga(const mostrador::reports::FiltroReporte& f);
  void lee(mostrador::reports::FiltroReporte& f) const;

  // Double click on a value: the list picker of the field's values in the table.
  void ValorDobleClick(int condicion);
  void BitBtn4Click();      // accept: answer 1
  void BitBtn3Click();      // answer 2
  void BotonAceptarClick();  // answer 3
  int respuesta() const { return respuesta_; }

  QDateEdit* Inicial;
  QDateEdit* Final;
  QLineEdit* De;
  QLineEdit* Hasta;
  std::array<QComboBox*, 3> Condicion;
  std::array<QComboBox*, 3> Operador;
  std::array<QLineEdit*, 3> Valor;
  QComboBox* Orden;
  QCheckBox* Incluir1;
  QCheckBox* IncluirDevoluciones;
  QCheckBox* Incluir3;
  QLineEdit* Titulo;
  QPushButton* BitBtn4;
  QPushButton* BitBtn3;
  QPushButton* BotonAceptar;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  std::vector<mostrador::reports::CampoFiltro> campos_;
  std::string datos_, tabla_;
  int respuesta_ = 0;
};
