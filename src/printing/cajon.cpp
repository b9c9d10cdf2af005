#include "printing/cajon.h"

#include <array>
#include <optional>

#include "printing/motor_formatos.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"

namespace mostrador::printing {
namespace {

// Code points of bytes 0x80-0xFF (IBM tables as the printers hold them).
constexpr std::array<char16_t, 128> k850 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};
// Code points of bytes 0x80-0xFF (IBM tables as the printers hold them).
constexpr std::array<char16_t, 128> k437 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// Decodes one UTF-8 character at i, advancing i. A malformed byte decodes as U+FFFD and
// so prints as "?".
char32_t tomaUtf8(std::string_view s, size_t& i) {
  const auto c = static_cast<unsigned char>(s[i]);
  auto cont = [&](size_t k) { return i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80; };
  auto bits = [&](size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(s[i + k]) & 0x3F); };
  char32_t r = 0xFFFD;
  if (c < 0x80) {
    r = c;
    i += 1;
  } else if ((c & 0xE0) == 0xC0 && cont(1)) {
    r = (static_cast<char32_t>(c & 0x1F) << 6) | bits(1);
    i += 2;
  } else if ((c & 0xF0) == 0xE0 && cont(1) && cont(2)) {
    r = (static_cast<char32_t>(c & 0x0F) << 12) | (bits(1) << 6) | bits(2);
    i += 3;
  } else if ((c & 0xF8) == 0xF0 && cont(1) && cont(2) && cont(3)) {
    r = (static_cast<char32_t>(c & 0x07) << 18) | (bits(1) << 12) | (bits(2) << 6) | bits(3);
    i += 4;
  } else {
    i += 1;
  }
  return r;
}

std::optional<unsigned char> byteDe(char32_t c, const std::array<char16_t, 128>& tabla) {
  for (size_t b = 0; b < tabla.size(); ++b)
    if (tabla[b] == c) return static_cast<unsigned char>(0x80 + b);
  return std::nullopt;
}

std::string lineaDe(const std::optional<std::vector<std::string>>& lineas, size_t n) {
  if (!lineas || lineas->size() < n) return {};
  return base::recortaBlancos((*lineas)[n - 1]);
}

}  // namespace

int seleccionUsual(PaginaCodigos pagina) {
  switch (pagina) {
    case PaginaCodigos::CP437: return 0;
    case PaginaCodigos::CP850: return 2;
    case PaginaCodigos::CP858: return 19;
    case PaginaCodigos::CP1252: return 16;
  }
  return 2;
}

AjusteRecibo leeAjusteRecibo(std::string_view dirSistema) {
  const auto lineas = base::leeLineas(base::une(dirSistema, "Recibo.cnf"));
  AjusteRecibo a;
  const std::string pagina = lineaDe(lineas, 1);
  if (pagina == "437") a.pagina = PaginaCodigos::CP437;
  else if (pagina == "858") a.pagina = PaginaCodigos::CP858;
  else if (pagina == "1252") a.pagina = PaginaCodigos::CP1252;
  a.seleccion = seleccionUsual(a.pagina);
  const std::string n = lineaDe(lineas, 2);
  if (!n.empty() && n.size() <= 3 && n.find_first_not_of("0123456789") == std::string::npos && std::stoi(n) <= 255)
    a.seleccion = std::stoi(n);
  a.cola = lineaDe(lineas, 3);
  if (a.cola.empty()) a.cola = std::string(kColaTicket);
  return a;
}

std::string codificaRecibo(std::string_view utf8, PaginaCodigos pagina) {
  if (pagina == PaginaCodigos::CP1252) return base::aCp1252(utf8);
  std::string bytes;
  bytes.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const char32_t c = tomaUtf8(utf8, i);
    if (c < 0x80) {
      bytes.push_back(static_cast<char>(c));
      continue;
    }
    std::optional<unsigned char> b;
    if (pagina == PaginaCodigos::CP437) {
      b = byteDe(c, k437);
    } else if (pagina == PaginaCodigos::CP858 && c == 0x20AC) {
      b = 0xD5;  // 858 is 850 with the euro in place of the dotless i
    } else if (!(pagina == PaginaCodigos::CP858 && c == 0x0131)) {
      b = byteDe(c, k850);
    }
    bytes.push_back(b ? static_cast<char>(*b) : '?');
  }
  return bytes;
}

std::string seleccionPagina(const AjusteRecibo& ajuste) {
  std::string s = "\x1Bt";
  s.push_back(static_cast<char>(static_cast<unsigned char>(ajuste.seleccion)));
  return s;
}

std::string inicioRecibo(const AjusteRecibo& ajuste) { return "\x1B@" + seleccionPagina(ajuste); }

std::string documentoRecibo(const std::vector<std::string>& lineas, const AjusteRecibo& ajuste) {
  std::string s = inicioRecibo(ajuste);
  for (const std::string& l : lineas) s += codificaRecibo(l, ajuste.pagina) + "\r\n";
  return s;
}

std::string mensajeSinCajon(std::string_view cola) {
  return "No se pudo abrir el cajón de dinero: la impresora de tickets \"" + std::string(cola) +
         "\" no está disponible.";
}

std::string mensajeSinRecibo(std::string_view cola) {
  return "No se pudo imprimir el ticket: la impresora de tickets \"" + std::string(cola) +
         "\" no está disponible.";
}

bool abreCajon(ColaCruda& cola, const AjusteRecibo& ajuste, base::Interaccion& ui) {
  if (cola.envia(ajuste.cola, kPulsoCajon, kDocumentoCajon)) return true;
  ui.mensaje(mensajeSinCajon(ajuste.cola));
  return false;
}

bool imprimeRecibo(ColaCruda& cola, const std::vector<std::string>& lineas, const AjusteRecibo& ajuste,
                   base::Interaccion& ui) {
  if (cola.envia(ajuste.cola, documentoRecibo(lineas, ajuste), kDocumentoRecibo)) return true;
  ui.mensaje(mensajeSinRecibo(ajuste.cola));
  return false;
}

}  // namespace mostrador::printing
