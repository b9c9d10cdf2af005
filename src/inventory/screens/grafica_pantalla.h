#pragma once
// The chart window of an inventory screen, and its "chart, then report" command: one
// dialog with a chart view named "Grafica" over the given series.

#include <QDialog>
#include <QString>

#include "reports/rejilla_reporte.h"

class QAbstractSeries;

namespace mostrador::inventory {

// The dialog (owned by padre) with the chart of the series, titled titulo.
QDialog* dialogoGrafica(QWidget* padre, const char* nombre, const QString& titulo, QAbstractSeries* serie);

// Shows the chart, then the report in the report page of the query grid.
void muestraGraficaYReporte(QWidget* padre, QDialog* grafica, reports::NuevoReporte reporte,
                            const QString& tituloReporte);

}  // namespace mostrador::inventory
