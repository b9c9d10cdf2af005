#include "store/dbf/key_expression.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/texto.h"
#include "base/texto_util.h"
#include "store/dbf/dbf_file.h"
#include "store/dbf/mdx_key_expr.h"

// Choices the encodings make (see the header for the byte forms):
//  * A blank N/F field sorts as 0; an unreadable one too.
//  * A blank L field sorts as "F".
//  * A D field is copied as it is on disk, so a blank date (8 blanks) sorts first.
//  * A C field is copied as it is on disk: the record already holds Windows-1252.
//  * A @ field (date-time) is its day number then its milliseconds, each big-endian, so
//    that bytes order as instants; a blank one is 8 zero bytes and sorts first. Only a
//    field list takes it: a key expression has no date-time values.
//  * A day given for a @ part (a Fecha, or a text without a time) that is the last value
//    of a find is the day's 4 bytes alone, a prefix that every instant of the day starts
//    with; anywhere else it is that day at 00:00:00.
//  * Values given for a find are converted to the part's type: text to a number or a date
//    is parsed ("dd/MM/yyyy", "yyyymmdd" or "yyyy-mm-dd" for dates; blank text is 0 or a
//    blank date); a number to text is written without decimals when whole; a date to text
//    is "yyyymmdd" (the form DTOS() keys hold).
//  * encodePrefix() pads the last text value to its width (the exact key of a find);
//    encodePartial() leaves it as given, so a seek on it lands on the first key that
//    starts with it.

namespace mostrador::dbf {

namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

struct Part {
  std::string name;  // the field's name, for messages
  int offset = 0;
  int length = 0;   // bytes in the record
  char type = 'C';  // C N D L @ (F reads as N)
  int width = 0;    // bytes in the key
};

int keyWidth(char type, int fieldLength) {
  switch (type) {
    case 'C': return fieldLength;
    case 'L': return 1;
    default: return 8;
  }
}

std::string numberText(double d) {
  char buf[64];
  if (d == std::floor(d) && std::fabs(d) < 1e15) {
    int n = std::snprintf(buf, sizeof buf, "%.0f", d == 0 ? 0.0 : d);
    return std::string(buf, static_cast<size_t>(n));
  }
  auto r = std::to_chars(buf, buf + sizeof buf, d);
  return std::string(buf, r.ptr);
}

std::string dateText(const Fecha& f) {
  char buf[32];
  int n = std::snprintf(buf, sizeof buf, "%04d%02d%02d", f.anio, f.mes, f.dia);
  return std::string(buf, static_cast<size_t>(std::min(n, 8)));
}

[[noreturn]] void incompatible(const std::string& what) {
  throw Error("Valor incompatible con " + what);
}

void putBe32(uint32_t v, char* o) {
  for (int i = 0; i < 4; ++i) o[i] = static_cast<char>((v >> (8 * (3 - i))) & 0xFF);
}

// The key of a date-time field's 8 bytes (two little-endian numbers).
void encodeDateTime(const char* f, char* o) {
  bool blank = true;
  for (int i = 0; i < 8; ++i) blank &= f[i] == ' ' || f[i] == '\0';
  if (blank) {
    std::memset(o, 0, 8);
    return;
  }
  for (int i = 0; i < 4; ++i) {
    o[i] = f[3 - i];
    o[4 + i] = f[7 - i];
  }
}

void appendDateTime(const FechaHora& v, bool wholeDay, const std::string& what, std::string& out) {
  const Fecha d{v.fecha.anio, v.fecha.mes, v.fecha.dia};
  if (!leeFecha(fechaCorta(d))) incompatible(what);
  const base::Hora& h = v.hora;
  char b[8];
  putBe32(file::julianDay(d.anio, d.mes, d.dia), b);
  putBe32(static_cast<uint32_t>(((h.hora * 60 + h.minuto) * 60 + h.segundo) * 1000 + h.milisegundo), b + 4);
  out.append(b, wholeDay ? 4 : 8);
}

// Appends the encoding of one find value for a part of the given type and width.
void encodeValue(const KeyValue& value, char type, int width, bool partial,
                 const std::string& what, std::string& out) {
  switch (type) {
    case 'C': {
      std::string t;
      if (auto s = std::get_if<std::string>(&value))
        t = base::aCp1252(*s);
      else if (auto d = std::get_if<double>(&value))
        t = numberText(*d);
      else
        t = dateText(std::get<Fecha>(value));
      if (t.size() > size_t(width)) t.resize(size_t(width));
      if (!partial) t.resize(size_t(width), ' ');
      out += t;
      return;
    }
    case 'N': {
      double number = 0;
      if (auto s = std::get_if<std::string>(&value)) {
        std::string_view t = trimmed(*s);
        if (!t.empty() && t.front() == '+') t.remove_prefix(1);
        if (!t.empty()) {
          auto r = std::from_chars(t.data(), t.data() + t.size(), number);
          if (r.ec != std::errc() || r.ptr != t.data() + t.size() || std::isnan(number))
            throw Error("'" + *s + "' no es un número válido");
        }
      } else if (auto d = std::get_if<double>(&value)) {
        number = *d;
      } else {
        incompatible(what);
      }
      char buf[8];
      keyexpr::encodeNumber(number, buf);
      out.append(buf, 8);
      return;
    }
    case 'D': {
      if (auto s = std::get_if<std::string>(&value)) {
        if (trimmed(*s).empty()) {
          out.append(8, ' ');
          return;
        }
        std::optional<Fecha> f = leeFecha(trimmed(*s));
        if (!f) throw Error("'" + *s + "' no es una fecha válida");
        out += dateText(*f);
      } else if (auto f = std::get_if<Fecha>(&value)) {
        out += dateText(*f);
      } else {
        incompatible(what);
      }
      return;
    }
    case '@': {
      if (auto s = std::get_if<std::string>(&value)) {
        std::string_view t = trimmed(*s);
        if (t.empty()) {
          out.append(8, '\0');
          return;
        }
        std::optional<FechaHora> fh = leeFechaHora(t);
        if (!fh) throw Error("'" + *s + "' no es una fecha y hora válida");
        // A text without a time names a day, as a Fecha does.
        const bool sinHora = t.find(':') == std::string_view::npos;
        appendDateTime(*fh, sinHora && partial, what, out);
      } else if (auto f = std::get_if<Fecha>(&value)) {
        appendDateTime(FechaHora{base::Fecha{f->anio, f->mes, f->dia}, {}}, partial, what, out);
      } else {
        incompatible(what);
      }
      return;
    }
    default: {  // L
      bool yes = false;
      if (auto s = std::get_if<std::string>(&value)) {
        std::string_view t = trimmed(*s);
        yes = !t.empty() && std::string_view("TtYySs").find(t.front()) != std::string_view::npos;
      } else if (auto d = std::get_if<double>(&value)) {
        yes = *d != 0;
      } else {
        incompatible(what);
      }
      out += yes ? 'T' : 'F';
      return;
    }
  }
}

void complement(std::string& s) {
  for (char& c : s) c = static_cast<char>(~static_cast<unsigned char>(c));
}

}  // namespace

RecordLayout RecordLayout::from(const std::vector<FieldDef>& fields) {
  RecordLayout l;
  l.fields = fields;
  int at = 1;
  for (const FieldDef& f : fields) {
    l.offsets.push_back(at);
    at += f.length;
  }
  l.recordLength = at;
  return l;
}

struct KeyExpression::Impl {
  bool isExpression = false;
  std::vector<Part> parts;  // field list
  keyexpr::Program program;  // expression
  int length = 0;
  char type = 'C';
  bool descending = false;
};

KeyExpression::KeyExpression() : d_(std::make_unique<Impl>()) {}
KeyExpression::~KeyExpression() = default;
KeyExpression::KeyExpression(const KeyExpression& o) : d_(std::make_unique<Impl>(*o.d_)) {}
KeyExpression& KeyExpression::operator=(const KeyExpression& o) {
  if (this != &o) d_ = std::make_unique<Impl>(*o.d_);
  return *this;
}
KeyExpression::KeyExpression(KeyExpression&&) noexcept = default;
KeyExpression& KeyExpression::operator=(KeyExpression&&) noexcept = default;

KeyExpression KeyExpression::compile(std::string_view key, const RecordLayout& layout,
                                     bool descending) {
  KeyExpression k;
  Impl& d = *k.d_;
  d.descending = descending;
  key = trimmed(key);
  if (key.empty()) throw Error("Llave de índice vacía");
  if (key.front() == '*') {
    d.isExpression = true;
    d.program = keyexpr::Program::compile(key.substr(1), layout);
    d.type = d.program.type() == 'L' ? 'C' : d.program.type();
    d.length = d.program.width();
  } else {
    while (true) {
      size_t semi = key.find(';');
      std::string_view name = trimmed(key.substr(0, semi));
      if (name.empty()) throw Error("Llave de índice inválida: campo vacío");
      size_t i = 0;
      while (i < layout.fields.size() && !base::igualesSinCasoAscii(layout.fields[i].name, name)) ++i;
      if (i == layout.fields.size()) throw Error("Campo " + std::string(name) + " no encontrado");
      const FieldDef& f = layout.fields[i];
      if (std::string_view("CNFDL@").find(f.type) == std::string_view::npos)
        throw Error("El campo " + f.name + " no puede indexarse");
      Part p;
      p.name = f.name;
      p.offset = layout.offsets[i];
      p.length = f.length;
      p.type = f.type == 'F' ? 'N' : f.type;
      p.width = keyWidth(p.type, f.length);
      d.parts.push_back(p);
      d.length += p.width;
      if (semi == std::string_view::npos) break;
      key.remove_prefix(semi + 1);
    }
    d.type = d.parts.size() == 1 && d.parts[0].type != 'L' ? d.parts[0].type : 'C';
  }
  if (d.length < 1) throw Error("Llave de índice sin longitud");
  if (d.length > kMaxLength)
    throw Error("Llave de índice demasiado larga: " + std::to_string(d.length) +
                " bytes, el máximo es " + std::to_string(kMaxLength));
  return k;
}

int KeyExpression::length() const { return d_->length; }
char KeyExpression::type() const { return d_->type; }
bool KeyExpression::descending() const { return d_->descending; }
int KeyExpression::partCount() const {
  return d_->isExpression ? 1 : static_cast<int>(d_->parts.size());
}

std::string KeyExpression::evaluate(const char* record) const {
  const Impl& d = *d_;
  std::string out;
  if (!d.isExpression) {
    out.resize(size_t(d.length));
    char* o = out.data();
    for (const Part& p : d.parts) {
      const char* f = record + p.offset;
      switch (p.type) {
        case 'N': keyexpr::encodeNumber(keyexpr::fieldNumber(f, p.length), o); break;
        case 'L': *o = std::string_view("TtYy").find(*f) != std::string_view::npos ? 'T' : 'F'; break;
        case '@': encodeDateTime(f, o); break;
        default: std::memcpy(o, f, size_t(p.width)); break;
      }
      o += p.width;
    }
  } else {
    keyexpr::Value v = d.program.evaluate(record);
    switch (v.type) {
      case 'N':
        out.resize(8);
        keyexpr::encodeNumber(v.number, out.data());
        break;
      case 'L': out = v.logical ? "T" : "F"; break;
      default:
        out = std::move(v.text);
        out.resize(size_t(d.length), ' ');
        break;
    }
  }
  if (d.descending) complement(out);
  return out;
}

std::string KeyExpression::encodePrefix(const std::vector<KeyValue>& values) const {
  return encode(values, false);
}

std::string KeyExpression::encodePartial(const std::vector<KeyValue>& values) const {
  return encode(values, true);
}

std::string KeyExpression::encode(const std::vector<KeyValue>& values, bool partial) const {
  const Impl& d = *d_;
  if (values.size() > size_t(partCount()))
    throw Error("Demasiados valores para la llave: " + std::to_string(values.size()) +
                " dados, la llave tiene " + std::to_string(partCount()));
  std::string out;
  out.reserve(size_t(d.length));
  for (size_t i = 0; i < values.size(); ++i) {
    bool last = partial && i + 1 == values.size();
    if (d.isExpression) {
      char type = d.program.type();
      encodeValue(values[i], type == 'L' ? 'L' : type, d.length, last, "la llave", out);
    } else {
      const Part& p = d.parts[i];
      // A day for a date-time part is a prefix whenever it is the last value (see the top).
      const bool abierto = p.type == '@' ? i + 1 == values.size() : last;
      encodeValue(values[i], p.type, p.width, abierto, "el campo " + p.name, out);
    }
  }
  if (d.descending) complement(out);
  return out;
}

}  // namespace mostrador::dbf
