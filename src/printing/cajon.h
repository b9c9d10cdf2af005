#pragma once
// The receipt printer beyond the format language: the cash drawer kick and the code
// page that text sent raw to it is written in.
//
// DRAWER. The drawer hangs on the receipt printer's drawer port; the printer opens it
// when it receives ESC p 0 25 250 (1B 70 00 19 FA: pin 2, 50 ms on, 500 ms off). The
// kick goes as its own RAW job to the receipt queue, so that it never waits behind a
// ticket or ends up inside one.
//
// CODE PAGE. Memory is UTF-8; a receipt printer prints single bytes through the
// character table selected with ESC t n. Text printed raw (the text printer's lines,
// the text items of a format's raw sequence) is converted to that table and the job
// starts with ESC @ ESC t n, so that accents and "ñ" come out right whatever the printer
// was left in.
//
// "\Recibo.cnf" (system directory, optional, one value a line):
//   1  the code page: "850" (the default: Spanish letters, ¿ ¡ ª º), "858" (850 with €
//      at D5), "437", or "1252" (Windows Latin 1, for printers that have it)
//   2  the n of ESC t n when the printer numbers its tables differently; by default the
//      usual numbers: 850 -> 2, 437 -> 0, 858 -> 19, 1252 -> 16
//   3  the receipt printer's queue; by default the name the formats send raw bytes to
//      (kColaTicket), which the queue seam turns into the default queue when no queue
//      has that name
// A line that is empty or not understood keeps its default.

#include <string>
#include <string_view>
#include <vector>

#include "printing/impresora.h"
#include "base/interaccion.h"

namespace mostrador::printing {

inline constexpr std::string_view kPulsoCajon{"\x1B\x70\x00\x19\xFA", 5};
inline constexpr std::string_view kDocumentoCajon = "Cajon";
inline constexpr std::string_view kDocumentoRecibo = "Recibo";

enum class PaginaCodigos { CP437, CP850, CP858, CP1252 };

struct AjusteRecibo {
  PaginaCodigos pagina = PaginaCodigos::CP850;
  int seleccion = 2;  // the n of ESC t n
  std::string cola;   // kColaTicket when not configured
};

// The usual ESC t number of a code page.
int seleccionUsual(PaginaCodigos pagina);
AjusteRecibo leeAjusteRecibo(std::string_view dirSistema);

// UTF-8 text in the code page; a character without a form there becomes "?". Line
// breaks, tabs and other ASCII pass unchanged.
std::string codificaRecibo(std::string_view utf8, PaginaCodigos pagina);
// ESC t n: what a format's raw sequence with text items needs in front (it keeps the
// modes the format set, which ESC @ would reset).
std::string seleccionPagina(const AjusteRecibo& ajuste);
// ESC @ ESC t n.
std::string inicioRecibo(const AjusteRecibo& ajuste);
// The bytes of a text receipt: inicioRecibo, then every line converted and ended by
// CR LF.
std::string documentoRecibo(const std::vector<std::string>& lineas, const AjusteRecibo& ajuste);

// The messages when the queue does not take a job.
std::string mensajeSinCajon(std::string_view cola);
std::string mensajeSinRecibo(std::string_view cola);

// AbrirCajn1Click: sends the kick. False when the queue refused it; the message was
// shown and nothing else changes (the sale goes on).
bool abreCajon(ColaCruda& cola, const AjusteRecibo& ajuste, base::Interaccion& ui);
// Prints text lines on the receipt printer (documentoRecibo). False, with the message
// shown, when the queue refused them.
bool imprimeRecibo(ColaCruda& cola, const std::vector<std::string>& lineas, const AjusteRecibo& ajuste,
                   base::Interaccion& ui);

}  // namespace mostrador::printing
