#include "printing/expresiones.h"

#include <vector>

#include "printing/texto_formato.h"
#include "base/expresion.h"
#include "base/fechas.h"
#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::printing {

void Variables::limpia() {
  numeros.fill(0);
  cadenas.fill({});
}

namespace {

int numeroConPrefijo(std::string_view nombre, std::string_view prefijo) {
  if (nombre.size() != prefijo.size() + 1) return 0;
  char d = nombre.back();
  if (d < '1' || d > '6') return 0;
  return minusculas(nombre.substr(0, prefijo.size())) == prefijo ? d - '0' : 0;
}

std::string textoCampo(const TablaImpresion& tabla, int campo) {
  if (campo < 0 || campo >= tabla.numeroCampos())
    throw ErrorFormato("Campo número " + std::to_string(campo) + " fuera de rango");
  return tabla.texto(campo);
}

bool esOperador(char c, std::string_view operadores) {
  return operadores.find(c) != std::string_view::npos;
}

// Splits at the operator characters, each operator a token of its own; empty texts
// between operators are dropped.
std::vector<std::string> divideEnFichas(std::string_view texto, std::string_view operadores) {
  std::vector<std::string> fichas;
  std::string actual;
  for (char c : texto) {
    if (esOperador(c, operadores)) {
      if (!actual.empty()) fichas.push_back(std::move(actual));
      actual.clear();
      fichas.emplace_back(1, c);
    } else {
      actual += c;
    }
  }
  if (!actual.empty()) fichas.push_back(std::move(actual));
  return fichas;
}

}  // namespace

int Variables::numeroVariable(std::string_view nombre) {
  return numeroConPrefijo(nombre, "variable");
}
int Variables::numeroCadena(std::string_view nombre) { return numeroConPrefijo(nombre, "cadena"); }

std::optional<std::string> Variables::valor(std::string_view nombre) const {
  if (int n = numeroVariable(nombre)) return decimalCorto(numeros[n]);
  if (int n = numeroCadena(nombre)) return cadenas[n];
  return std::nullopt;
}

int referenciaCampo(std::string_view t) {
  if (t.size() != 5 || t[0] != '[' || t[4] != ']') return -1;
  for (int i = 1; i <= 3; ++i)
    if (t[i] < '0' || t[i] > '9') return -1;
  return (t[1] - '0') * 100 + (t[2] - '0') * 10 + (t[3] - '0');
}

std::string ExpresionTexto(std::string_view expresion, const TablaImpresion& tabla,
                           const Variables& vars) {
  std::string r;
  size_t inicio = 0;
  for (int n = 0; n < 10; ++n) {
    size_t mas = expresion.find('+', inicio);
    std::string_view termino = expresion.substr(
        inicio, mas == std::string_view::npos ? std::string_view::npos : mas - inicio);
    std::string valor;
    bool alguno = false;
    if (int c = referenciaCampo(termino); c >= 0) {
      valor += textoCampo(tabla, c);
      alguno = true;
    }
    if (int c = termino.empty() ? -1 : tabla.indiceCampo(termino); c >= 0) {
      valor += tabla.texto(c);
      alguno = true;
    }
    if (auto v = vars.valor(termino)) {
      valor += *v;
      alguno = true;
    }
    r += alguno ? valor : std::string(termino);
    if (mas == std::string_view::npos) break;
    inicio = mas + 1;
  }
  return r;
}

std::string ValorTermino(std::string_view termino, const TablaImpresion& tabla,
                         const Variables& vars) {
  if (int c = referenciaCampo(termino); c >= 0) return textoCampo(tabla, c);
  if (auto v = vars.valor(termino)) return *v;
  if (int c = termino.empty() ? -1 : tabla.indiceCampo(termino); c >= 0) return tabla.texto(c);
  return std::string(termino);
}

// --- Arithmetic -------------------------------------------------------------------

ResultadoNumerico ExpresionNumerica(std::string_view texto) {
  std::string s;
  int nivel = 0;
  bool cerradoDeMas = false;
  for (char c : texto) {
    if (c == ' ') continue;
    s += c;
    nivel += c == '(';
    nivel -= c == ')';
    cerradoDeMas = cerradoDeMas || nivel < 0;
  }
  if (s.empty() || nivel != 0 || cerradoDeMas) return {std::nullopt, std::string(kFaltanParentesis)};
  if (s.back() == '+') s += '0';
  s = "(" + s + ")";
  while (true) {
    size_t cierre = s.find(')');
    if (cierre == std::string::npos) break;
    size_t apertura = s.rfind('(', cierre);
    if (apertura == std::string::npos) return {std::nullopt, std::string(kFaltanParentesis)};
    std::string parte = s.substr(apertura + 1, cierre - apertura - 1);
    if (parte.empty() || std::string_view("+-*/").find(parte.back()) != std::string_view::npos ||
        parte[0] == '*' || parte[0] == '/')
      throw ErrorFormato("Expresión incompleta: " + parte);
    if (parte[0] == '-') parte.insert(0, "0");
    s.replace(apertura, cierre - apertura + 1, conDecimales(base::evaluaValor(parte, false), 4));
  }
  if (s.find('(') != std::string::npos) return {std::nullopt, std::string(kFaltanParentesis)};
  return {base::cuatroDecimales(leeNumero(s)), {}};
}

// --- Assignments ------------------------------------------------------------------

void EjecutaAsignacion(std::string_view linea, const TablaImpresion& tabla, Variables& vars,
                       const Aviso& aviso) {
  size_t igual = linea.find('=');
  std::string_view destino = linea.substr(0, igual);
  std::string_view derecha =
      igual == std::string_view::npos ? std::string_view() : linea.substr(igual + 1);
  int numero = Variables::numeroVariable(destino);
  int cadena = Variables::numeroCadena(destino);
  std::string unido;
  constexpr std::string_view kOperadores = "=+-*/!<>^|()%#";
  for (const std::string& ficha : divideEnFichas(derecha, kOperadores)) {
    if (ficha.size() == 1 && esOperador(ficha[0], kOperadores)) {
      unido += ficha;
      continue;
    }
    std::optional<std::string> valor;
    if (int c = referenciaCampo(ficha); c >= 0)
      valor = textoCampo(tabla, c);
    else if (auto v = vars.valor(ficha))
      valor = *v;
    else if (int c = tabla.indiceCampo(ficha); c >= 0)
      valor = tabla.texto(c);
    if (valor && valor->empty() && numero) valor = "0";
    unido += valor ? *valor : ficha;
  }
  if (cadena) {
    std::string t;
    for (char c : unido)
      if (c != '+' && c != '-') t += c;
    vars.cadenas[cadena] = t;
  } else if (numero) {
    ResultadoNumerico r = ExpresionNumerica(unido);
    if (!r.valor) {
      if (aviso) aviso(r.mensaje);
      throw ErrorFormato(r.mensaje);
    }
    vars.numeros[numero] = leeNumero(*r.valor);
  }
}

// --- Conditions -------------------------------------------------------------------

namespace {

enum class Clase { Texto, Numero, Fecha };

Clase claseDe(std::string_view ficha) {
  if (!ficha.empty() && ficha[0] == '#') return Clase::Numero;
  if (!ficha.empty() && ficha[0] == '%') return Clase::Fecha;
  return Clase::Texto;
}

std::string sinMarcas(std::string_view t) {
  std::string r;
  for (char c : t)
    if (c != '#' && c != '%' && c != '@') r += c;
  return r;
}

base::Fecha fechaOperando(const std::string& valor) {
  auto f = base::leeFechaCorta(valor);
  if (!f) throw ErrorFormato("'" + valor + "' no es una fecha válida");
  return *f;
}

template <typename T>
bool compara(char op, const T& a, const T& b) {
  switch (op) {
    case '=': return a == b;
    case '!': return !(a == b);
    case '<': return a < b;
    default: return b < a;
  }
}

}  // namespace

bool EvaluaCondicion(std::string_view condicion, const TablaImpresion& tabla,
                     const Variables& vars) {
  constexpr std::string_view kOperadores = "=+-*/!<>^|();";
  constexpr std::string_view kComparaciones = "=!<>";
  std::vector<std::string> fichas = divideEnFichas(condicion, kOperadores);
  auto esOp = [&](size_t i) { return fichas[i].size() == 1 && esOperador(fichas[i][0], kOperadores); };
  // The value of an operand as a term; the type marks are taken off before and after.
  auto valorDe = [&](const std::string& ficha) {
    return sinMarcas(ValorTermino(sinMarcas(ficha), tabla, vars));
  };

  std::vector<bool> usado(fichas.size(), false);
  std::vector<std::string> secuencia;  // "v", "f", "^", "|" and stray operands
  for (size_t i = 0; i < fichas.size(); ++i) {
    if (!esOp(i) || kComparaciones.find(fichas[i][0]) == std::string_view::npos) continue;
    if (i > 0 && !esOp(i - 1)) usado[i - 1] = true;
    if (i + 1 < fichas.size() && !esOp(i + 1)) usado[i + 1] = true;
  }
  for (size_t i = 0; i < fichas.size(); ++i) {
    if (!esOp(i)) {
      if (!usado[i]) secuencia.push_back(fichas[i]);
      continue;
    }
    char op = fichas[i][0];
    if (op == '^' || op == '|') {
      secuencia.emplace_back(1, op);
      continue;
    }
    if (kComparaciones.find(op) == std::string_view::npos) continue;  // ( ) ; + - * /
    std::string izq = i > 0 && !esOp(i - 1) ? fichas[i - 1] : std::string();
    std::string der = i + 1 < fichas.size() && !esOp(i + 1) ? fichas[i + 1] : std::string();
    Clase clase = claseDe(der) != Clase::Texto ? claseDe(der) : claseDe(izq);
    std::string a = valorDe(izq), b = valorDe(der);
    bool cierto;
    if (a == "X") {
      cierto = true;
    } else if (clase == Clase::Numero || (comoNumero(a) && comoNumero(b))) {
      double x = comoNumero(a).value_or(0);
      double y = quitaBlancos(b).empty() ? 0 : leeNumero(b);
      cierto = compara(op, x, y);
    } else if (clase == Clase::Fecha) {
      base::Fecha x = a.empty() ? base::Fecha{1900, 1, 1} : fechaOperando(a);
      cierto = compara(op, x, fechaOperando(b));
    } else {
      // Texts compare by their stored (Windows-1252) bytes.
      cierto = compara(op, base::aCp1252(a), base::aCp1252(b));
    }
    secuencia.push_back(cierto ? "v" : "f");
  }
  // "^" binds before "|": the condition holds when some "|"-separated group is made
  // only of true comparisons.
  bool resultado = false, grupo = true, vacio = true;
  for (const std::string& s : secuencia) {
    if (s == "|") {
      resultado = resultado || (grupo && !vacio);
      grupo = true;
      vacio = true;
    } else if (s != "^") {
      grupo = grupo && s == "v";
      vacio = false;
    }
  }
  return resultado || (grupo && !vacio);
}

}  // namespace mostrador::printing
