#pragma once
// Drawing a report sheet in a text view: one paragraph per line, in a fixed-pitch font,
// each with its colour and size.

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "base/interaccion.h"
#include "printing/impresora.h"
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

// The viewers' printing: the job runs on the printer given (the system's when none).
// When it cannot start there, "La Impresora No Se Encuentra Lista..." and the same job
// may go to a PDF file named in a save dialog (".pdf" added when the name has no
// extension). The job starts and ends the print job itself. True when it was printed
// somewhere.
inline constexpr std::string_view kImpresoraNoLista = "La Impresora No Se Encuentra Lista...";
bool imprimeOPdf(mostrador::printing::Impresora* impresora, mostrador::base::Interaccion& ui, std::string_view titulo,
                 const std::function<void(mostrador::printing::Impresora&)>& trabajo);

// Plain text lines printed (or saved as a PDF, as above) in a fixed-pitch font, 60 lines a
// page, the first line the title: the account statements print this way.
bool imprimeLineas(mostrador::printing::Impresora* impresora, mostrador::base::Interaccion& ui,
                   const std::vector<std::string>& lineas, const std::string& fecha);
