#include "store/sql/resultado.h"

#include <cassert>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "base/texto.h"
#include "base/texto_util.h"
#include "store/sql/dialecto.h"

namespace mostrador::sql {

namespace {

const Valor kNulo{};

bool esIso(const std::string& s) {
  return s.size() == 10 && s[4] == '-' && s[7] == '-' && fechaDeLiteral(s).has_value();
}

// 'yyyy-mm-dd HH:MM:SS', the text a date-time column gives.
bool esIsoFechaHora(const std::string& s) {
  return s.size() == 19 && s[4] == '-' && s[7] == '-' && s[10] == ' ' && fechaHoraDeLiteral(s).has_value();
}

int digitos(long long v) { return static_cast<int>(std::to_string(v).size()); }

}  // namespace

std::string textoDeNumero(double d) {
  if (d == std::floor(d) && std::fabs(d) < 1e15) {
    char b[32];
    std::snprintf(b, sizeof b, "%.0f", d);
    return std::string(b) == "-0" ? "0" : b;
  }
  char b[40];
  std::snprintf(b, sizeof b, "%.15g", d);
  return b;
}

Resultado::Resultado(std::vector<std::string> nombres,
                     std::vector<std::optional<dbf::FieldDef>> origenes, std::vector<Valor> valores)
    : valores_(std::move(valores)), columnas_(nombres.size()) {
  assert(origenes.size() == nombres.size());
  filas_ = columnas_ ? valores_.size() / columnas_ : 0;
  std::map<std::string, int> vistos;
  for (size_t c = 0; c < columnas_; ++c) {
    dbf::FieldDef f;
    std::string nombre = nombres[c];
    int& veces = vistos[base::mayusculasAscii(nombre)];
    if (veces++ > 0) nombre += "_" + std::to_string(veces - 1);
    f.name = nombre;
    bool enteros = true, numeros = true, fechas = true, fechasHoras = true, alguno = false;
    int ancho = 1;
    for (size_t r = 0; r < filas_; ++r) {
      const Valor& v = valores_[r * columnas_ + c];
      if (std::holds_alternative<std::monostate>(v)) continue;
      alguno = true;
      if (auto* i = std::get_if<long long>(&v)) {
        fechas = fechasHoras = false;
        ancho = std::max(ancho, digitos(*i));
      } else if (std::holds_alternative<double>(v)) {
        fechas = fechasHoras = false;
        enteros = false;
      } else {
        const auto& s = std::get<std::string>(v);
        numeros = enteros = false;
        if (!esIso(s)) fechas = false;
        if (!esIsoFechaHora(s)) fechasHoras = false;
        ancho = std::max(ancho, static_cast<int>(base::anchoCp1252(s)));
      }
    }
    if (origenes[c]) {
      f.type = origenes[c]->type;
      f.length = origenes[c]->length;
      f.decimals = origenes[c]->decimals;
      if (f.type == 'C') f.length = std::min(254, std::max(f.length, ancho));
    } else if (!alguno) {
      f.type = 'C';
      f.length = 1;
    } else if (numeros && enteros) {
      f.type = 'N';
      f.length = ancho;
    } else if (numeros) {
      f.type = 'N';
      f.length = 20;
      f.decimals = 4;
    } else if (fechas) {
      f.type = 'D';
      f.length = 8;
    } else if (fechasHoras) {
      f.type = '@';
      f.length = 8;
    } else {
      f.type = 'C';
      f.length = std::min(254, ancho);
    }
    campos_.push_back(f);
  }
  first();
}

void Resultado::first() {
  pos_ = filas_ ? 0 : -1;
  bof_ = true;
  eof_ = filas_ == 0;
}

void Resultado::last() {
  pos_ = filas_ ? static_cast<long>(filas_) - 1 : -1;
  eof_ = true;
  bof_ = filas_ == 0;
}

void Resultado::next() {
  if (pos_ + 1 < static_cast<long>(filas_)) {
    ++pos_;
    bof_ = false;
  } else {
    eof_ = true;
  }
}

void Resultado::prior() {
  if (pos_ > 0) {
    --pos_;
    eof_ = false;
  } else {
    bof_ = true;
  }
}

const Valor& Resultado::valor(int field) const {
  if (field < 0 || static_cast<size_t>(field) >= columnas_)
    throw dbf::Error("Campo número " + std::to_string(field) + " fuera de la consulta");
  if (pos_ < 0) return kNulo;
  return valores_[static_cast<size_t>(pos_) * columnas_ + static_cast<size_t>(field)];
}

bool Resultado::isNull(int field) const {
  return std::holds_alternative<std::monostate>(valor(field));
}

std::string Resultado::asText(int field) const {
  const Valor& v = valor(field);
  if (auto* i = std::get_if<long long>(&v)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&v)) return textoDeNumero(*d);
  if (auto* s = std::get_if<std::string>(&v)) {
    if (campos_[field].type == 'D') {
      if (auto f = fechaDeLiteral(*s); f && esIso(*s)) {
        char b[16];
        std::snprintf(b, sizeof b, "%02d/%02d/%04d", f->dia, f->mes, f->anio);
        return b;
      }
    }
    if (campos_[field].type == '@') {
      if (auto fh = fechaHoraDeLiteral(*s); fh && esIsoFechaHora(*s)) return dbf::fechaHoraCorta(*fh);
    }
    return *s;
  }
  return {};
}

double Resultado::asFloat(int field) const {
  const Valor& v = valor(field);
  if (auto* i = std::get_if<long long>(&v)) return static_cast<double>(*i);
  if (auto* d = std::get_if<double>(&v)) return *d;
  if (auto* s = std::get_if<std::string>(&v)) return std::strtod(s->c_str(), nullptr);
  return 0;
}

long long Resultado::asInteger(int field) const {
  const Valor& v = valor(field);
  if (auto* i = std::get_if<long long>(&v)) return *i;
  return std::llround(asFloat(field));
}

std::optional<dbf::Fecha> Resultado::asDate(int field) const {
  const Valor& v = valor(field);
  auto* s = std::get_if<std::string>(&v);
  if (!s) return std::nullopt;
  if (esIso(*s)) return fechaDeLiteral(*s);
  if (auto fh = asDateTime(field)) return dbf::Fecha{fh->fecha.anio, fh->fecha.mes, fh->fecha.dia};
  return std::nullopt;
}

std::optional<dbf::FechaHora> Resultado::asDateTime(int field) const {
  const Valor& v = valor(field);
  auto* s = std::get_if<std::string>(&v);
  if (!s) return std::nullopt;
  if (esIsoFechaHora(*s)) return fechaHoraDeLiteral(*s);
  if (esIso(*s)) {
    auto f = fechaDeLiteral(*s);
    return dbf::FechaHora{base::Fecha{f->anio, f->mes, f->dia}, {}};
  }
  return dbf::leeFechaHora(*s);
}

bool Resultado::asBool(int field) const {
  const Valor& v = valor(field);
  if (auto* s = std::get_if<std::string>(&v)) {
    std::string t = base::mayusculasAscii(*s);
    return t == "T" || t == "S" || t == "Y" || t == "SI" || t == "TRUE" || t == "1";
  }
  return asFloat(field) != 0;
}

}  // namespace mostrador::sql
