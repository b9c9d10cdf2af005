#include "base/moneda.h"

#include <gtest/gtest.h>

#include "base/rutas.h"
#include "support/entorno.h"

using namespace mostrador;
using namespace mostrador::base;
using mostrador::prueba::DirectorioTemporal;

namespace {

// One field as stored: length byte, Windows-1252 characters, zeros to the capacity.
std::string campo(const std::string& cp1252, size_t capacidad) {
  std::string r(1, static_cast<char>(cp1252.size()));
  r += cp1252;
  r.append(capacidad - cp1252.size(), '\0');
  return r;
}

std::string registro(const std::string& nombre, const std::string& valor, const std::string& singular,
                     const std::string& plural, const std::string& plural2, const std::string& abreviatura,
                     const std::string& simbolo) {
  return campo(nombre, 15) + campo(valor, 10) + campo(singular, 30) + campo(plural, 30) + campo(plural2, 30) +
         campo(abreviatura, 30) + campo(simbolo, 5);
}

const std::vector<Moneda> kMonedas = {
    {"M.N.", "1", "PESO", "PESOS", "PESOS", "M.N.", "$"},
    {"DLLS", "17.25", "DÓLAR", "DÓLARES", "DOLLARS", "USD", "US$"},
    {"", "", "", "", "", "", ""},  // an empty grid row
};

}  // namespace

TEST(Moneda, WritesFixedRecordsByteForByteAndReadsThemBack) {
  DirectorioTemporal dir;
  ASSERT_TRUE(creaDirectorios("C:\\Datos"));
  ASSERT_TRUE(escribeMonedas("C:\\Datos", kMonedas));

  const std::string esperado = registro("M.N.", "1", "PESO", "PESOS", "PESOS", "M.N.", "$") +
                               registro("DLLS", "17.25", "D\xD3LAR", "D\xD3LARES", "DOLLARS", "USD", "US$") +
                               std::string(157, '\0') /* empty texts: every length byte zero */;
  const std::string bytes = dir.lee("unidades/c/Datos/moneda.tvk");
  ASSERT_EQ(bytes.size(), 3u * 157);
  EXPECT_EQ(bytes, esperado);
  EXPECT_EQ(bytes.substr(157 + 151, 6), std::string("\x03US$\0\0", 6));  // symbol at offset 151

  EXPECT_EQ(leeMonedas("C:\\Datos"), kMonedas);
  EXPECT_EQ(rutaMonedas("C:\\Datos\\"), "C:\\Datos\\moneda.tvk");
}

TEST(Moneda, TextsAreCutToTheirCapacities) {
  DirectorioTemporal dir;
  ASSERT_TRUE(creaDirectorios("C:\\Datos"));
  Moneda larga{"Nombre de moneda largo", "12345678901", std::string(31, 'S'), "P", "Q", "A", "SIMBOLO"};
  ASSERT_TRUE(escribeMonedas("C:\\Datos", {larga}));
  std::vector<Moneda> leidas = leeMonedas("C:\\Datos");
  ASSERT_EQ(leidas.size(), 1u);
  EXPECT_EQ(leidas[0].nombre, "Nombre de moned");
  EXPECT_EQ(leidas[0].valor, "1234567890");
  EXPECT_EQ(leidas[0].singular, std::string(30, 'S'));
  EXPECT_EQ(leidas[0].simbolo, "SIMBO");
}

TEST(Moneda, LookupGivesTheFourWordsOrXx) {
  DirectorioTemporal dir;
  using Palabras = std::array<std::string, 4>;
  const Palabras xx{"xx", "xx", "xx", "xx"};
  // No file yet.
  EXPECT_EQ(palabrasMoneda("C:\\Datos", "M.N."), xx);

  // A file another writer left: a second "DLLS" further on and a partial record at the end.
  dir.escribe("unidades/c/datos/MONEDA.TVK",
              registro("M.N.", "1", "PESO", "PESOS", "PESOS MEXICANOS", "M.N.", "$") +
                  registro("DLLS", "17.25", "D\xD3LAR", "D\xD3LARES", "DOLLARS", "USD", "US$") +
                  registro("DLLS", "20", "OTRO", "OTROS", "OTROS", "OT", "O") +
                  registro("EURO", "19", "EURO", "EUROS", "EUROS", "EUR", "E").substr(0, 100));
  EXPECT_EQ(palabrasMoneda("C:\\Datos", "M.N."), (Palabras{"PESO", "PESOS", "PESOS MEXICANOS", "M.N."}));
  EXPECT_EQ(palabrasMoneda("C:\\Datos", "DLLS"), (Palabras{"DÓLAR", "DÓLARES", "DOLLARS", "USD"}));
  // Names compare exactly; the cut record is no currency.
  EXPECT_EQ(palabrasMoneda("C:\\Datos", "dlls"), xx);
  EXPECT_EQ(palabrasMoneda("C:\\Datos", "DLLS "), xx);
  EXPECT_EQ(palabrasMoneda("C:\\Datos", "EURO"), xx);
  EXPECT_EQ(leeMonedas("C:\\Datos").size(), 3u);

  auto dolar = buscaMoneda("C:\\Datos", "DLLS");
  ASSERT_TRUE(dolar);
  EXPECT_EQ(dolar->valor, "17.25");
  EXPECT_EQ(dolar->simbolo, "US$");
}
