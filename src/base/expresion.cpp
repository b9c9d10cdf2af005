#include "base/expresion.h"

#include <algorithm>
#include <cmath>

#include "base/numeros.h"

namespace mostrador::base {

namespace {

double factor(std::string_view f) {
  if (f == "-") return -1;
  return leeNumero(f).value_or(0);
}

double termino(std::string_view t) {
  if (t == "-") return -1;
  size_t inicio = 0;
  char operador = '*';
  double producto = 1;
  for (size_t i = 0; i <= t.size(); ++i) {
    if (i < t.size() && t[i] != '*' && t[i] != '/') continue;
    const double b = factor(t.substr(inicio, i - inicio));
    if (operador == '*')
      producto *= b;
    else
      producto *= b == 0 ? 0 : 1 / b;
    if (i < t.size()) operador = t[i];
    inicio = i + 1;
  }
  return redondea(producto, 5);
}

// Steps 2 to 5 on a text without groups.
double sinParentesis(std::string_view entrada) {
  std::string s;
  for (char c : entrada)
    if (c != ' ' && c != '\t') s += c;
  std::string t;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '-' && i + 1 < s.size() && s[i + 1] == '-') {
      t += '+';
      ++i;
    } else {
      t += s[i];
    }
  }
  if (!t.empty() && t[0] == '-') t.insert(0, 1, '0');

  double suma = 0;
  std::string actual;
  for (size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    const bool signo = c == '+' || c == '-';
    const bool pegado = i > 0 && (t[i - 1] == '*' || t[i - 1] == '/' || t[i - 1] == ')');
    if (signo && !pegado) {
      suma += termino(actual);
      actual = c == '-' ? "-" : "";
    } else {
      actual += c;
    }
  }
  suma += termino(actual);
  return std::isfinite(suma) ? suma : 0;
}

}  // namespace

double evaluaValor(std::string_view expresion, bool conParentesis) {
  std::string s(expresion);
  if (conParentesis) {
    for (;;) {
      const size_t cierra = s.find(')');
      if (cierra == std::string::npos) break;
      const size_t abre = s.rfind('(', cierra);
      if (abre == std::string::npos) {
        s.erase(cierra, 1);
        continue;
      }
      const double v = sinParentesis(std::string_view(s).substr(abre + 1, cierra - abre - 1));
      s.replace(abre, cierra - abre + 1, Decimal::deDouble(v).redondeado(5).texto());
    }
    s.erase(std::remove(s.begin(), s.end(), '('), s.end());
  }
  return sinParentesis(s);
}

std::string cuatroDecimales(double valor) {
  Decimal d = Decimal::deDouble(valor).redondeado(4);
  std::string s = formateaMascara(d, "0.0000");
  if (s.size() < 15) s.insert(0, 15 - s.size(), ' ');
  return s;
}

std::string evalua(std::string_view expresion, bool conParentesis) {
  return cuatroDecimales(evaluaValor(expresion, conParentesis));
}

std::vector<std::string> separaPartes(std::string_view texto) {
  std::vector<std::string> partes;
  if (texto.empty()) return partes;
  std::string actual;
  bool trasMayor = false;
  auto cierra = [&] {
    if (!trasMayor || std::find(partes.begin(), partes.end(), actual) == partes.end())
      partes.push_back(actual);
    actual.clear();
  };
  for (char c : texto) {
    if (c == '+' || c == '-' || c == '>') {
      cierra();
      trasMayor = c == '>';
    } else {
      actual += c;
    }
  }
  cierra();
  return partes;
}

}  // namespace mostrador::base
