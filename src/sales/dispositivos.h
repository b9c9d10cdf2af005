#pragma once
// The counter's devices as the engine sees them: a barcode reader on a serial port, a
// scale (through the clipboard of its reader program, or through the tare dialog's port
// exchange), and the barcodes printed by a labelling scale. Plain C++: the serial port
// and the clipboard are seams that ui/ realises with Qt and tests with pseudo-terminals
// or fakes.
//
// STATION FILES (system directory, Windows-1252 text, one value a line; all optional)
//
//   "\Serial.cnf"   1  "S": a barcode reader is attached to a serial port
//                   2  its port: "COM1" (the default) .. "COMn" -> /dev/ttyS(n-1); a
//                      local device path ("/dev/ttyUSB0") as is; any other name is
//                      taken below /dev ("ttyACM0" -> /dev/ttyACM0)
//                   3  its speed in bits per second (default 9600; a speed outside
//                      1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200 reads as
//                      9600). Always 8 data bits, no parity, 1 stop bit, no flow control.
//
//   "\Bascula.cnf"  1  the scale's port for the tare dialog's port reader (default "COM2",
//                      same names as above)
//                   2  its speed (default 9600, same rule)
//                   3  "S": codes read with the prefixes below are scale labels
//                   4  prefixes whose labels carry a weight in grams: two-digit numbers
//                      20..29 separated by commas, or ranges "20-24"
//                   5  prefixes whose labels carry a price in cents (same form)
//                      With line 3 "S" and lines 4 and 5 both empty every prefix 20..29
//                      is a weight label. A prefix on both lines is a weight label; a
//                      number outside 20..29 is ignored.
//
// EXCHANGE WITH THE PORT READER (system directory; what the tare dialog writes and reads)
//
//   "\puerto.dat"   written by the dialog: line 1 the port (as named in "\Bascula.cnf"),
//                   line 2 the speed. Writing it removes the previous "\puerto.num", so
//                   that a reading left over from another product is never taken.
//   "\puerto.num"   written by the port reader: line 1 the weight in kilograms; the
//                   reader in this program writes it with the mask "######0.00" ("1.25").
//                   Only the characters of a number are read from it.
//
// The port reader is either the station's companion program "AbrePuerto.exe" (when the
// programs table gives it a command) or LectorPuertoBascula below, run in this process.
//
// FRAMING
//   Barcode reader: a code is the printable characters up to CR, LF or CR LF; reads
//   that split a code are joined; other control bytes and bytes above 0x7E are noise and
//   dropped; blanks around a code are dropped; an empty code is none; a run of more than
//   kLargoMaximoCodigo characters without an end is garbage and dropped up to the next end.
//   Scale: a frame ends at CR or LF ("  1.234 kg\r\n", "ST,GS,+  1.234kg\r\n"); frames
//   starting "US" (unstable) or "OL" (overload) are skipped; of the others only the
//   characters of a number are kept (digits, "." and "-"), and a frame whose kept text is
//   not a number is garbage and skipped.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/importe.h"
#include "base/interaccion.h"
#include "base/programas.h"

namespace mostrador::sales {

// ---------------------------------------------------------------------------------------
// The serial port seam.

struct FalloPuerto {
  enum Tipo { Ninguno, NoExiste, Ocupado, SinPermiso, Perdido, Otro };
  Tipo tipo = Ninguno;
  std::string detalle;  // the system's own words, for Otro
  explicit operator bool() const { return tipo != Ninguno; }
};

class PuertoSerie {
 public:
  using AlRecibir = std::function<void(std::string_view bytes)>;
  using AlFallar = std::function<void(const FalloPuerto&)>;
  virtual ~PuertoSerie() = default;
  // Opens a local device at that speed, 8N1, no flow control. recibe gets the bytes as
  // they arrive, falla a failure after opening (a device unplugged); both are called on
  // the thread that runs the event loop, after abre has returned. Opening an open port
  // closes it first. Returns Ninguno when open.
  virtual FalloPuerto abre(const std::string& dispositivo, int velocidad, AlRecibir recibe,
                           AlFallar falla) = 0;
  virtual void cierra() = 0;
  virtual bool abierto() const = 0;
};

struct AjustePuerto {
  std::string puerto;  // as written in the station file ("COM1")
  int velocidad = 9600;
  friend bool operator==(const AjustePuerto&, const AjustePuerto&) = default;
};

// The local device of a port name (rules at the top); "" for an empty name.
std::string dispositivoPuerto(std::string_view puerto);
// A speed line: the number when it is one of the usual speeds, 9600 otherwise.
int velocidadPuerto(std::string_view texto);

// The message for a port that failed. quien names the device with its article ("el
// lector de códigos", "la báscula"):
//   "No se pudo conectar el lector de códigos: no existe el puerto serie COM3 (/dev/ttyS2)."
//   "No se pudo conectar la báscula: el puerto serie COM2 (/dev/ttyS1) está ocupado por otro programa."
//   "No se pudo conectar ...: no tiene permiso para usar el puerto serie ..."
//   "Se perdió la conexión con el lector de códigos en el puerto serie COM3 (/dev/ttyS2)."
//   "No se pudo conectar ...: el puerto serie ... no abrió (<detalle>)."
std::string mensajePuerto(std::string_view quien, const AjustePuerto& ajuste, const FalloPuerto& fallo);

inline constexpr std::string_view kQuienLector = "el lector de códigos";
inline constexpr std::string_view kQuienBascula = "la báscula";

// ---------------------------------------------------------------------------------------
// Framing.

inline constexpr size_t kLargoMaximoCodigo = 80;
inline constexpr size_t kLargoMaximoMarco = 64;

class MarcoCodigos {
 public:
  // The codes completed by these bytes, in order.
  std::vector<std::string> agrega(std::string_view bytes);
  void reinicia();

 private:
  std::string pendiente_;
  bool trasCR_ = false;      // a LF right after a CR ends nothing more
  bool descartando_ = false;  // inside an overlong run
};

class MarcoBascula {
 public:
  // The weights completed by these bytes, in order (any value; the caller applies the
  // threshold).
  std::vector<double> agrega(std::string_view bytes);
  // Frames that ended but held no weight (garbage, overlong runs); unstable and
  // overload frames are not counted.
  int rechazados() const { return rechazados_; }

 private:
  std::string pendiente_;
  bool descartando_ = false;
  int rechazados_ = 0;
};

// Only the characters of a number: digits, "." and "-" ("Peso: 1.234 kg" -> "1.234").
std::string soloNumero(std::string_view texto);
// The value of soloNumero(texto); nullopt when it is empty or not a number ("1.2.3", "-").
std::optional<double> valorNumero(std::string_view texto);

// ---------------------------------------------------------------------------------------
// The barcode reader on a serial port.

struct AjusteLectorSerial {
  bool activo = false;  // line 1 "S"
  AjustePuerto puerto{"COM1", 9600};
};
AjusteLectorSerial leeSerialCnf(std::string_view dirSistema);

class LectorSerial {
 public:
  using AlCodigo = std::function<void(const std::string& codigo)>;
  // alCodigo gets each code read, on the event loop's thread.
  LectorSerial(PuertoSerie& puerto, base::Interaccion& ui, AlCodigo alCodigo);
  ~LectorSerial();
  LectorSerial(const LectorSerial&) = delete;
  LectorSerial& operator=(const LectorSerial&) = delete;

  // Reads "\Serial.cnf" of the system directory and, when line 1 is "S", opens its port.
  // True when the port is open. False when the reader is off (nothing shown) or the port
  // failed: then mensajePuerto(kQuienLector, ...) is shown and the counter goes on with
  // the keyboard. A failure after opening (unplugged) is shown once and closes the port.
  bool abre(std::string_view dirSistema);
  bool abre(const AjustePuerto& ajuste);
  void cierra();
  bool abierto() const { return puerto_.abierto(); }
  const AjustePuerto& ajuste() const { return ajuste_; }

 private:
  PuertoSerie& puerto_;
  base::Interaccion& ui_;
  AlCodigo alCodigo_;
  MarcoCodigos marco_;
  AjustePuerto ajuste_;
};

// ---------------------------------------------------------------------------------------
// The scale through the clipboard of its reader program.

inline constexpr double kPesoMinimo = 0.02;  // a reading at or below it is an empty scale
inline constexpr std::string_view kProgramaBascula = "Scale.exe";

class Portapapeles {
 public:
  virtual ~Portapapeles() = default;
  virtual std::string texto() const = 0;
};

// One polling step on a clipboard text: the kept characters of a number when their value
// exceeds kPesoMinimo (what goes into the quantity field), nullopt otherwise.
std::optional<std::string> lecturaBascula(std::string_view portapapeles);

class SondeoBascula {
 public:
  static constexpr int kIntervaloMs = 500;
  explicit SondeoBascula(Portapapeles& portapapeles) : portapapeles_(portapapeles) {}

  void enciende(bool encendida) { encendida_ = encendida; }  // HabilitarBascula1
  bool encendida() const { return encendida_; }
  // While a sale is being closed (payment, save, print) the scale is not read.
  void cerrandoVenta(bool cerrando) { cerrando_ = cerrando; }

  // TimerBasculaTimer: the text for EditCantidad, or nullopt to leave it as it is.
  std::optional<std::string> sondea() const;

  // Starts "\Scale.exe" of the system directory without waiting (screen creation with
  // the scale on). A missing program comes back in the result and changes nothing else.
  static base::ResultadoPrograma iniciaPrograma(const base::TablaProgramas& programas,
                                                base::Procesos& procesos, std::string_view dirSistema);

 private:
  Portapapeles& portapapeles_;
  bool encendida_ = false;
  bool cerrando_ = false;
};

// ---------------------------------------------------------------------------------------
// "\Bascula.cnf", scale labels.

struct AjusteBascula {
  AjustePuerto puerto{"COM2", 9600};
  bool etiquetas = false;                // line 3 "S"
  std::vector<int> prefijosPeso;         // line 4 (all of 20..29 when 4 and 5 are empty)
  std::vector<int> prefijosPrecio;       // line 5
};
AjusteBascula leeBasculaCnf(std::string_view dirSistema);
// "20,21" / "20-24" -> the prefixes within 20..29, sorted, without repeats.
std::vector<int> leePrefijos(std::string_view linea);

// The check digit of twelve digits (EAN-13); -1 when the text is not twelve digits.
int digitoControlEan13(std::string_view doce);

struct EtiquetaBascula {
  std::string clave;       // the five item digits as printed ("00123")
  bool esPeso = true;
  double cantidad = 0;     // kilograms, for a weight label
  base::Importe importe;   // for a price label
  // The line quantity: the weight, or the amount over the unit price to three
  // decimals (0 when the price is not above 0).
  double cantidadCon(double precioUnitario) const;
};

struct LecturaEtiqueta {
  enum Estado { NoEsEtiqueta, Etiqueta, DigitoErroneo };
  Estado estado = NoEsEtiqueta;
  EtiquetaBascula etiqueta;
  std::string mensaje;  // DigitoErroneo: "La etiqueta de báscula <code> no es válida: ..."
};

// Layout "2P CCCCC VVVVV K": prefix 2P, item CCCCC, value VVVVV (grams or cents), EAN-13
// check K. Anything that is not thirteen digits with a configured prefix (or labels off)
// is NoEsEtiqueta and goes on as an ordinary code.
LecturaEtiqueta leeEtiquetaBascula(std::string_view codigo, const AjusteBascula& ajuste);

// ---------------------------------------------------------------------------------------
// The tare dialog's exchange and engine.

inline constexpr std::string_view kArchivoPeticionPuerto = "puerto.dat";
inline constexpr std::string_view kArchivoLecturaPuerto = "puerto.num";
inline constexpr std::string_view kProgramaPuerto = "AbrePuerto.exe";
inline constexpr std::string_view kMascaraPeso = "######0.00";

std::string formateaPeso(double kilos);
// Whether the station gives the companion port reader "AbrePuerto.exe" a command; when
// not, the tare dialog reads the scale itself.
bool hayProgramaPuerto(const base::TablaProgramas& programas);
// Starts "AbrePuerto.exe" of the system directory without waiting, once the request is
// written; "" when it started, otherwise why not.
std::string iniciaProgramaPuerto(const base::TablaProgramas& programas, base::Procesos& procesos,
                                 std::string_view dirSistema);
bool escribePeticionPuerto(std::string_view dirSistema, const AjustePuerto& ajuste);
std::optional<AjustePuerto> leePeticionPuerto(std::string_view dirSistema);
bool escribeLecturaPuerto(std::string_view dirSistema, double kilos);
std::optional<double> leeLecturaPuerto(std::string_view dirSistema);

inline constexpr std::string_view kPesoNoValido = "El peso capturado no es un número válido";
inline constexpr std::string_view kPesoCero = "El peso debe ser mayor que cero";
inline constexpr std::string_view kEsperandoBascula = "Esperando el peso de la báscula...";
inline constexpr std::string_view kBasculaMuda = "La báscula no envía el peso; captúrelo a mano.";
inline constexpr std::string_view kBasculaIlegible =
    "La báscula envía datos que no son un peso; captúrelo a mano.";
inline constexpr int kEsperaBasculaMs = 3000;

// What TFormaTara runs on: the product's figures, the exchange and the typed weight.
class Tara {
 public:
  struct Producto {
    double cantidad = 0;          // the line's quantity so far
    double factor = 0;            // FACTO_I
    double existenciaFactor = 0;  // EXIFA_I
    double existencia = 0;        // EXIST_I
  };
  Tara(std::string dirSistema, Producto producto);

  const Producto& producto() const { return producto_; }
  const AjusteBascula& ajuste() const { return ajuste_; }
  // The weight field's first text: the quantity so far through the mask.
  std::string textoInicial() const { return formateaPeso(producto_.cantidad); }

  // On show: writes "\puerto.dat" for the scale of "\Bascula.cnf". False when it cannot
  // be written (the weight is then typed).
  bool inicia();
  // Timer: a reading above kPesoMinimo that differs from the last one given, as the
  // weight field's text; nullopt leaves the field as the user has it.
  std::optional<std::string> sondea();
  // The status line after msEsperando milliseconds: "" once a weight came,
  // kEsperandoBascula at first, then kBasculaIlegible when the port reader saw only
  // garbage (rechazados > 0) or kBasculaMuda when it saw nothing.
  std::string estado(int msEsperando, int rechazados) const;
  // Accept: the weight typed or read; a text that is not a number shows kPesoNoValido,
  // one not above 0 shows kPesoCero, and both give nullopt (the dialog stays open).
  std::optional<double> acepta(std::string_view texto, base::Interaccion& ui) const;

 private:
  std::string dirSistema_;
  Producto producto_;
  AjusteBascula ajuste_;
  std::optional<double> ultima_;
};

// The port reader run in this process: reads the scale on the port named in
// "\puerto.dat" and writes each weight it frames to "\puerto.num".
class LectorPuertoBascula {
 public:
  LectorPuertoBascula(PuertoSerie& puerto, std::string dirSistema);
  ~LectorPuertoBascula();
  LectorPuertoBascula(const LectorPuertoBascula&) = delete;
  LectorPuertoBascula& operator=(const LectorPuertoBascula&) = delete;

  // "" when the port opened; otherwise mensajePuerto(kQuienBascula, ...), or
  // "No se encontró <dir>\puerto.dat" when there is no request.
  std::string abre();
  void cierra();
  bool abierto() const { return puerto_.abierto(); }
  int lecturas() const { return lecturas_; }
  int rechazados() const { return marco_.rechazados(); }
  // A failure after opening, as the message to show; "" while none.
  const std::string& fallo() const { return fallo_; }

 private:
  PuertoSerie& puerto_;
  std::string dirSistema_;
  MarcoBascula marco_;
  AjustePuerto ajuste_;
  int lecturas_ = 0;
  std::string fallo_;
};

}  // namespace mostrador::sales
