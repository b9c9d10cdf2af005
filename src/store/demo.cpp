#include "store/demo.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/fechas.h"
#include "base/reloj.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/catalogo.h"
#include "store/numeracion.h"

namespace mostrador::store {

TamanoDemo TamanoDemo::pequeno() { return {}; }

TamanoDemo TamanoDemo::mediano() {
  TamanoDemo t;
  t.productos = 5000;
  t.clientes = 1000;
  t.proveedores = 60;
  t.vendedores = 8;
  t.movimientos = 50000;
  t.remisiones = 600;
  t.facturas = 300;
  t.compras = 150;
  return t;
}

TamanoDemo TamanoDemo::grande() {
  TamanoDemo t;
  t.productos = 100000;
  t.clientes = 10000;
  t.proveedores = 300;
  t.vendedores = 20;
  t.movimientos = 1000000;
  t.remisiones = 4000;
  t.facturas = 2000;
  t.compras = 1000;
  return t;
}

namespace {

// splitmix64: small, fast and the same on every platform (the standard distributions
// are not), which keeps the data a function of the seed alone.
class Azar {
 public:
  explicit Azar(uint64_t semilla) : s_(semilla) {}
  uint64_t siguiente() {
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // Whole number in [a, b].
  long entre(long a, long b) {
    return a + static_cast<long>(siguiente() % static_cast<uint64_t>(b - a + 1));
  }
  double unidad() { return static_cast<double>(siguiente() >> 11) * (1.0 / 9007199254740992.0); }
  bool probable(double p) { return unidad() < p; }
  template <class T>
  const T& uno(const std::vector<T>& v) {
    return v[static_cast<size_t>(entre(0, static_cast<long>(v.size()) - 1))];
  }

 private:
  uint64_t s_;
};

uint64_t mezcla(uint64_t a, uint64_t b) {
  Azar r(a * 0x9E3779B97F4A7C15ULL ^ (b + 0x632BE59BD9B4E019ULL));
  return r.siguiente();
}

double redondea(double v, int decimales) {
  const double f = std::pow(10.0, decimales);
  return std::round(v * f) / f;
}

// Days since 1 March of year 0 (Hinnant's civil calendar), for date arithmetic.
long diasDesdeCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

dbf::Fecha civilDesdeDias(long z) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long y = yoe + era * 400;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {static_cast<int>(y + (m <= 2)), m, d};
}

std::string textoFecha(const dbf::Fecha& f) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d/%02d/%04d", f.dia, f.mes, f.anio);
  return b;
}

std::string textoHora(int segundos) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d:%02d:%02d", segundos / 3600, segundos / 60 % 60, segundos % 60);
  return b;
}

std::string rellena(long n, int ancho) {
  std::string s = std::to_string(n);
  return std::string(static_cast<size_t>(std::max(0, ancho - static_cast<int>(s.size()))), '0') + s;
}

// ---------------------------------------------------------------------------------
// Vocabulary of the shop.

struct Linea {
  const char* nombre;
  const char* prefijo;
  double iva;
  const char* unidad;
  double costoMin, costoMax;
  bool aGranel;  // sold by weight
  std::vector<std::string> bases;
  std::vector<std::string> presentaciones;
};

const std::vector<Linea>& lineas() {
  static const std::vector<Linea> v = {
      {"ABARROTES", "ABA", 0, "PZA", 8, 65, false,
       {"Arroz Súper Extra", "Frijol Negro", "Frijol Pinto", "Azúcar Estándar", "Harina de Trigo",
        "Lenteja", "Sal de Mesa", "Pasta para Sopa", "Avena en Hojuelas", "Aceite Vegetal",
        "Atún en Agua", "Sardina en Tomate", "Chiles Jalapeños", "Puré de Tomate", "Café Soluble",
        "Chocolate en Polvo", "Maíz Palomero", "Mayonesa", "Salsa Picante", "Consomé de Pollo"},
       {"250 g", "500 g", "1 kg", "2 kg", "900 ml", "140 g", "380 g"}},
      {"BEBIDAS", "BEB", 16, "PZA", 6, 35, false,
       {"Refresco de Cola", "Refresco de Naranja", "Refresco de Limón", "Agua Purificada",
        "Agua Mineral", "Jugo de Manzana", "Jugo de Naranja", "Bebida Isotónica", "Té Helado",
        "Néctar de Mango", "Néctar de Durazno"},
       {"355 ml", "600 ml", "1 L", "1.5 L", "2 L", "3 L"}},
      {"LACTEOS", "LAC", 0, "PZA", 10, 95, false,
       {"Leche Entera", "Leche Deslactosada", "Leche Light", "Yogur Natural", "Yogur de Fresa",
        "Queso Fresco", "Queso Oaxaca", "Crema Ácida", "Mantequilla", "Queso Manchego"},
       {"1 L", "250 g", "400 g", "900 g", "200 ml", "1 kg"}},
      {"LIMPIEZA", "LIM", 16, "PZA", 8, 70, false,
       {"Detergente en Polvo", "Jabón de Barra", "Cloro", "Limpiador Multiusos",
        "Suavizante de Telas", "Lavatrastes Líquido", "Fibra Verde", "Escoba", "Jerga",
        "Bolsas para Basura", "Aromatizante"},
       {"500 g", "1 kg", "1 L", "2 L", "950 ml", "1 pza", "paquete 10"}},
      {"HIGIENE", "HIG", 16, "PZA", 9, 140, false,
       {"Papel Higiénico", "Pasta Dental", "Jabón de Tocador", "Champú", "Desodorante",
        "Toallas Femeninas", "Pañales Etapa 3", "Rastrillo", "Crema Corporal", "Cepillo Dental"},
       {"4 rollos", "12 rollos", "100 ml", "150 g", "400 ml", "paquete 10", "paquete 40"}},
      {"BOTANAS", "BOT", 16, "PZA", 7, 45, false,
       {"Papas Fritas", "Cacahuates Japoneses", "Chicharrón de Harina", "Palomitas", "Totopos",
        "Galletas Saladas", "Mezcla de Nueces", "Pepitas", "Galletas Marías"},
       {"45 g", "100 g", "170 g", "340 g"}},
      {"DULCERIA", "DUL", 16, "PZA", 2, 60, false,
       {"Chocolate de Leche", "Paleta de Caramelo", "Chicles de Menta", "Gomitas", "Mazapán",
        "Caramelos Suaves", "Barra de Cereal", "Obleas con Cajeta"},
       {"1 pza", "bolsa 100 g", "caja 12 pzas", "30 g"}},
      {"FERRETERIA", "FER", 16, "PZA", 10, 180, false,
       {"Foco LED 9 W", "Cinta Aislante", "Pilas AA", "Pilas AAA", "Clavos de 2 pulgadas",
        "Pegamento Blanco", "Extensión Eléctrica", "Candado", "Desarmador Plano", "Cerillos"},
       {"1 pza", "paquete 4", "caja 100 g", "3 m"}},
      {"PAPELERIA", "PAP", 16, "PZA", 3, 120, false,
       {"Cuaderno Profesional", "Lápiz del 2", "Bolígrafo Azul", "Goma de Borrar",
        "Sacapuntas", "Pegamento en Barra", "Hojas Blancas Carta", "Fólder Tamaño Carta",
        "Tijeras Escolares", "Colores de Madera"},
       {"1 pza", "paquete 12", "paquete 100", "caja 24"}},
      {"FRUTAS Y VERDURAS", "FYV", 0, "KG", 10, 60, true,
       {"Jitomate", "Cebolla Blanca", "Papa Blanca", "Plátano", "Manzana Roja", "Limón",
        "Aguacate", "Zanahoria", "Chile Serrano", "Naranja", "Calabacita", "Pepino"},
       {"Primera", "Selecta", "Extra", "Orgánico"}},
      {"SALCHICHONERIA", "SAL", 0, "KG", 60, 180, true,
       {"Jamón de Pavo", "Salchicha de Pavo", "Tocino", "Chorizo", "Queso de Puerco",
        "Mortadela", "Pechuga de Pavo"},
       {"Rebanado", "Pieza", "Económico", "Premium"}},
      {"PANADERIA", "PAN", 0, "PZA", 3, 55, false,
       {"Pan Blanco de Caja", "Pan Integral", "Bolillo", "Concha", "Tortillas de Harina",
        "Tostadas", "Medias Noches"},
       {"680 g", "1 pza", "paquete 10", "paquete 8"}},
      {"MASCOTAS", "MAS", 16, "PZA", 15, 400, false,
       {"Alimento para Perro", "Alimento para Gato", "Arena para Gato", "Premios para Perro"},
       {"1 kg", "4 kg", "10 kg", "200 g"}},
  };
  return v;
}

const std::vector<std::string>& marcas() {
  static const std::vector<std::string> v = {
      "Doña Rosa", "El Buen Sabor", "La Cosecha", "Sol de Oro", "Valle Verde", "Monte Real",
      "La Esperanza", "Tres Ríos", "Campo Alegre", "Don Julián", "El Faro", "La Palma",
      "San Miguel", "Estrella", "Brisa del Mar", "La Antigua"};
  return v;
}

const std::vector<std::string>& nombres() {
  static const std::vector<std::string> v = {
      "José", "María", "Juan", "Guadalupe", "Francisco", "Ana", "Luis", "Patricia", "Carlos",
      "Rosa", "Jorge", "Verónica", "Miguel", "Alejandra", "Ricardo", "Gabriela", "Fernando",
      "Silvia", "Roberto", "Claudia", "Javier", "Leticia", "Sergio", "Adriana", "Raúl",
      "Mónica", "Eduardo", "Martha", "Alberto", "Laura", "Héctor", "Elena", "Arturo", "Sofía"};
  return v;
}

const std::vector<std::string>& apellidos() {
  static const std::vector<std::string> v = {
      "Hernández", "García", "Martínez", "López", "González", "Pérez", "Rodríguez", "Sánchez",
      "Ramírez", "Cruz", "Flores", "Gómez", "Morales", "Vázquez", "Reyes", "Jiménez", "Torres",
      "Díaz", "Gutiérrez", "Ruiz", "Mendoza", "Aguilar", "Ortiz", "Castillo", "Moreno",
      "Romero", "Álvarez", "Chávez", "Rivera", "Ramos", "Ibáñez", "Núñez"};
  return v;
}

const std::vector<std::string>& giros() {
  static const std::vector<std::string> v = {
      "Abarrotes", "Miscelánea", "Tienda", "Restaurante", "Cocina Económica", "Papelería",
      "Farmacia", "Taquería", "Cafetería", "Lonchería", "Ferretería", "Estética"};
  return v;
}

const std::vector<std::string>& nombresComerciales() {
  static const std::vector<std::string> v = {
      "La Esperanza", "El Sol", "Don Pepe", "Lupita", "Los Arcos", "San Rafael", "El Güero",
      "La Parroquia", "Del Centro", "La Providencia", "Santa Anita", "El Porvenir", "La Estrella",
      "Los Compadres", "Doña Mary", "El Rincón"};
  return v;
}

const std::vector<std::string>& calles() {
  static const std::vector<std::string> v = {
      "Juárez", "Hidalgo", "Morelos", "Reforma", "Insurgentes", "5 de Mayo", "Independencia",
      "Allende", "Zaragoza", "Madero", "Guerrero", "Obregón", "Revolución", "Constitución",
      "Las Flores", "Los Pinos", "Del Río", "Libertad", "Niños Héroes", "Pedro Moreno"};
  return v;
}

const std::vector<std::string>& colonias() {
  static const std::vector<std::string> v = {
      "Centro", "Las Águilas", "San José", "Jardines del Valle", "El Mirador", "La Estancia",
      "Santa María", "Lomas del Sur", "Del Valle", "Moderna", "Industrial", "Chapalita"};
  return v;
}

struct Poblacion {
  const char* nombre;
  int cpMin, cpMax;
};
const std::vector<Poblacion>& poblaciones() {
  static const std::vector<Poblacion> v = {
      {"Guadalajara, Jal.", 44100, 44990}, {"Zapopan, Jal.", 45010, 45238},
      {"Tlaquepaque, Jal.", 45500, 45640}, {"Tonalá, Jal.", 45400, 45430},
      {"Tlajomulco, Jal.", 45640, 45680}, {"Chapala, Jal.", 45900, 45920},
      {"Tepatitlán, Jal.", 47600, 47690}, {"Lagos de Moreno, Jal.", 47400, 47480}};
  return v;
}

const std::vector<std::string>& zonas() {
  static const std::vector<std::string> v = {"Norte", "Sur", "Oriente", "Poniente", "Centro"};
  return v;
}

char letraAzar(Azar& r) { return static_cast<char>('A' + r.entre(0, 25)); }

std::string rfc(Azar& r, bool moral) {
  std::string s;
  for (int i = 0; i < (moral ? 3 : 4); ++i) s += letraAzar(r);
  s += rellena(r.entre(50, 99), 2) + rellena(r.entre(1, 12), 2) + rellena(r.entre(1, 28), 2);
  for (int i = 0; i < 3; ++i)
    s += r.probable(0.5) ? letraAzar(r) : static_cast<char>('0' + r.entre(0, 9));
  return s;
}

std::string telefono(Azar& r) {
  return "33-" + rellena(r.entre(1000, 3999), 4) + "-" + rellena(r.entre(0, 9999), 4);
}

std::string ean13(const std::string& doce) {
  int suma = 0;
  for (size_t i = 0; i < 12; ++i) suma += (doce[i] - '0') * (i % 2 ? 3 : 1);
  return doce + static_cast<char>('0' + (10 - suma % 10) % 10);
}

struct Domicilio {
  std::string direccion, colonia, poblacion, cp;
};
Domicilio domicilio(Azar& r) {
  static const std::vector<std::string> tipos = {"Av.", "Calle", "Calle", "Blvd.", "Privada"};
  const Poblacion& p = r.uno(poblaciones());
  return {r.uno(tipos) + " " + r.uno(calles()) + " " + std::to_string(r.entre(1, 2999)),
          "Col. " + r.uno(colonias()), p.nombre, std::to_string(r.entre(p.cpMin, p.cpMax))};
}

std::string persona(Azar& r) {
  return r.uno(nombres()) + " " + r.uno(apellidos()) + " " + r.uno(apellidos());
}

// ---------------------------------------------------------------------------------
// Entities kept in memory while the history is generated.

struct Producto {
  std::string clave, codigo, descripcion, unidad;
  size_t linea = 0;
  double iva = 0, uempa = 1;
  double costoBase = 0, ulcos = 0, cprom = 0;
  std::array<double, 7> precio{}, margen{};
  double existencia = 0, stmin = 0, stmax = 0;
  size_t proveedor = 0, proveedor2 = 0;
  long ultimaCompra = -1, ultimaVenta = -1;  // day numbers
  double ventasImporte = 0, ventasCantidad = 0;
  dbf::Fecha alta{};
};

struct Cliente {
  std::string clave, nombre, rfc, telefono, zona, vendedor;
  Domicilio dom;
  int credito = 0, lista = 0;
  std::string estado = "A";
  double compras = 0, cargos = 0, abonos = 0, saldo = 0;
  long ultimaCompra = -1;
};

struct Proveedor {
  std::string clave, nombre, rfc, telefono, zona;
  Domicilio dom;
  int credito = 0;
  double utilidad = 0;
  double compras = 0, cargos = 0, abonos = 0, saldo = 0;
  long ultimaCompra = -1;
};

struct Vendedor {
  std::string clave, nombre, telefono, clase;
  double comision = 0;
};

const std::array<double, 7> kMargenes = {40, 35, 30, 25, 12, 22, 18};
const std::array<double, 7> kLimites = {6, 12, 24, 48, 999999, 999999, 999999};

// A table filled with its tags switched off: created bare, every record appended, then
// each tag added, which builds it from the records in one pass.
class Carga {
 public:
  Carga(std::string_view dir, const char* archivo) : def_(*buscaTabla(archivo)) {
    try {
      dbf::Table::drop(dir, def_.archivo);
    } catch (const dbf::Error&) {
      // Nothing to remove.
    }
    dbf::Table::create(dir, def_.archivo, def_.campos);
    t_.open(dir, def_.archivo, dbf::OpenMode::Exclusive);
  }
  ~Carga() {
    if (t_.isOpen()) t_.close();
  }
  dbf::Table& operator*() { return t_; }
  dbf::Table* operator->() { return &t_; }
  int campo(const char* nombre) { return t_.requireField(nombre); }
  void termina() {
    for (const auto& tag : def_.indices) t_.addTag(tag);
    t_.close();
  }

 private:
  const DefTabla& def_;
  dbf::Table t_;
};

// The time of day of the posting being written, for the sequencing stamp.
class RelojDemo : public base::Reloj {
 public:
  base::FechaHora ahora() const override { return instante; }
  base::FechaHora instante;
};

class Generador {
 public:
  Generador(std::string_view dir, const OpcionesDemo& o)
      : dir_(dir), o_(o), r_(mezcla(o.semilla, 0)) {
    hoy_ = diasDesdeCivil(o.hoy.anio, o.hoy.mes, o.hoy.dia);
    inicio_ = hoy_ - std::max(1, o.dias) + 1;
  }

  ResumenDemo genera() {
    creaVendedores();
    creaProveedores();
    creaClientes();
    creaProductos();
    historia();
    escribeProductos();
    escribeClientes();
    escribeProveedores();
    escribeVendedores();
    // The counters follow the documents just written.
    for (const auto& c : contadores()) base::borra(base::une(dir_, c.archivo));
    creaContadores(dir_);
    return resumen_;
  }

 private:
  dbf::Fecha fecha(long dia) const { return civilDesdeDias(dia); }
  void creaVendedores() {
    Azar r(mezcla(o_.semilla, 1));
    static const std::vector<std::string> clases = {"MOSTRADOR", "RUTA", "MAYOREO"};
    for (int i = 0; i < std::max(1, o_.tamano.vendedores); ++i) {
      Vendedor v;
      v.clave = "V" + rellena(i + 1, 2);
      v.nombre = persona(r);
      v.telefono = telefono(r);
      v.comision = static_cast<double>(r.entre(2, 10)) / 2.0;
      v.clase = r.uno(clases);
      vendedores_.push_back(std::move(v));
    }
  }

  void creaProveedores() {
    Azar r(mezcla(o_.semilla, 2));
    static const std::vector<std::string> tipos = {"Distribuidora", "Comercializadora",
                                                   "Abastecedora", "Grupo", "Productos"};
    static const std::vector<std::string> nombres = {
        "del Pacífico", "del Bajío", "de Occidente", "Los Altos", "Hermanos Ramírez",
        "La Central", "Mayoreo del Centro", "Alianza", "del Norte", "Tapatía", "del Valle",
        "Cosmos", "Nova", "San Juan", "El Águila"};
    for (int i = 0; i < std::max(1, o_.tamano.proveedores); ++i) {
      Proveedor p;
      p.clave = "P" + rellena(i + 1, 4);
      p.nombre = r.uno(tipos) + " " + r.uno(nombres) + " S.A. de C.V.";
      p.rfc = rfc(r, true);
      p.telefono = telefono(r);
      p.zona = r.uno(zonas());
      p.dom = domicilio(r);
      static const std::vector<int> creditos = {0, 8, 15, 30, 30, 45};
      p.credito = r.uno(creditos);
      p.utilidad = static_cast<double>(r.entre(20, 45));
      proveedores_.push_back(std::move(p));
    }
  }

  void creaClientes() {
    Azar r(mezcla(o_.semilla, 3));
    Cliente publico;
    publico.clave = "1";
    publico.nombre = "PUBLICO EN GENERAL";
    publico.rfc = "XAXX010101000";
    publico.dom = {"Conocido", "Col. Centro", "Guadalajara, Jal.", "44100"};
    publico.zona = "Centro";
    publico.vendedor = vendedores_.front().clave;
    clientes_.push_back(std::move(publico));
    for (int i = 1; i < std::max(1, o_.tamano.clientes); ++i) {
      Cliente c;
      c.clave = "C" + rellena(i + 1, 5);
      const bool moral = r.probable(0.4);
      c.nombre = moral ? r.uno(giros()) + " " + r.uno(nombresComerciales()) : persona(r);
      c.rfc = rfc(r, moral);
      c.telefono = telefono(r);
      c.dom = domicilio(r);
      c.zona = r.uno(zonas());
      c.vendedor = r.uno(vendedores_).clave;
      static const std::vector<int> creditos = {0, 0, 0, 7, 15, 30};
      c.credito = r.uno(creditos);
      c.lista = r.probable(0.5) ? 0 : static_cast<int>(r.entre(1, 7));
      c.estado = r.probable(0.03) ? "I" : "A";
      clientes_.push_back(std::move(c));
    }
    for (size_t i = 0; i < clientes_.size(); ++i)
      if (clientes_[i].credito > 0 && clientes_[i].estado == "A") credito_.push_back(i);
    if (credito_.empty()) credito_.push_back(0);
  }

  void creaProductos() {
    productos_.resize(static_cast<size_t>(std::max(1, o_.tamano.productos)));
    for (size_t i = 0; i < productos_.size(); ++i) {
      Azar r(mezcla(o_.semilla, 1000 + i));
      Producto& p = productos_[i];
      p.linea = static_cast<size_t>(r.entre(0, static_cast<long>(lineas().size()) - 1));
      const Linea& l = lineas()[p.linea];
      p.clave = std::string(l.prefijo) + rellena(static_cast<long>(i) + 1, 6);
      p.codigo = ean13("7501" + rellena(static_cast<long>(i) + 1, 8));
      p.descripcion = l.aGranel ? r.uno(l.bases) + " " + r.uno(l.presentaciones)
                                : r.uno(l.bases) + " " + r.uno(l.presentaciones) + " " + r.uno(marcas());
      p.descripcion = base::cortaCp1252(p.descripcion, ancho::kDescripcion);
      p.unidad = l.unidad;
      p.iva = l.iva;
      static const std::vector<double> empaques = {1, 6, 12, 12, 24};
      p.uempa = l.aGranel ? 1 : r.uno(empaques);
      p.costoBase = redondea(l.costoMin + (l.costoMax - l.costoMin) * r.unidad(), 2);
      p.ulcos = p.costoBase;
      for (size_t n = 0; n < 7; ++n) {
        p.margen[n] = kMargenes[n];
        p.precio[n] = redondea(p.costoBase * (1 + kMargenes[n] / 100.0), 2);
      }
      p.stmin = static_cast<double>(r.entre(2, 10));
      p.stmax = p.stmin * static_cast<double>(r.entre(4, 12));
      p.proveedor = static_cast<size_t>(r.entre(0, static_cast<long>(proveedores_.size()) - 1));
      p.proveedor2 = static_cast<size_t>(r.entre(0, static_cast<long>(proveedores_.size()) - 1));
      p.alta = fecha(inicio_ - r.entre(1, 900));
    }
  }

  // --- movements ------------------------------------------------------------------

  struct CamposMov {
    int cldoc, timov, clpro, descr, canti, cosun, punit, fedoc, fecha, refmo, nudoc, clprv,
        clcop, clven, nalma, banaf, exist, horaf, usuario, control;
  };

  void abreMovimientos() {
    mov_ = std::make_unique<Carga>(dir_, "movinven.dbf");
    Carga& c = *mov_;
    cm_ = {c.campo("CLDOC_MI"), c.campo("TIMOV_MI"), c.campo("CLPRO_MI"), c.campo("DESCR_MI"),
           c.campo("CANTI_MI"), c.campo("COSUN_MI"), c.campo("PUNIT_MI"), c.campo("FEDOC_MI"),
           c.campo("FECHA"),    c.campo("REFMO_MI"), c.campo("NUDOC_MI"), c.campo("CLPRV_MI"),
           c.campo("CLCOP_MI"), c.campo("CLVEN_MI"), c.campo("NALMA_MI"), c.campo("BANAF_MI"),
           c.campo("EXIST_MI"), c.campo("HORAF_F"),  c.campo("USUARIO"),  c.campo("CONTROL")};
  }

  struct Mov {
    long numero = 0;
    int tipo = 0;
    size_t producto = 0;
    double cantidad = 0, costo = 0, precio = 0;
    std::string referencia, documento, contraparte, vendedor, origen;
    long control = -1;
  };

  // Posts one movement: the stock and the average cost change by the posting rule.
  void mueve(const Mov& m) {
    Producto& p = productos_[m.producto];
    const double q = m.cantidad;
    if ((m.tipo == 51 || m.tipo == 57) && m.costo > 0) {
      p.cprom = p.existencia > 0 ? redondea((p.existencia * p.cprom + q * m.costo) / (p.existencia + q), 6)
                                 : m.costo;
    }
    p.existencia = redondea(m.tipo <= 50 ? p.existencia - q : p.existencia + q, 3);
    if (m.tipo == 1 || m.tipo == 3) {
      p.ultimaVenta = dia_;
      p.ventasCantidad = redondea(p.ventasCantidad + q, 3);
      p.ventasImporte = redondea(p.ventasImporte + q * m.precio, 4);
    }

    dbf::Table& t = **mov_;
    t.append();
    t.setInteger(cm_.cldoc, m.numero);
    t.setInteger(cm_.timov, m.tipo);
    t.setText(cm_.clpro, p.clave);
    t.setText(cm_.descr, p.descripcion);
    t.setFloat(cm_.canti, q);
    t.setFloat(cm_.cosun, m.costo);
    t.setFloat(cm_.punit, m.precio);
    t.setText(cm_.fedoc, textoFecha(fecha(dia_)));
    reloj_.instante = {{0, 0, 0}, {segundo_ / 3600, segundo_ / 60 % 60, segundo_ % 60, 0}};
    const dbf::Fecha f = fecha(dia_);
    t.setInteger(cm_.fecha, base::selloSecuencia({f.anio, f.mes, f.dia}, reloj_));
    if (!m.referencia.empty()) t.setText(cm_.refmo, m.referencia);
    if (!m.documento.empty()) t.setText(cm_.nudoc, m.documento);
    if (!m.contraparte.empty()) {
      t.setText(cm_.clprv, m.contraparte);
      t.setText(cm_.clcop, m.contraparte);
    }
    if (!m.vendedor.empty()) t.setText(cm_.clven, m.vendedor);
    t.setText(cm_.nalma, "1");
    if (!m.origen.empty()) t.setText(cm_.banaf, m.origen);
    t.setFloat(cm_.exist, p.existencia);
    t.setInteger(cm_.horaf, 0);
    t.setText(cm_.usuario, "0");
    if (m.control >= 0) t.setInteger(cm_.control, m.control);
    t.post();
    ++resumen_.movimientos;
  }

  size_t productoAzar() {
    return static_cast<size_t>(r_.entre(0, static_cast<long>(productos_.size()) - 1));
  }

  double cantidadVenta(const Producto& p) {
    if (lineas()[p.linea].aGranel) return static_cast<double>(r_.entre(25, 300)) / 100.0;
    return static_cast<double>(r_.probable(0.8) ? r_.entre(1, 3) : r_.entre(4, 12));
  }

  // A product that can sell q (stock permitting); tries a few before giving up.
  bool eligeVenta(size_t& producto, double& q) {
    for (int intento = 0; intento < 8; ++intento) {
      producto = productoAzar();
      q = cantidadVenta(productos_[producto]);
      if (productos_[producto].existencia >= q) return true;
    }
    return false;
  }

  void avanzaReloj() { segundo_ = std::min(segundo_ + static_cast<int>(r_.entre(5, 90)), 20 * 3600); }

  void historia() {
    abreMovimientos();
    Carga remision(dir_, "Remision.dbf"), remisiod(dir_, "Remisiod.dbf");
    Carga factura(dir_, "FacturaE.dbf"), facturad(dir_, "FacturaD.dbf");
    Carga compra(dir_, "ComprasE.dbf"), comprad(dir_, "ComprasD.dbf");
    Carga cobrar(dir_, "cucobrar.dbf"), pagar(dir_, "cuepagar.dbf");

    // Opening stock, one movement of type 57 per product on the first day.
    dia_ = inicio_;
    segundo_ = 8 * 3600;
    for (size_t i = 0; i < productos_.size(); ++i) {
      Producto& p = productos_[i];
      Mov m;
      m.numero = i / 100 + 1;
      m.tipo = 57;
      m.producto = i;
      m.cantidad = lineas()[p.linea].aGranel ? static_cast<double>(r_.entre(20, 120))
                                             : p.uempa * static_cast<double>(r_.entre(2, 20));
      m.costo = p.costoBase;
      m.precio = p.precio[0];
      m.referencia = "Inventario Inicial";
      mueve(m);
      p.ultimaCompra = dia_;
    }
    numeroMov_ = static_cast<long>(productos_.size() / 100) + 1;

    const TamanoDemo& t = o_.tamano;
    const long dias = hoy_ - inicio_ + 1;
    long rem = 0, fac = 0, com = 0;
    for (long d = 0; d < dias; ++d) {
      dia_ = inicio_ + d;
      segundo_ = 9 * 3600;
      // Documents stop a tenth of the history before today, so that the counter sales
      // of the last days absorb any day whose documents ran ahead of the schedule and
      // the movements end at the size asked for exactly.
      const long diasDoc = std::max(1L, dias - std::max(1L, dias / 10));
      const long hastaHoy = std::min(d + 1, diasDoc);
      const long remHoy = t.remisiones * hastaHoy / diasDoc - rem;
      const long facHoy = t.facturas * hastaHoy / diasDoc - fac;
      const long comHoy = t.compras * hastaHoy / diasDoc - com;
      for (long k = 0; k < comHoy; ++k) documentoCompra(++com, compra, comprad, pagar);
      for (long k = 0; k < remHoy; ++k) documentoVenta(false, ++rem, remision, remisiod, cobrar);
      for (long k = 0; k < facHoy; ++k) documentoVenta(true, ++fac, factura, facturad, cobrar);
      const long meta = static_cast<long>(productos_.size()) +
                        (t.movimientos - static_cast<long>(productos_.size())) * (d + 1) / dias;
      while (resumen_.movimientos < meta) movimientoManual(meta - resumen_.movimientos);
      if (o_.avance) o_.avance(d + 1, dias);
    }
    remision.termina();
    remisiod.termina();
    factura.termina();
    facturad.termina();
    compra.termina();
    comprad.termina();
    cobrar.termina();
    pagar.termina();
    mov_->termina();
    mov_.reset();
  }

  // Counter sales and the other manual movements: one movement number, 1 to 4 lines.
  void movimientoManual(long restantes) {
    avanzaReloj();
    struct Tipo {
      int tipo;
      double peso;
      const char* referencia;
    };
    static const Tipo tipos[] = {{3, 0.70, "Venta de mostrador"}, {53, 0.12, "Entrada de mercancía"},
                                 {4, 0.05, "Salida varios"},     {5, 0.04, "Merma"},
                                 {7, 0.04, "Consumo interno"},   {6, 0.025, "Ajuste"},
                                 {56, 0.025, "Ajuste"}};
    double x = r_.unidad();
    const Tipo* tipo = &tipos[0];
    for (const auto& t : tipos) {
      tipo = &t;
      if ((x -= t.peso) < 0) break;
    }
    const long lineasMov = std::min<long>(restantes, r_.entre(1, 4));
    const long numero = ++numeroMov_;
    const std::string vendedor = tipo->tipo == 3 ? r_.uno(vendedores_).clave : std::string();
    for (long k = 0; k < lineasMov; ++k) {
      Mov m;
      m.numero = numero;
      m.tipo = tipo->tipo;
      m.referencia = tipo->referencia;
      m.vendedor = vendedor;
      if (tipo->tipo <= 50) {
        size_t i;
        double q;
        if (!eligeVenta(i, q)) {
          // Nothing on the shelf: the stock is replenished instead.
          m.tipo = 53;
          m.referencia = "Entrada de mercancía";
          m.vendedor.clear();
          i = productoAzar();
          q = productos_[i].uempa * static_cast<double>(r_.entre(2, 6));
        }
        m.producto = i;
        m.cantidad = q;
      } else {
        m.producto = productoAzar();
        const Producto& p = productos_[m.producto];
        m.cantidad = lineas()[p.linea].aGranel ? static_cast<double>(r_.entre(5, 40))
                                               : p.uempa * static_cast<double>(r_.entre(1, 6));
      }
      const Producto& p = productos_[m.producto];
      m.costo = redondea(p.cprom, 4);
      m.precio = p.precio[0];
      if (m.tipo == 3) m.contraparte = "1";
      mueve(m);
    }
  }

  long selloAzar() { return r_.entre(0, 99999); }

  void documentoVenta(bool esFactura, long numero, Carga& encabezado, Carga& detalle,
                      Carga& cobrar) {
    avanzaReloj();
    const long control = selloAzar();
    size_t ic = 0;
    if (esFactura) {
      ic = r_.uno(credito_);
    } else if (r_.probable(0.25)) {
      ic = static_cast<size_t>(r_.entre(0, static_cast<long>(clientes_.size()) - 1));
    }
    Cliente& c = clientes_[ic];
    const Vendedor& v = r_.uno(vendedores_);
    const std::string numeroTexto = std::to_string(numero);
    const char letra = esFactura ? 'F' : 'R';
    const std::string ref = referenciaMovimiento(letra, numero, control);
    const std::string fechaTexto = textoFecha(fecha(dia_));

    double subtotal = 0, impuesto = 0, costo = 0;
    const long partidas = r_.entre(1, 6);
    for (long k = 0; k < partidas; ++k) {
      size_t i;
      double q;
      if (!eligeVenta(i, q)) {
        if (k > 0) break;
        q = 1;  // the one line a document needs: stock may go below zero
      }
      const Producto& p = productos_[i];
      const int lista = c.lista >= 1 ? c.lista : 1;
      const double precio = p.precio[static_cast<size_t>(lista - 1)];
      const double importe = redondea(precio * q, 4);
      subtotal += importe;
      impuesto += redondea(importe * p.iva / 100.0, 4);
      costo += redondea(p.cprom * q, 4);

      dbf::Table& d = *detalle;
      d.append();
      d.setText("CLDOC_FD", numeroTexto);
      d.setInteger("CONTROL", control);
      d.setText("CLPRO_FD", p.clave);
      d.setText("DEPRO_FD", p.descripcion);
      d.setFloat("CANTI_FD", q);
      d.setText("UNIDA_FD", p.unidad);
      d.setFloat("PUNPR_FD", precio);
      d.setFloat("IMPOR_FD", importe);
      d.setFloat("PDES1_FD", 0);
      d.setFloat("PREDE_FD", precio);
      d.setFloat("PIVA1_FD", p.iva);
      d.setFloat("PIVA2_FD", 1);
      d.setFloat("COPRO_FD", redondea(p.cprom, 4));
      d.setFloat("TICAM_FD", 1);
      d.setText("FEDOC_FD", fechaTexto);
      d.post();
      ++resumen_.partidas;

      Mov m;
      m.numero = ++numeroMov_;
      m.tipo = esFactura ? 1 : 3;
      m.producto = i;
      m.cantidad = q;
      m.costo = redondea(p.cprom, 4);
      m.precio = precio;
      m.documento = ref;
      m.contraparte = c.clave;
      m.vendedor = v.clave;
      m.origen = esFactura ? "F" : "";
      m.control = control;
      mueve(m);
    }
    subtotal = redondea(subtotal, 4);
    impuesto = redondea(impuesto, 4);
    const double total = redondea(subtotal + impuesto, 4);
    const bool aCredito = esFactura && c.credito > 0;
    // Credit invoices older than their terms are mostly paid by now.
    const bool pagada = !aCredito || (hoy_ - dia_ > c.credito && r_.probable(0.8));
    const double abono = pagada ? total : 0;

    dbf::Table& e = *encabezado;
    e.append();
    e.setInteger("CLDOC_F", numero);
    e.setInteger("CONTROL", control);
    e.setText("CLCLI_F", c.clave);
    e.setText("NOMBR_F", c.nombre);
    e.setText("DIREC_F", c.dom.direccion);
    e.setText("DIRE2_F", c.dom.colonia);
    e.setText("POBLA_F", c.dom.poblacion);
    e.setText("RFCXX_F", c.rfc);
    e.setText("CPXXX_F", c.dom.cp);
    e.setText("CLVEN_F", v.clave);
    e.setFloat("CTOVE_F", v.comision);
    e.setText("BCLIM_F", "1");
    e.setDate("FEDOC_F", fecha(dia_));
    e.setDate("FEENT_F", fecha(dia_));
    e.setDate("FEVEN_F", fecha(dia_ + (aCredito ? c.credito : 0)));
    e.setText("HORAX_F", textoHora(segundo_));
    e.setInteger("HORAF_F", 0);
    e.setFloat("SUBTO_F", subtotal);
    e.setFloat("DESFI_F", 0);
    e.setFloat("DECOT_F", 0);
    e.setFloat("IMIM1_F", 0);
    e.setFloat("IMIM2_F", impuesto);
    e.setFloat("IMTOD_F", total);
    e.setFloat("COSTO_F", redondea(costo, 4));
    e.setFloat("FPGCX_F", 0);
    e.setFloat("ABONO_F", abono);
    e.setFloat("SALDO_F", redondea(total - abono, 4));
    e.setFloat("CAMBI_F", 0);
    if (!aCredito) e.setText("PAGOX_F", "Pagada en 1");
    e.setFloat("DIVIS_F", 1);
    e.setText("NOMDI_F", "M.N.");
    e.setText("TREGI_F", "I");
    e.post();

    c.compras = redondea(c.compras + total, 4);
    c.ultimaCompra = dia_;
    if (esFactura) {
      ++resumen_.facturas;
      if (aCredito) {
        c.cargos = redondea(c.cargos + total, 4);
        c.abonos = redondea(c.abonos + abono, 4);
        c.saldo = redondea(c.saldo + total - abono, 4);
        asientoCobrar(cobrar, c, numeroTexto, "1", "C", total, total - abono, c.credito, "");
        if (pagada) asientoCobrar(cobrar, c, numeroTexto, "2", "A", total, 0, 0, "PAGO " + numeroTexto);
      }
    } else {
      ++resumen_.remisiones;
    }
  }

  void asientoCobrar(Carga& cobrar, const Cliente& c, const std::string& documento,
                     const char* tipo, const char* operacion, double importe, double saldo,
                     int diasCredito, const std::string& referencia) {
    dbf::Table& t = *cobrar;
    t.append();
    t.setText("CLCLI_CC", c.clave);
    t.setText("NUFAC_CC", documento);
    t.setText("NUREF_CC", referencia.empty() ? documento : referencia);
    t.setText("TIMOV_CC", tipo);
    t.setText("OPERA_CC", operacion);
    t.setFloat("IMCUE_CC", importe);
    t.setFloat("SALDO_CC", redondea(saldo, 4));
    t.setText("FEAPL_CC", textoFecha(fecha(dia_)));
    t.setText("FEVEN_CC", textoFecha(fecha(dia_ + diasCredito)));
    t.setText("CLVEN_CC", c.vendedor);
    t.post();
  }

  void documentoCompra(long numero, Carga& encabezado, Carga& detalle, Carga& pagar) {
    avanzaReloj();
    const long control = selloAzar();
    const size_t ip = static_cast<size_t>(r_.entre(0, static_cast<long>(proveedores_.size()) - 1));
    Proveedor& pr = proveedores_[ip];
    const std::string numeroTexto = std::to_string(numero);
    const std::string ref = referenciaMovimiento('O', numero, control);
    const std::string fechaTexto = textoFecha(fecha(dia_));

    double subtotal = 0, impuesto = 0;
    const long partidas = r_.entre(2, 8);
    for (long k = 0; k < partidas; ++k) {
      const size_t i = productoAzar();
      Producto& p = productos_[i];
      const double cajas = static_cast<double>(r_.entre(1, 10));
      const double q = lineas()[p.linea].aGranel ? cajas * 10 : cajas * p.uempa;
      const double costo = redondea(p.costoBase * (0.96 + 0.10 * r_.unidad()), 2);
      const double importe = redondea(costo * q, 4);
      subtotal += importe;
      impuesto += redondea(importe * p.iva / 100.0, 4);

      dbf::Table& d = *detalle;
      d.append();
      d.setText("CLDOC_OD", numeroTexto);
      d.setInteger("CONTROL", control);
      d.setText("CLPRO_OD", p.clave);
      d.setText("DESCR_OD", p.descripcion);
      d.setFloat("CANTI_OD", q);
      d.setFloat("CAJAS_OD", cajas);
      d.setFloat("CUNIT_OD", costo);
      d.setFloat("PODES_OD", 0);
      d.setFloat("PODE2_OD", 0);
      d.setFloat("PODE3_OD", 0);
      d.setFloat("POIVA_OD", p.iva);
      d.setFloat("PRECL_OD", p.precio[0]);
      if (p.linea == 2 || p.linea == 10) d.setText("CADUC_OD", textoFecha(fecha(dia_ + 30)));
      d.setText("FEDOC_OD", fechaTexto);
      d.setText("NALMA_OD", "1");
      d.post();
      ++resumen_.partidas;

      Mov m;
      m.numero = ++numeroMov_;
      m.tipo = 51;
      m.producto = i;
      m.cantidad = q;
      m.costo = costo;
      m.precio = p.precio[0];
      m.documento = ref;
      m.contraparte = pr.clave;
      m.origen = "C";
      m.control = control;
      mueve(m);
      p.ulcos = costo;
      p.ultimaCompra = dia_;
    }
    subtotal = redondea(subtotal, 4);
    impuesto = redondea(impuesto, 4);
    const double total = redondea(subtotal + impuesto, 4);
    const bool pagada = hoy_ - dia_ > pr.credito && r_.probable(0.85);
    const double abono = pagada ? total : 0;
    const std::string factura = "FAC-" + rellena(r_.entre(1, 99999), 5);

    dbf::Table& e = *encabezado;
    e.append();
    e.setInteger("CLDOC_O", numero);
    e.setInteger("CONTROL", control);
    e.setText("CLPRV_O", pr.clave);
    e.setText("NOMBR_O", pr.nombre);
    e.setText("DIREC_O", pr.dom.direccion);
    e.setText("POBLA_O", pr.dom.poblacion);
    e.setDate("FEDOC_O", fecha(dia_));
    e.setDate("FEPAG_O", fecha(dia_ + pr.credito));
    e.setDate("FEREC_O", fecha(dia_));
    e.setText("REFER_O", factura);
    e.setText("MONED_O", "M.N.");
    e.setFloat("DIVIS_O", 1);
    e.setFloat("SUBTO_O", subtotal);
    e.setFloat("TIMPU_O", impuesto);
    e.setFloat("TINDI_O", 0);
    e.setFloat("DTOTA_O", 0);
    e.setFloat("DFINT_O", 0);
    e.setFloat("IMPMO_O", total);
    e.setFloat("IMDOC_O", total);
    e.setFloat("ABONO_O", abono);
    e.setFloat("SALDO_O", redondea(total - abono, 4));
    e.setText("NALMA_O", "1");
    e.setText("TREGI_O", "S");
    e.setInteger("HORAF_F", 0);
    e.setText("USUARIO", "Administrador");
    e.post();
    ++resumen_.compras;

    pr.compras = redondea(pr.compras + total, 4);
    pr.cargos = redondea(pr.cargos + total, 4);
    pr.abonos = redondea(pr.abonos + abono, 4);
    pr.saldo = redondea(pr.saldo + total - abono, 4);
    pr.ultimaCompra = dia_;
    asientoPagar(pagar, pr, numero, factura, 51, "Compra", "C", total, total - abono, pr.credito);
    if (pagada) asientoPagar(pagar, pr, numero, factura, 2, "Abono", "A", total, 0, 0);
  }

  void asientoPagar(Carga& pagar, const Proveedor& p, long compra, const std::string& documento,
                    int tipo, const char* concepto, const char* operacion, double importe,
                    double saldo, int diasCredito) {
    dbf::Table& t = *pagar;
    t.append();
    t.setText("NUDOC_CP", documento);
    t.setInteger("NUCOM_CP", compra);
    t.setText("CLCLI_CP", p.clave);
    t.setText("CLPRO_CP", p.clave);
    t.setText("NOMBR_CP", p.nombre);
    t.setInteger("TIMOV_CP", tipo);
    t.setText("CONCE_CP", concepto);
    t.setText("OPERA_CP", operacion);
    t.setFloat("IMCUE_CP", importe);
    t.setFloat("SALDO_CP", redondea(saldo, 4));
    t.setText("FEAPL_CP", textoFecha(fecha(dia_)));
    t.setText("FEVEN_CP", textoFecha(fecha(dia_ + diasCredito)));
    t.post();
  }

  // --- catalogues -----------------------------------------------------------------

  void escribeProductos() {
    Carga c(dir_, "inventar.dbf");
    const char* precios[] = {"PPUBL_I", "PLIS2_I", "PLIS3_I", "PLIS4_I", "PMINI_I", "PLIS6_I", "PLIS7_I"};
    int fPrecio[7], fMargen[7], fLimite[7];
    for (int n = 0; n < 7; ++n) {
      fPrecio[n] = c.campo(precios[n]);
      fMargen[n] = c.campo(("PORC" + std::to_string(n + 1) + "_I").c_str());
      fLimite[n] = c.campo(("POLI" + std::to_string(n + 1) + "_I").c_str());
    }
    const int fClave = c.campo("CLPRO_I"), fCodigo = c.campo("CODIG_I"),
              fDescr = c.campo("DSCPR_I"), fUnidad = c.campo("UMEDI_I"),
              fLinea = c.campo("LIPRO_I"), fEmpaque = c.campo("UEMPA_I"),
              fFactor = c.campo("FACTO_I"), fAlmacen = c.campo("ALMAC_I"),
              fExist = c.campo("EXIST_I"), fMin = c.campo("STMIN_I"), fMax = c.campo("STMAX_I"),
              fUlcos = c.campo("ULCOS_I"), fCprom = c.campo("CPROM_I"),
              fTicos = c.campo("TICOS_I"), fIva = c.campo("PIVA1_I"),
              fDescu = c.campo("DESCU_I"), fPr1 = c.campo("CLPR1_I"), fPr2 = c.campo("CLPR2_I"),
              fUlc = c.campo("FEULC_I"), fUlv = c.campo("FEULV_I"), fAlta = c.campo("FEALT_I"),
              fUsuario = c.campo("HORAF_F"), fVanmo = c.campo("VANMO_I"),
              fVanca = c.campo("VANCA_I"), fSerie = c.campo("SERIE_I"),
              fKit = c.campo("KITXX_I"), fLitem = c.campo("LITEM_I");
    dbf::Table& t = *c;
    for (const Producto& p : productos_) {
      const Linea& l = lineas()[p.linea];
      t.append();
      t.setText(fClave, p.clave);
      t.setText(fCodigo, p.codigo);
      t.setText(fDescr, p.descripcion);
      t.setText(fUnidad, p.unidad);
      t.setText(fLinea, l.nombre);
      t.setFloat(fEmpaque, p.uempa);
      t.setFloat(fFactor, l.aGranel ? 1 : 0);  // only goods sold by weight go to the scale
      t.setText(fAlmacen, "1");
      t.setFloat(fExist, p.existencia);
      t.setFloat(fMin, p.stmin);
      t.setFloat(fMax, p.stmax);
      t.setFloat(fUlcos, p.ulcos);
      t.setFloat(fCprom, p.cprom);
      t.setText(fTicos, "PROM");
      t.setFloat(fIva, p.iva);
      t.setFloat(fDescu, 0);
      for (size_t n = 0; n < 7; ++n) {
        t.setFloat(fPrecio[n], p.precio[n]);
        t.setFloat(fMargen[n], p.margen[n]);
        t.setFloat(fLimite[n], kLimites[n]);
      }
      t.setText(fPr1, proveedores_[p.proveedor].clave);
      t.setText(fPr2, proveedores_[p.proveedor2].clave);
      if (p.ultimaCompra >= 0) t.setText(fUlc, textoFecha(fecha(p.ultimaCompra)));
      if (p.ultimaVenta >= 0) t.setText(fUlv, textoFecha(fecha(p.ultimaVenta)));
      t.setDate(fAlta, p.alta);
      t.setInteger(fUsuario, 0);
      t.setFloat(fVanmo, p.ventasImporte);
      t.setFloat(fVanca, p.ventasCantidad);
      t.setText(fSerie, "N");
      t.setText(fKit, "N");
      t.setText(fLitem, l.nombre);
      t.post();
      ++resumen_.productos;
    }
    c.termina();
  }

  void escribeClientes() {
    Carga c(dir_, "cliente.dbf");
    dbf::Table& t = *c;
    for (const Cliente& k : clientes_) {
      t.append();
      t.setText("CLCLI_C", k.clave);
      t.setText("NOMBR_C", k.nombre);
      t.setText("DIREC_C", k.dom.direccion);
      t.setText("DIRE2_C", k.dom.colonia);
      t.setText("POBLA_C", k.dom.poblacion);
      t.setText("CPXXX_C", k.dom.cp);
      t.setText("RFCXX_C", k.rfc);
      t.setText("TELEF_C", k.telefono);
      t.setText("ZONAX_C", k.zona);
      t.setText("CLVEN_C", k.vendedor);
      t.setInteger("DCRED_C", k.credito);
      if (k.lista >= 1) t.setInteger("PREPR_C", k.lista);
      if (k.ultimaCompra >= 0) t.setDate("FULCO_C", fecha(k.ultimaCompra));
      t.setFloat("COMPR_C", k.compras);
      t.setFloat("CARGO_C", k.cargos);
      t.setFloat("ABONO_C", k.abonos);
      t.setFloat("SALDO_C", k.saldo);
      t.setText("STATU_C", k.estado);
      t.post();
      ++resumen_.clientes;
    }
    c.termina();

    // A few customers buy some lines at a discount.
    Carga d(dir_, "ClieDesc.dbf");
    Azar r(mezcla(o_.semilla, 4));
    for (size_t i = 1; i < clientes_.size(); ++i) {
      if (!r.probable(0.05)) continue;
      d->append();
      d->setText("CLCLI_D", clientes_[i].clave);
      d->setText("LINEA_D", r.uno(lineas()).nombre);
      d->setFloat("DESCU_D", static_cast<double>(r.entre(2, 10)));
      d->post();
    }
    d.termina();
  }

  void escribeProveedores() {
    Carga c(dir_, "proveedo.dbf");
    dbf::Table& t = *c;
    for (const Proveedor& p : proveedores_) {
      t.append();
      t.setText("CLAVE_P", p.clave);
      t.setText("NOMBR_P", p.nombre);
      t.setText("DIREC_P", p.dom.direccion);
      t.setText("POBLA_P", p.dom.poblacion);
      t.setText("CPXXX_P", p.dom.cp);
      t.setText("RFCXX_P", p.rfc);
      t.setText("TELEF_P", p.telefono);
      t.setText("ZONAX_P", p.zona);
      t.setInteger("DCRED_P", p.credito);
      if (p.ultimaCompra >= 0) t.setText("FULCO_P", textoFecha(fecha(p.ultimaCompra)));
      t.setFloat("COMPR_P", p.compras);
      t.setFloat("CARGO_P", p.cargos);
      t.setFloat("ABONO_P", p.abonos);
      t.setFloat("SALDO_P", p.saldo);
      t.setFloat("POUTI_P", p.utilidad);
      t.setText("STATU_P", "A");
      t.post();
      ++resumen_.proveedores;
    }
    c.termina();
  }

  void escribeVendedores() {
    Carga c(dir_, "vendedor.dbf");
    dbf::Table& t = *c;
    for (const Vendedor& v : vendedores_) {
      t.append();
      t.setText("CLVEN_V", v.clave);
      t.setText("NOMBR_V", v.nombre);
      t.setText("TELEF_V", v.telefono);
      t.setFloat("COMIS_V", v.comision);
      t.setText("CLASV_V", v.clase);
      t.setText("STATU_V", "A");
      t.post();
      ++resumen_.vendedores;
    }
    c.termina();
  }

  std::string dir_;
  OpcionesDemo o_;
  Azar r_;
  long hoy_ = 0, inicio_ = 0, dia_ = 0;
  int segundo_ = 0;
  long numeroMov_ = 0;
  std::vector<Vendedor> vendedores_;
  std::vector<Proveedor> proveedores_;
  std::vector<Cliente> clientes_;
  std::vector<size_t> credito_;
  std::vector<Producto> productos_;
  std::unique_ptr<Carga> mov_;
  RelojDemo reloj_;
  CamposMov cm_{};
  ResumenDemo resumen_;
};

}  // namespace

ResumenDemo generaDemo(std::string_view dirDatos, const OpcionesDemo& o) {
  return Generador(dirDatos, o).genera();
}

}  // namespace mostrador::store
