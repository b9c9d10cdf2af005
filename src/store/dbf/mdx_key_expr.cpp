#include "store/dbf/mdx_key_expr.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/texto.h"
#include "base/texto_util.h"

namespace mostrador::dbf::keyexpr {

enum class Kind { Field, Text, Number, Negate, Binary, Compare, Call };
enum class Fn { Upper, Lower, Trim, Ltrim, Alltrim, Str, Dtos, Substr, Left, Right, Iif };

struct Node {
  Kind kind = Kind::Text;
  char type = 'C';
  int width = 0;
  // Field
  int offset = 0, length = 0;
  char fieldType = 'C';
  // Literals
  std::string text;
  double number = 0;
  // Binary / Compare: '+', '-', '*', '/'; '=', '#', '<', '>', 'l' (<=), 'g' (>=)
  char op = 0;
  // Call
  Fn fn = Fn::Upper;
  int c1 = 0, c2 = 0;  // constant arguments (STR len/dec, SUBSTR start/len, LEFT/RIGHT n)
  bool hasC2 = false;
  std::vector<std::shared_ptr<const Node>> args;
};

using NodePtr = std::shared_ptr<const Node>;

namespace {

[[noreturn]] void fail(const std::string& detail) {
  throw Error("Expresión de índice inválida: " + detail);
}

std::string at(int pos) { return " en la posición " + std::to_string(pos); }

// ---- Lexer -------------------------------------------------------------------------

enum class Tok { End, Name, Number, String, Op };

struct Token {
  Tok kind = Tok::End;
  std::string text;  // Name: upper case; String: Windows-1252; Op: the operator
  double number = 0;
  int pos = 1;
};

class Lexer {
 public:
  explicit Lexer(std::string_view s) : s_(s) {}

  Token next() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t')) ++i_;
    Token t;
    t.pos = static_cast<int>(i_) + 1;
    if (i_ >= s_.size()) return t;
    char c = s_[i_];
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') return name(t);
    if (std::isdigit(static_cast<unsigned char>(c)) ||
        (c == '.' && i_ + 1 < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_ + 1]))))
      return number(t);
    if (c == '"' || c == '\'') return string(t, c);
    return op(t);
  }

 private:
  Token name(Token t) {
    size_t b = i_;
    while (i_ < s_.size() &&
           (std::isalnum(static_cast<unsigned char>(s_[i_])) || s_[i_] == '_'))
      ++i_;
    t.kind = Tok::Name;
    t.text.assign(s_.substr(b, i_ - b));
    for (char& ch : t.text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return t;
  }

  Token number(Token t) {
    size_t b = i_;
    while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
    if (i_ < s_.size() && s_[i_] == '.') {
      ++i_;
      while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
    }
    t.kind = Tok::Number;
    std::from_chars(s_.data() + b, s_.data() + i_, t.number);
    return t;
  }

  Token string(Token t, char quote) {
    size_t b = ++i_;
    while (i_ < s_.size() && s_[i_] != quote) ++i_;
    if (i_ >= s_.size()) fail("texto sin cerrar" + at(t.pos));
    t.kind = Tok::String;
    t.text = base::aCp1252(s_.substr(b, i_ - b));
    ++i_;
    return t;
  }

  Token op(Token t) {
    static constexpr std::string_view kTwo[] = {"<=", ">=", "<>"};
    for (std::string_view two : kTwo) {
      if (s_.substr(i_, 2) == two) {
        i_ += 2;
        t.kind = Tok::Op;
        t.text = two;
        return t;
      }
    }
    char c = s_[i_];
    if (std::string_view("+-*/(),=<>#").find(c) == std::string_view::npos) {
      fail("carácter inesperado '" + base::aUtf8(std::string(1, c)) + "'" + at(t.pos));
    }
    ++i_;
    t.kind = Tok::Op;
    t.text = std::string(1, c);
    return t;
  }

  std::string_view s_;
  size_t i_ = 0;
};

// ---- Parser ------------------------------------------------------------------------

int widthOf(char type) { return type == 'L' ? 1 : 8; }

const char* typeName(char type) {
  switch (type) {
    case 'C': return "texto";
    case 'N': return "un número";
    case 'D': return "una fecha";
    default: return "lógico";
  }
}

struct FnInfo {
  std::string_view name;
  Fn fn;
  int minArgs, maxArgs;
};

constexpr FnInfo kFunctions[] = {
    {"UPPER", Fn::Upper, 1, 1},   {"LOWER", Fn::Lower, 1, 1},  {"TRIM", Fn::Trim, 1, 1},
    {"RTRIM", Fn::Trim, 1, 1},    {"LTRIM", Fn::Ltrim, 1, 1},  {"ALLTRIM", Fn::Alltrim, 1, 1},
    {"STR", Fn::Str, 1, 3},       {"DTOS", Fn::Dtos, 1, 1},    {"SUBSTR", Fn::Substr, 2, 3},
    {"LEFT", Fn::Left, 2, 2},     {"RIGHT", Fn::Right, 2, 2},  {"IIF", Fn::Iif, 3, 3},
};

class Parser {
 public:
  Parser(std::string_view text, const RecordLayout& layout) : lex_(text), layout_(layout) {
    advance();
  }

  NodePtr parse() {
    if (tok_.kind == Tok::End) fail("expresión vacía");
    NodePtr n = comparison();
    if (tok_.kind != Tok::End) fail("sobra texto" + at(tok_.pos));
    return n;
  }

 private:
  void advance() { tok_ = lex_.next(); }
  bool isOp(std::string_view o) const { return tok_.kind == Tok::Op && tok_.text == o; }

  void expect(std::string_view o) {
    if (!isOp(o)) fail("se esperaba '" + std::string(o) + "'" + at(tok_.pos));
    advance();
  }

  NodePtr comparison() {
    NodePtr left = additive();
    static constexpr std::pair<std::string_view, char> kOps[] = {
        {"=", '='}, {"<>", '#'}, {"#", '#'}, {"<", '<'}, {">", '>'}, {"<=", 'l'}, {">=", 'g'}};
    for (auto [text, code] : kOps) {
      if (!isOp(text)) continue;
      int pos = tok_.pos;
      advance();
      NodePtr right = additive();
      if (left->type != right->type)
        fail("tipos incompatibles en '" + std::string(text) + "'" + at(pos));
      auto n = std::make_shared<Node>();
      n->kind = Kind::Compare;
      n->type = 'L';
      n->width = 1;
      n->op = code;
      n->args = {left, right};
      return n;
    }
    return left;
  }

  NodePtr additive() {
    NodePtr left = term();
    while (isOp("+") || isOp("-")) {
      char op = tok_.text[0];
      int pos = tok_.pos;
      advance();
      NodePtr right = term();
      bool texts = left->type == 'C' && right->type == 'C';
      bool numbers = left->type == 'N' && right->type == 'N';
      if (!texts && !numbers) fail(std::string("tipos incompatibles en '") + op + "'" + at(pos));
      left = binary(op, left, right, texts ? left->width + right->width : 8);
    }
    return left;
  }

  NodePtr term() {
    NodePtr left = unary();
    while (isOp("*") || isOp("/")) {
      char op = tok_.text[0];
      int pos = tok_.pos;
      advance();
      NodePtr right = unary();
      if (left->type != 'N' || right->type != 'N')
        fail(std::string("tipos incompatibles en '") + op + "'" + at(pos));
      left = binary(op, left, right, 8);
    }
    return left;
  }

  NodePtr unary() {
    if (isOp("-") || isOp("+")) {
      char op = tok_.text[0];
      int pos = tok_.pos;
      advance();
      NodePtr operand = unary();
      if (operand->type != 'N')
        fail(std::string("'") + op + "' requiere un número" + at(pos));
      if (op == '+') return operand;
      if (operand->kind == Kind::Number) {
        auto n = std::make_shared<Node>(*operand);
        n->number = -n->number;
        return n;
      }
      auto n = std::make_shared<Node>();
      n->kind = Kind::Negate;
      n->type = 'N';
      n->width = 8;
      n->args = {operand};
      return n;
    }
    return primary();
  }

  NodePtr primary() {
    Token t = tok_;
    switch (t.kind) {
      case Tok::Number: {
        advance();
        auto n = std::make_shared<Node>();
        n->kind = Kind::Number;
        n->type = 'N';
        n->width = 8;
        n->number = t.number;
        return n;
      }
      case Tok::String: {
        advance();
        auto n = std::make_shared<Node>();
        n->kind = Kind::Text;
        n->type = 'C';
        n->width = static_cast<int>(t.text.size());
        n->text = t.text;
        return n;
      }
      case Tok::Name:
        advance();
        if (isOp("(")) return call(t);
        return field(t);
      case Tok::Op:
        if (t.text == "(") {
          advance();
          NodePtr n = comparison();
          expect(")");
          return n;
        }
        fail("se esperaba un valor" + at(t.pos));
      case Tok::End:
        break;
    }
    fail("se esperaba un valor" + at(t.pos));
  }

  NodePtr field(const Token& t) {
    for (size_t i = 0; i < layout_.fields.size(); ++i) {
      const FieldDef& f = layout_.fields[i];
      if (!base::igualesSinCasoAscii(f.name, t.text)) continue;
      if (f.type == '@')
        throw Error("El campo " + f.name +
                    " es de fecha y hora: se indexa por su nombre en la lista de campos, no en una expresión");
      if (std::string_view("CNFDL").find(f.type) == std::string_view::npos)
        throw Error("El campo " + f.name + " no puede indexarse");
      auto n = std::make_shared<Node>();
      n->kind = Kind::Field;
      n->fieldType = f.type;
      n->type = f.type == 'F' ? 'N' : f.type;
      n->offset = layout_.offsets[i];
      n->length = f.length;
      n->width = n->type == 'C' ? f.length : widthOf(n->type);
      return n;
    }
    throw Error("Campo " + t.text + " no encontrado");
  }

  NodePtr call(const Token& name) {
    const FnInfo* info = nullptr;
    for (const FnInfo& f : kFunctions)
      if (f.name == name.text) info = &f;
    if (!info) fail("función desconocida " + name.text + at(name.pos));
    advance();  // "("
    std::vector<NodePtr> args;
    if (!isOp(")")) {
      args.push_back(comparison());
      while (isOp(",")) {
        advance();
        args.push_back(comparison());
      }
    }
    expect(")");
    int count = static_cast<int>(args.size());
    if (count < info->minArgs || count > info->maxArgs) {
      std::string n = info->minArgs == info->maxArgs
                          ? std::to_string(info->minArgs)
                          : "de " + std::to_string(info->minArgs) + " a " +
                                std::to_string(info->maxArgs);
      fail(name.text + " requiere " + n + (info->maxArgs == 1 ? " argumento" : " argumentos"));
    }
    auto n = std::make_shared<Node>();
    n->kind = Kind::Call;
    n->fn = info->fn;
    n->args = args;
    const std::string& fname = name.text;
    auto want = [&](int i, char type) {
      if (args[i]->type != type)
        fail(fname + ": el argumento " + std::to_string(i + 1) + " debe ser " + typeName(type));
    };
    auto constant = [&](int i) {
      const Node& a = *args[i];
      if (a.kind != Kind::Number || a.number < 0 || a.number != std::floor(a.number) ||
          a.number > 1000)
        fail(fname + ": el argumento " + std::to_string(i + 1) +
             " debe ser un número entero constante");
      return static_cast<int>(a.number);
    };
    switch (info->fn) {
      case Fn::Upper: case Fn::Lower: case Fn::Trim: case Fn::Ltrim: case Fn::Alltrim:
        want(0, 'C');
        n->type = 'C';
        n->width = args[0]->width;
        break;
      case Fn::Str:
        want(0, 'N');
        n->c1 = count > 1 ? constant(1) : 10;
        n->c2 = count > 2 ? constant(2) : 0;
        n->type = 'C';
        n->width = n->c1;
        break;
      case Fn::Dtos:
        want(0, 'D');
        n->type = 'C';
        n->width = 8;
        break;
      case Fn::Substr: {
        want(0, 'C');
        n->c1 = constant(1);
        if (n->c1 < 1) fail(fname + ": el argumento 2 debe ser mayor que cero");
        int rest = std::max(0, args[0]->width - n->c1 + 1);
        n->hasC2 = count > 2;
        n->c2 = n->hasC2 ? constant(2) : rest;
        n->type = 'C';
        n->width = std::min(n->c2, rest);
        break;
      }
      case Fn::Left: case Fn::Right:
        want(0, 'C');
        n->c1 = constant(1);
        n->type = 'C';
        n->width = std::min(n->c1, args[0]->width);
        break;
      case Fn::Iif:
        want(0, 'L');
        if (args[1]->type != args[2]->type)
          fail(fname + ": los argumentos 2 y 3 deben ser del mismo tipo");
        n->type = args[1]->type;
        n->width = std::max(args[1]->width, args[2]->width);
        break;
    }
    n->args = std::move(args);
    return n;
  }

  NodePtr binary(char op, NodePtr left, NodePtr right, int width) {
    auto n = std::make_shared<Node>();
    n->kind = Kind::Binary;
    n->type = left->type;
    n->op = op;
    n->width = width;
    n->args = {std::move(left), std::move(right)};
    return n;
  }

  Lexer lex_;
  const RecordLayout& layout_;
  Token tok_;
};

// ---- Evaluator ---------------------------------------------------------------------

void rtrim(std::string& s) {
  size_t e = s.find_last_not_of(' ');
  s.erase(e == std::string::npos ? 0 : e + 1);
}

void ltrim(std::string& s) {
  size_t b = s.find_first_not_of(' ');
  s.erase(0, b == std::string::npos ? s.size() : b);
}

std::string formatStr(double v, int len, int dec) {
  if (len <= 0) return {};
  double scale = std::pow(10.0, dec);
  double r = std::round(v * scale) / scale;  // halves away from zero, as dBASE rounds
  if (r == 0) r = 0;                          // no "-0"
  char buf[400];
  int n = std::snprintf(buf, sizeof buf, "%*.*f", len, dec, r);
  if (n < 0 || n > len) return std::string(static_cast<size_t>(len), '*');
  return std::string(buf, static_cast<size_t>(n));
}

int compareValues(const Value& a, const Value& b) {
  switch (a.type) {
    case 'N': return a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
    case 'L': return int(a.logical) - int(b.logical);
    default: {
      size_t n = std::max(a.text.size(), b.text.size());
      for (size_t i = 0; i < n; ++i) {
        unsigned char x = i < a.text.size() ? a.text[i] : ' ';
        unsigned char y = i < b.text.size() ? b.text[i] : ' ';
        if (x != y) return x < y ? -1 : 1;
      }
      return 0;
    }
  }
}

Value eval(const Node& n, const char* rec);

Value evalCall(const Node& n, const char* rec) {
  Value v = eval(*n.args[0], rec);
  switch (n.fn) {
    case Fn::Upper: upperCp1252(v.text); break;
    case Fn::Lower: lowerCp1252(v.text); break;
    case Fn::Trim: rtrim(v.text); break;
    case Fn::Ltrim: ltrim(v.text); break;
    case Fn::Alltrim: rtrim(v.text); ltrim(v.text); break;
    case Fn::Str:
      v.text = formatStr(v.number, n.c1, n.c2);
      v.type = 'C';
      break;
    case Fn::Dtos: v.type = 'C'; break;
    case Fn::Substr: {
      size_t start = static_cast<size_t>(n.c1 - 1);
      v.text = start >= v.text.size() ? std::string() : v.text.substr(start, n.c2);
      break;
    }
    case Fn::Left: v.text.resize(std::min(v.text.size(), size_t(n.c1))); break;
    case Fn::Right:
      if (v.text.size() > size_t(n.c1)) v.text.erase(0, v.text.size() - n.c1);
      break;
    case Fn::Iif: return eval(*n.args[v.logical ? 1 : 2], rec);
  }
  return v;
}

Value eval(const Node& n, const char* rec) {
  Value v;
  v.type = n.type;
  switch (n.kind) {
    case Kind::Field: {
      const char* p = rec + n.offset;
      switch (n.type) {
        case 'N': v.number = fieldNumber(p, n.length); break;
        case 'L': v.logical = std::string_view("TtYy").find(p[0]) != std::string_view::npos; break;
        default: v.text.assign(p, static_cast<size_t>(n.length)); break;
      }
      return v;
    }
    case Kind::Text: v.text = n.text; return v;
    case Kind::Number: v.number = n.number; return v;
    case Kind::Negate: v.number = -eval(*n.args[0], rec).number; return v;
    case Kind::Binary: {
      Value a = eval(*n.args[0], rec);
      Value b = eval(*n.args[1], rec);
      if (n.type == 'C') {
        if (n.op == '+') {
          a.text += b.text;
        } else {  // "-": the left text's trailing blanks go to the end
          size_t blanks = a.text.size();
          rtrim(a.text);
          blanks -= a.text.size();
          a.text += b.text;
          a.text.append(blanks, ' ');
        }
        return a;
      }
      switch (n.op) {
        case '+': v.number = a.number + b.number; break;
        case '-': v.number = a.number - b.number; break;
        case '*': v.number = a.number * b.number; break;
        default: v.number = b.number == 0 ? 0 : a.number / b.number; break;
      }
      return v;
    }
    case Kind::Compare: {
      int c = compareValues(eval(*n.args[0], rec), eval(*n.args[1], rec));
      switch (n.op) {
        case '=': v.logical = c == 0; break;
        case '#': v.logical = c != 0; break;
        case '<': v.logical = c < 0; break;
        case '>': v.logical = c > 0; break;
        case 'l': v.logical = c <= 0; break;
        default: v.logical = c >= 0; break;
      }
      return v;
    }
    case Kind::Call: return evalCall(n, rec);
  }
  return v;
}

}  // namespace

Program Program::compile(std::string_view text, const RecordLayout& layout) {
  Program p;
  p.root_ = Parser(text, layout).parse();
  return p;
}

char Program::type() const { return root_->type; }
int Program::width() const { return root_->width; }
Value Program::evaluate(const char* record) const { return eval(*root_, record); }

void encodeNumber(double v, char* out) {
  if (v == 0 || std::isnan(v)) v = 0;  // one encoding for -0, 0 and nonsense
  uint64_t b = std::bit_cast<uint64_t>(v);
  b = (b >> 63) ? ~b : (b | 0x8000000000000000ULL);
  for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(b >> (56 - 8 * i));
}

double fieldNumber(const char* p, int len) {
  const char* b = p;
  const char* e = p + len;
  while (b < e && *b == ' ') ++b;
  while (e > b && (e[-1] == ' ' || e[-1] == '\0')) --e;
  if (b < e && *b == '+') ++b;
  double v = 0;
  auto r = std::from_chars(b, e, v);
  if (r.ec != std::errc() || std::isnan(v)) return 0;
  return v;
}

void upperCp1252(std::string& s) {
  for (char& ch : s) {
    unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
      c = static_cast<unsigned char>(c - 0x20);
    else if (c == 0x9A || c == 0x9C || c == 0x9E)
      c = static_cast<unsigned char>(c - 0x10);
    else if (c == 0xFF)
      c = 0x9F;
    ch = static_cast<char>(c);
  }
}

void lowerCp1252(std::string& s) {
  for (char& ch : s) {
    unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
      c = static_cast<unsigned char>(c + 0x20);
    else if (c == 0x8A || c == 0x8C || c == 0x8E)
      c = static_cast<unsigned char>(c + 0x10);
    else if (c == 0x9F)
      c = 0xFF;
    ch = static_cast<char>(c);
  }
}

}  // namespace mostrador::dbf::keyexpr
