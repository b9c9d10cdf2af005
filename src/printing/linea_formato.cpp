#include "printing/linea_formato.h"

#include <utility>

#include "printing/texto_formato.h"

namespace mostrador::printing {

namespace {

// The keyword list in the order the line loop compares it; the last match wins.
constexpr std::pair<std::string_view, Palabra> kPalabras[] = {
    {"col", Palabra::Color},        {"tra", Palabra::Letras},
    {"cua", Palabra::Cuadro},       {"tam", Palabra::Tamano},
    {"tip", Palabra::Tipo},         {"log", Palabra::Logo},
    {"dia", Palabra::Dia},          {"mes", Palabra::Mes},
    {"año", Palabra::Anio},         {"tex", Palabra::Texto},
    {"mon", Palabra::Moneda},       {"est", Palabra::Estilo},
    {"sep", Palabra::Separa},       {"for", Palabra::Formato},
    {"fec", Palabra::Fecha},        {"var", Palabra::Asignacion},
    {"cad", Palabra::Asignacion},   {"mle", Palabra::MesLetra},
    {"sal", Palabra::Saltar},       {"pag", Palabra::Paginas},
    {"dat", Palabra::Dato},         {"red", Palabra::Redondo},
    {"nue", Palabra::NuevaPagina},  {"lin", Palabra::Lineas},
    {"max", Palabra::Maximo},       {"cor", Palabra::Corte},
    {"fla", Palabra::FechaLarga},   {"sql", Palabra::Sql},
    {"aju", Palabra::Ajusta},       {"fon", Palabra::Fondo},
    {"ter", Palabra::Termina},      {"cam", Palabra::CambiaImpresora},
    {"num", Palabra::Numero},       {"mod", Palabra::Modulo},
    {"ent", Palabra::Entero},       {"abo", Palabra::Aborta},
    {"dir", Palabra::Direccion},    {"usu", Palabra::Usuario},
    {"con", Palabra::Usuario},      {"pau", Palabra::Pausa},
    {"esc", Palabra::Escape},       {"vsq", Palabra::VariableSql},
    {"com", Palabra::Comentarios},  {"tin", Palabra::LetrasIngles},
    {"pue", Palabra::Puerto},       {"bar", Palabra::Barras},
};

}  // namespace

Palabra reconocePalabra(std::string_view linea) {
  if (!linea.empty() && linea[0] == '@') return Palabra::Colocacion;
  std::string tres = minusculas(primerosCaracteres(linea, 3));
  Palabra r = Palabra::Ninguna;
  for (const auto& [prefijo, palabra] : kPalabras)
    if (tres == prefijo) r = palabra;
  return r;
}

PalabraCompleta palabraCompleta(Palabra p) {
  switch (p) {
    case Palabra::Logo: return {"logo"};
    case Palabra::Dia: return {"dia"};
    case Palabra::Mes: return {"mes"};
    case Palabra::Anio: return {"año"};
    case Palabra::Texto: return {"texto"};
    case Palabra::Moneda: return {"moneda", true};
    case Palabra::Separa: return {"separa"};
    case Palabra::Formato: return {"formato"};
    case Palabra::MesLetra: return {"mletra"};
    case Palabra::Saltar: return {"saltar"};
    case Palabra::Paginas: return {"paginas"};
    case Palabra::NuevaPagina: return {"nuevapagina"};
    case Palabra::FechaLarga: return {"flarga"};
    case Palabra::Termina: return {"terminaimpresion"};
    case Palabra::CambiaImpresora: return {"cambiaimpresora"};
    default: return {};
  }
}

std::vector<std::string> divideCampos(std::string_view linea) {
  size_t i = linea.find_first_not_of(' ');
  linea = i == std::string_view::npos ? std::string_view() : linea.substr(i);
  std::vector<std::string> campos(1);
  for (char c : linea) {
    bool corta = c == '(' || c == ')' || (c == ',' && !(campos.size() > 1 && campos[0] == "formato"));
    if (!corta) {
      campos.back() += c;
      continue;
    }
    if (campos.size() == 8) break;  // the eighth field has just been closed
    campos.emplace_back();
  }
  campos.resize(8);
  return campos;
}

Colocacion divideColocacion(std::string_view linea) {
  if (!linea.empty() && linea[0] == '@') linea.remove_prefix(1);
  Colocacion c;
  size_t a = linea.find(',');
  if (a == std::string_view::npos) {
    c.columna = std::string(linea);
    return c;
  }
  c.columna = std::string(linea.substr(0, a));
  size_t b = linea.find(',', a + 1);
  if (b == std::string_view::npos) {
    c.renglon = std::string(linea.substr(a + 1));
    return c;
  }
  c.renglon = std::string(linea.substr(a + 1, b - a - 1));
  c.expresion = std::string(linea.substr(b + 1));
  return c;
}

}  // namespace mostrador::printing
