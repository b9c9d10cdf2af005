#pragma once
// Drawing a report sheet in a text view: one paragraph per line, in a fixed-pitch font,
// each with its colour and size.

#include <QTextEdit>

#include "printing/hoja_reporte.h"

void muestraHoja(QTextEdit* vista, const std::vector<mostrador::printing::LineaHoja>& lineas);
