#pragma once
// The page range dialog "Rango": "De" (PrimeraPagina) and "Hasta" (UltimaPagina) and an
// accept button; the caller reads the two page numbers after it closes.

#include <QDialog>
#include <QPushButton>
#include <QSpinBox>

class TDialogoImprimir : public QDialog {
  Q_OBJECT

 public:
  TDialogoImprimir(int paginas, QWidget* parent = nullptr);
  int primera() const { return PrimeraPagina->value(); }
  int ultima() const { return UltimaPagina->value(); }

  QSpinBox* PrimeraPagina;
  QSpinBox* UltimaPagina;
  QPushButton* BotonAceptar;
};
