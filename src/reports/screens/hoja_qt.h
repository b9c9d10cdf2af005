#pragma once
// Drawing a report sheet in a text view: one paragraph per line, in a fixed-pitch font,
// each with its colour and size.

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <initializer_list>
#include <utility>

#include "reports/hoja_reporte.h"

void muestraHoja(QTextEdit* vista, const std::vector<mostrador::reports::LineaHoja>& lineas);

// The report viewers' window: a row of buttons (object name, caption), the sheet "Hoja"
// below it and the status line "Estado" under the sheet. The buttons come back in order.
struct VentanaHoja {
  std::vector<QPushButton*> botones;
  QTextEdit* hoja;
  QLabel* estado;
};
VentanaHoja armaVentanaHoja(QDialog* d, std::initializer_list<std::pair<const char*, QString>> botones);
