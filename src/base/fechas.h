#pragma once
// Date conventions: the short and long date texts, Spanish month and day names, dates
// inside SQL statements, the masked-date check and the stamps taken from the clock.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/reloj.h"

namespace mostrador::base {

// Locale conventions applied by every screen. The long format's "aaaa" is the year.
inline constexpr char kSeparadorFecha = '/';
inline constexpr std::string_view kFormatoFechaCorta = "dd/MM/yyyy";
inline constexpr std::string_view kFormatoFechaLarga = "dddd d de MMMM de aaaa";

// "Enero" ... "Diciembre".
extern const std::array<std::string_view, 12> kMeses;
// Sunday first, lower case, no accents: "domingo" ... "sabado".
extern const std::array<std::string_view, 7> kDias;

// Month name for 1..12 ("" otherwise).
std::string nombreMes(int mes);
// The month names the print formats and the report generator write: the same list,
// except July, which they write "julio".
std::string mesFormato(int mes);

bool fechaValida(const Fecha& f);
int diaSemana(const Fecha& f);  // 0 Sunday .. 6 Saturday

// Day number counted from 30/12/1899 (day 0), the stored date value of the system.
long serialFecha(const Fecha& f);
Fecha fechaDeSerial(long serial);

// "dd/MM/yyyy".
std::string fechaCorta(const Fecha& f);
// Day and month of one or two digits, a four-digit year, blanks around; nullopt when the
// text is not a real calendar date.
std::optional<Fecha> leeFechaCorta(std::string_view texto);

// "Domingo 1 de Julio del año 2001". From a date text: "" when it is not a date.
std::string fechaLarga(const Fecha& f);
std::string fechaLarga(std::string_view fechaTexto);

// Month/day/year without leading zeros, as SQL statements take dates: "3/5/2001" for
// 5 March 2001. From a date text: "" when it is not a date.
std::string fechaSql(const Fecha& f);
std::string fechaSql(std::string_view fechaTexto);

// Masked date entry "dd/mm/yyyy": "_" in the 7th and 8th characters count as "0"; valid
// when the day (characters 1-2), month (4-5) and year (7-10) are whole numbers and the
// year is not negative. The ranges of day and month are not checked here.
bool fechaMascaraValida(std::string_view texto);

// "HH:mm:ss" (24 hours) and "dd/MM/yyyy HH:mm:ss".
std::string horaTexto(const Hora& h);
std::string fechaHoraTexto(const FechaHora& fh);

// Fraction of the day elapsed at that time, in [0, 1).
double fraccionDia(const Hora& h);

// Orders the postings of one date by time: the nearest whole number (ties to even) to
// the date value + fraction of the current day × 10000.
long selloSecuencia(const Fecha& fecha, const Reloj& reloj);
// Identifies one save of a document: whole part of the fraction of the day × 100000,
// 0 to 99999.
long selloControl(const Reloj& reloj);

}  // namespace mostrador::base
