#include "reports/columnas_reporte.h"

#include <utility>

namespace mostrador::reports {

char letraTipoCampo(TipoCampo tipo) {
  switch (tipo) {
    case TipoCampo::Texto:
    case TipoCampo::Booleano:
    case TipoCampo::Bcd:
    case TipoCampo::Hora:
    case TipoCampo::Autoincremento:
    case TipoCampo::Blob:
    case TipoCampo::Memo: return 'c';
    case TipoCampo::EnteroCorto:
    case TipoCampo::Entero:
    case TipoCampo::Bytes: return 'e';
    case TipoCampo::Palabra: return 'w';
    case TipoCampo::Flotante: return 'f';
    case TipoCampo::Moneda: return '$';
    case TipoCampo::Fecha:
    case TipoCampo::FechaHora: return 'd';
    case TipoCampo::BytesVariables: return 'b';
    case TipoCampo::Grafico: return 'g';
    case TipoCampo::Otro: return 'x';
  }
  return 'x';
}

char letraColumna(char letra, TipoCampo tipo) {
  return letra == 'e' && tipo != TipoCampo::Flotante ? 'c' : letra;
}

char codigoOperador(std::string_view operador, char porDefecto) {
  static constexpr std::pair<std::string_view, char> kCodigos[] = {
      {"=", '='},          {"<", '<'},          {">", '>'},         {"<>", 'X'}, {"<=", 'Y'}, {">=", 'Z'},
      {"&", 'W'},          {"Inicia_Con", 'I'}, {"Termina_Con", 'T'}, {"Incluye", 'U'}};
  for (const auto& [texto, codigo] : kCodigos)
    if (operador == texto) return codigo;
  return porDefecto;
}

}  // namespace mostrador::reports
