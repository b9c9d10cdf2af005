// The counter's devices without hardware: port names and messages, the framing of what
// a barcode reader and a scale send, the clipboard polling, the station files, scale
// labels and the tare dialog's exchange, all through a scripted serial port.

#include "sales/dispositivos.h"

#include <gtest/gtest.h>

#include "base/rutas.h"
#include "base/texto.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/procesos_falsos.h"

namespace mostrador::sales {
namespace {

using prueba::DirectorioTemporal;
using prueba::InteraccionFalsa;

// A serial port the test drives: it records how it was opened, answers with the failure
// set beforehand, and hands over bytes and failures as the device would.
class PuertoGuionado : public PuertoSerie {
 public:
  FalloPuerto respuesta;
  std::string dispositivo;
  int velocidad = 0;
  int aperturas = 0;

  FalloPuerto abre(const std::string& d, int v, AlRecibir recibe, AlFallar falla) override {
    ++aperturas;
    dispositivo = d;
    velocidad = v;
    if (respuesta) return respuesta;
    recibe_ = std::move(recibe);
    falla_ = std::move(falla);
    abierto_ = true;
    return {};
  }
  void cierra() override {
    abierto_ = false;
    recibe_ = nullptr;
    falla_ = nullptr;
  }
  bool abierto() const override { return abierto_; }

  void llegan(std::string_view bytes) {
    ASSERT_TRUE(recibe_) << "el puerto no está abierto";
    recibe_(bytes);
  }
  void falla(FalloPuerto f) {
    ASSERT_TRUE(falla_) << "el puerto no está abierto";
    AlFallar copia = falla_;
    copia(f);
  }

 private:
  AlRecibir recibe_;
  AlFallar falla_;
  bool abierto_ = false;
};

class PortapapelesFijo : public Portapapeles {
 public:
  std::string contenido;
  std::string texto() const override { return contenido; }
};

void escribe(const DirectorioTemporal& dir, const std::string& nombre, const std::vector<std::string>& lineas) {
  ASSERT_TRUE(base::escribeLineas(base::une(dir.str(), nombre), lineas));
}

TEST(PuertosSerie, WindowsNamesBecomeLocalDevicesAndSpeedsAreTheUsualOnes) {
  EXPECT_EQ(dispositivoPuerto("COM1"), "/dev/ttyS0");
  EXPECT_EQ(dispositivoPuerto(" com3: "), "/dev/ttyS2");
  EXPECT_EQ(dispositivoPuerto("\\\\.\\COM12"), "/dev/ttyS11");
  EXPECT_EQ(dispositivoPuerto("/dev/ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_EQ(dispositivoPuerto("ttyACM0"), "/dev/ttyACM0");
  EXPECT_EQ(dispositivoPuerto("COM0"), "/dev/COM0");
  EXPECT_EQ(dispositivoPuerto(""), "");

  EXPECT_EQ(velocidadPuerto("19200"), 19200);
  EXPECT_EQ(velocidadPuerto(" 115200 "), 115200);
  EXPECT_EQ(velocidadPuerto("1200"), 1200);
  EXPECT_EQ(velocidadPuerto("9601"), 9600);
  EXPECT_EQ(velocidadPuerto("-4800"), 9600);
  EXPECT_EQ(velocidadPuerto("rápido"), 9600);
  EXPECT_EQ(velocidadPuerto(""), 9600);
}

TEST(PuertosSerie, EachFailureHasItsSpanishMessage) {
  const AjustePuerto com3{"COM3", 9600};
  EXPECT_EQ(mensajePuerto(kQuienLector, com3, {FalloPuerto::NoExiste, {}}),
            "No se pudo conectar el lector de códigos: no existe el puerto serie COM3 (/dev/ttyS2).");
  EXPECT_EQ(mensajePuerto(kQuienBascula, {"COM2", 9600}, {FalloPuerto::Ocupado, {}}),
            "No se pudo conectar la báscula: el puerto serie COM2 (/dev/ttyS1) está ocupado por otro programa.");
  EXPECT_EQ(mensajePuerto(kQuienLector, {"/dev/ttyUSB0", 9600}, {FalloPuerto::SinPermiso, {}}),
            "No se pudo conectar el lector de códigos: no tiene permiso para usar el puerto serie /dev/ttyUSB0.");
  EXPECT_EQ(mensajePuerto(kQuienLector, com3, {FalloPuerto::Perdido, "Input/output error"}),
            "Se perdió la conexión con el lector de códigos en el puerto serie COM3 (/dev/ttyS2).");
  EXPECT_EQ(mensajePuerto(kQuienBascula, {"ttyACM0", 9600}, {FalloPuerto::Otro, "Invalid argument"}),
            "No se pudo conectar la báscula: el puerto serie ttyACM0 (/dev/ttyACM0) no abrió (Invalid argument).");
  EXPECT_EQ(mensajePuerto(kQuienLector, com3, {}), "");
}

TEST(MarcoDeCodigos, CodesEndAtCrLfOrCrLfAndPartialReadsAreJoined) {
  MarcoCodigos m;
  EXPECT_TRUE(m.agrega("75010").empty());
  EXPECT_EQ(m.agrega("31311309\r"), std::vector<std::string>{"7501031311309"});
  // The LF of that CR LF arrives in the next read and ends nothing more.
  EXPECT_EQ(m.agrega("\n5901234123457\n"), std::vector<std::string>{"5901234123457"});
  EXPECT_EQ(m.agrega("A1\rB2\r\nC3\n"), (std::vector<std::string>{"A1", "B2", "C3"}));
  // Blank lines and blanks around a code are not codes.
  EXPECT_EQ(m.agrega("\r\n\r\n  ABC-1 \r\n\n"), std::vector<std::string>{"ABC-1"});
}

TEST(MarcoDeCodigos, NoiseIsDroppedAndOverlongRunsAreDiscarded) {
  MarcoCodigos m;
  // STX/ETX framing, NUL padding and bytes of a wrong speed.
  EXPECT_EQ(m.agrega(std::string("\x02" "7501\x00" "234\x03\xFF\xC3\xB1\r\n", 15)),
            std::vector<std::string>{"7501234"});
  EXPECT_TRUE(m.agrega("\x1B\x07\xFE\r\n").empty());

  const std::string justo(kLargoMaximoCodigo, '7');
  EXPECT_EQ(m.agrega(justo + "\r\n"), std::vector<std::string>{justo});
  EXPECT_TRUE(m.agrega(justo + "8").empty());
  EXPECT_TRUE(m.agrega("99999\r\n").empty());  // the rest of the overlong run
  EXPECT_EQ(m.agrega("OK\r\n"), std::vector<std::string>{"OK"});

  m.agrega("medio");
  m.reinicia();
  EXPECT_EQ(m.agrega("123\n"), std::vector<std::string>{"123"});
}

TEST(MarcoDeBascula, WeightsAreTakenFromEitherFrameAndUnstableOnesAreSkipped) {
  MarcoBascula m;
  EXPECT_EQ(m.agrega("  1.234 kg\r\n"), std::vector<double>{1.234});
  EXPECT_EQ(m.agrega("ST,GS,+  1.234kg\r\n"), std::vector<double>{1.234});
  EXPECT_EQ(m.agrega("ST,NT,-  0.120kg\r\n"), std::vector<double>{-0.12});
  EXPECT_TRUE(m.agrega("US,GS,+  1.230kg\r\nOL,GS,+ 99.999kg\r\n").empty());
  EXPECT_EQ(m.agrega("  2.5"), std::vector<double>{});
  EXPECT_EQ(m.agrega("00 kg\r  0.000 kg\r"), (std::vector<double>{2.5, 0.0}));
  EXPECT_EQ(m.rechazados(), 0);

  EXPECT_TRUE(m.agrega("\xFF\xFE@@##\r\n").empty());
  EXPECT_TRUE(m.agrega("1.2.3 kg\n").empty());
  EXPECT_TRUE(m.agrega(std::string(kLargoMaximoMarco + 1, '5') + "\r\n").empty());
  EXPECT_EQ(m.rechazados(), 3);
  EXPECT_EQ(m.agrega("  0.750 kg\r\n"), std::vector<double>{0.75});
}

TEST(SondeoDeBascula, OnlyANumberAboveTwoHundredthsReplacesTheQuantity) {
  EXPECT_EQ(lecturaBascula("  1.234 kg"), "1.234");
  EXPECT_EQ(lecturaBascula("ST,GS,+001.500kg"), "001.500");
  EXPECT_EQ(lecturaBascula("0.021"), "0.021");
  EXPECT_EQ(lecturaBascula("0.02"), std::nullopt);
  EXPECT_EQ(lecturaBascula("0.00 kg"), std::nullopt);
  EXPECT_EQ(lecturaBascula("-5"), std::nullopt);
  EXPECT_EQ(lecturaBascula("Hola"), std::nullopt);
  EXPECT_EQ(lecturaBascula("1.2.3"), std::nullopt);
  EXPECT_EQ(lecturaBascula(""), std::nullopt);

  PortapapelesFijo p;
  p.contenido = "Peso: 0.850 kg";
  SondeoBascula s(p);
  EXPECT_EQ(s.sondea(), std::nullopt);  // scale off
  s.enciende(true);
  EXPECT_EQ(s.sondea(), "0.850");
  s.cerrandoVenta(true);
  EXPECT_EQ(s.sondea(), std::nullopt);
  s.cerrandoVenta(false);
  p.contenido = "texto copiado por el usuario";
  EXPECT_EQ(s.sondea(), std::nullopt);
}

TEST(SondeoDeBascula, TheReaderProgramIsStartedFromTheSystemDirectoryWithoutWaiting) {
  DirectorioTemporal dir;
  prueba::ProcesosFalsos procesos;
  base::TablaProgramas programas([](std::string_view) { return false; }, "/usr/bin/mostrador");
  programas.cargaAjustes(base::une(dir.str(), "mostrador.ini"));
  base::ResultadoPrograma r = SondeoBascula::iniciaPrograma(programas, procesos, dir.str());
  EXPECT_FALSE(r.iniciado);
  EXPECT_EQ(r.mensaje, "No hay un programa asignado a SCALE.EXE en este equipo; asígnelo en " +
                           base::une(dir.str(), "mostrador.ini"));
  EXPECT_TRUE(procesos.llamadas.empty());

  programas.asigna("Scale.exe", {"/opt/bascula/lee-bascula", "--portapapeles"});
  r = SondeoBascula::iniciaPrograma(programas, procesos, dir.str());
  EXPECT_TRUE(r.iniciado);
  ASSERT_EQ(procesos.llamadas.size(), 1u);
  EXPECT_EQ(procesos.llamadas[0].programa, "/opt/bascula/lee-bascula");
  EXPECT_EQ(procesos.llamadas[0].argumentos, std::vector<std::string>{"--portapapeles"});
  EXPECT_FALSE(procesos.llamadas[0].espera);
}

TEST(LectorSerialDeCodigos, SerialCnfNamesThePortAndSpeedAndEachCodeReachesTheCounter) {
  DirectorioTemporal dir;
  EXPECT_FALSE(leeSerialCnf(dir.str()).activo);
  EXPECT_EQ(leeSerialCnf(dir.str()).puerto, (AjustePuerto{"COM1", 9600}));

  escribe(dir, "Serial.cnf", {"S", "COM3", "19200"});
  PuertoGuionado puerto;
  InteraccionFalsa ui;
  std::vector<std::string> codigos;
  LectorSerial lector(puerto, ui, [&](const std::string& c) { codigos.push_back(c); });
  ASSERT_TRUE(lector.abre(dir.str()));
  EXPECT_EQ(puerto.dispositivo, "/dev/ttyS2");
  EXPECT_EQ(puerto.velocidad, 19200);
  EXPECT_TRUE(lector.abierto());

  puerto.llegan("750103");
  puerto.llegan("1311309\r");
  puerto.llegan("\n\x02" "5901234123457\x03\r\n");
  EXPECT_EQ(codigos, (std::vector<std::string>{"7501031311309", "5901234123457"}));
  EXPECT_TRUE(ui.llamadas().empty());

  lector.cierra();
  EXPECT_FALSE(puerto.abierto());
}

TEST(LectorSerialDeCodigos, OffOrFailingPortsLeaveTheKeyboardAloneWithOneMessage) {
  DirectorioTemporal dir;
  PuertoGuionado puerto;
  InteraccionFalsa ui;
  LectorSerial lector(puerto, ui, [](const std::string&) { ADD_FAILURE() << "no debía llegar un código"; });

  escribe(dir, "Serial.cnf", {"s", "COM2"});  // only an exact "S" is on
  EXPECT_FALSE(lector.abre(dir.str()));
  EXPECT_EQ(puerto.aperturas, 0);
  EXPECT_TRUE(ui.llamadas().empty());

  escribe(dir, "Serial.cnf", {"S", "COM2", "ligero"});
  puerto.respuesta = {FalloPuerto::Ocupado, {}};
  EXPECT_FALSE(lector.abre(dir.str()));
  EXPECT_EQ(puerto.velocidad, 9600);
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{
                               "No se pudo conectar el lector de códigos: el puerto serie COM2 (/dev/ttyS1) "
                               "está ocupado por otro programa."});
  EXPECT_FALSE(lector.abierto());

  ui.olvidaLlamadas();
  puerto.respuesta = {};
  ASSERT_TRUE(lector.abre(dir.str()));
  puerto.falla({FalloPuerto::Perdido, "Input/output error"});
  EXPECT_FALSE(lector.abierto());
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{
                               "Se perdió la conexión con el lector de códigos en el puerto serie COM2 (/dev/ttyS1)."});
}

TEST(EtiquetasDeBascula, BasculaCnfTurnsThemOnAndNamesWhichPrefixesCarryWhat) {
  EXPECT_EQ(leePrefijos("20, 21,25-27, 19, 30, 2x, 24-23"), (std::vector<int>{20, 21, 23, 24, 25, 26, 27}));
  EXPECT_EQ(leePrefijos(""), std::vector<int>{});
  EXPECT_EQ(leePrefijos("18-22"), (std::vector<int>{20, 21, 22}));

  DirectorioTemporal dir;
  AjusteBascula a = leeBasculaCnf(dir.str());
  EXPECT_EQ(a.puerto, (AjustePuerto{"COM2", 9600}));
  EXPECT_FALSE(a.etiquetas);

  escribe(dir, "Bascula.cnf", {"COM4", "4800", "S"});
  a = leeBasculaCnf(dir.str());
  EXPECT_EQ(a.puerto, (AjustePuerto{"COM4", 4800}));
  EXPECT_TRUE(a.etiquetas);
  EXPECT_EQ(a.prefijosPeso, (std::vector<int>{20, 21, 22, 23, 24, 25, 26, 27, 28, 29}));
  EXPECT_TRUE(a.prefijosPrecio.empty());

  escribe(dir, "Bascula.cnf", {"", "", "S", "20-21", "25,26"});
  a = leeBasculaCnf(dir.str());
  EXPECT_EQ(a.prefijosPeso, (std::vector<int>{20, 21}));
  EXPECT_EQ(a.prefijosPrecio, (std::vector<int>{25, 26}));
}

TEST(EtiquetasDeBascula, ALabelGivesTheItemAndItsWeightOrAmountWhenItsCheckDigitHolds) {
  EXPECT_EQ(digitoControlEan13("400638133393"), 1);
  EXPECT_EQ(digitoControlEan13("590123412345"), 7);
  EXPECT_EQ(digitoControlEan13("750103131130"), 9);
  EXPECT_EQ(digitoControlEan13("75010313113"), -1);
  EXPECT_EQ(digitoControlEan13("75010313113A"), -1);

  AjusteBascula a;
  a.etiquetas = true;
  a.prefijosPeso = {20, 21};
  a.prefijosPrecio = {21, 25};

  LecturaEtiqueta l = leeEtiquetaBascula("2000123012506", a);
  ASSERT_EQ(l.estado, LecturaEtiqueta::Etiqueta);
  EXPECT_EQ(l.etiqueta.clave, "00123");
  EXPECT_TRUE(l.etiqueta.esPeso);
  EXPECT_DOUBLE_EQ(l.etiqueta.cantidad, 1.25);
  EXPECT_DOUBLE_EQ(l.etiqueta.cantidadCon(80.0), 1.25);

  l = leeEtiquetaBascula("2504567039902", a);
  ASSERT_EQ(l.estado, LecturaEtiqueta::Etiqueta);
  EXPECT_EQ(l.etiqueta.clave, "04567");
  EXPECT_FALSE(l.etiqueta.esPeso);
  EXPECT_EQ(l.etiqueta.importe, base::Importe::deDiezmilesimos(399000));
  EXPECT_DOUBLE_EQ(l.etiqueta.cantidadCon(79.80), 0.5);
  EXPECT_DOUBLE_EQ(l.etiqueta.cantidadCon(120.0), 0.333);
  EXPECT_DOUBLE_EQ(l.etiqueta.cantidadCon(0), 0);

  // On both lists: a weight.
  l = leeEtiquetaBascula("2100001005009", a);
  ASSERT_EQ(l.estado, LecturaEtiqueta::Etiqueta);
  EXPECT_TRUE(l.etiqueta.esPeso);
  EXPECT_DOUBLE_EQ(l.etiqueta.cantidad, 0.5);

  l = leeEtiquetaBascula("2000123012505", a);
  EXPECT_EQ(l.estado, LecturaEtiqueta::DigitoErroneo);
  EXPECT_EQ(l.mensaje, "La etiqueta de báscula 2000123012505 no es válida: su dígito verificador no "
                       "corresponde. Vuelva a leerla.");

  // Ordinary codes go on as they are.
  EXPECT_EQ(leeEtiquetaBascula("7501031311309", a).estado, LecturaEtiqueta::NoEsEtiqueta);
  EXPECT_EQ(leeEtiquetaBascula("2200123012504", a).estado, LecturaEtiqueta::NoEsEtiqueta);
  EXPECT_EQ(leeEtiquetaBascula("200012301250", a).estado, LecturaEtiqueta::NoEsEtiqueta);
  EXPECT_EQ(leeEtiquetaBascula("20001230125O6", a).estado, LecturaEtiqueta::NoEsEtiqueta);
  a.etiquetas = false;
  EXPECT_EQ(leeEtiquetaBascula("2000123012506", a).estado, LecturaEtiqueta::NoEsEtiqueta);
}

TEST(IntercambioDelPuerto, PuertoDatAsksAndPuertoNumAnswersInTheWeightMask) {
  EXPECT_EQ(formateaPeso(0), "0.00");
  EXPECT_EQ(formateaPeso(1.2345), "1.23");
  EXPECT_EQ(formateaPeso(0.005), "0.01");
  EXPECT_EQ(formateaPeso(1234567.891), "1234567.89");

  DirectorioTemporal dir;
  dir.escribe("puerto.num", "9.99\r\n");
  ASSERT_TRUE(escribePeticionPuerto(dir.str(), {"COM2", 4800}));
  EXPECT_EQ(dir.lee("puerto.dat"), "COM2\r\n4800\r\n");
  EXPECT_FALSE(base::existe(base::une(dir.str(), "puerto.num")));
  EXPECT_EQ(leePeticionPuerto(dir.str()), (AjustePuerto{"COM2", 4800}));
  EXPECT_EQ(leeLecturaPuerto(dir.str()), std::nullopt);

  ASSERT_TRUE(escribeLecturaPuerto(dir.str(), 1.2345));
  EXPECT_EQ(dir.lee("puerto.num"), "1.23\r\n");
  EXPECT_EQ(leeLecturaPuerto(dir.str()), 1.23);
  dir.escribe("puerto.num", "  0.875 kg\r\n");
  EXPECT_EQ(leeLecturaPuerto(dir.str()), 0.875);
  dir.escribe("puerto.num", "ERR\r\n");
  EXPECT_EQ(leeLecturaPuerto(dir.str()), std::nullopt);
}

TEST(IntercambioDelPuerto, TheCompanionReaderIsStartedOnlyWhenTheStationNamesOne) {
  DirectorioTemporal dir;
  prueba::ProcesosFalsos procesos;
  base::TablaProgramas programas([](std::string_view) { return false; }, "/usr/bin/mostrador");
  programas.cargaAjustes(base::une(dir.str(), "mostrador.ini"));
  EXPECT_FALSE(hayProgramaPuerto(programas));
  EXPECT_EQ(iniciaProgramaPuerto(programas, procesos, dir.str()),
            "No hay un programa asignado a ABREPUERTO.EXE en este equipo; asígnelo en " +
                base::une(dir.str(), "mostrador.ini"));
  EXPECT_TRUE(procesos.llamadas.empty());

  programas.asigna("AbrePuerto.exe", {"/opt/bascula/puerto"});
  EXPECT_TRUE(hayProgramaPuerto(programas));
  EXPECT_EQ(iniciaProgramaPuerto(programas, procesos, dir.str()), "");
  ASSERT_EQ(procesos.llamadas.size(), 1u);
  EXPECT_EQ(procesos.llamadas[0].programa, "/opt/bascula/puerto");
  EXPECT_FALSE(procesos.llamadas[0].espera);
}

TEST(DialogoTara, ReadingsAboveTheThresholdFillTheWeightOnceAndTypedWeightsAreChecked) {
  DirectorioTemporal dir;
  escribe(dir, "Bascula.cnf", {"COM5", "2400"});
  dir.escribe("puerto.num", "3.00\r\n");  // left over from the last product
  Tara t(dir.str(), {0.5, 1, 2, 12.5});
  EXPECT_EQ(t.textoInicial(), "0.50");
  ASSERT_TRUE(t.inicia());
  EXPECT_EQ(dir.lee("puerto.dat"), "COM5\r\n2400\r\n");
  EXPECT_EQ(t.sondea(), std::nullopt);
  EXPECT_EQ(t.estado(100, 0), kEsperandoBascula);
  EXPECT_EQ(t.estado(kEsperaBasculaMs, 0), kBasculaMuda);
  EXPECT_EQ(t.estado(kEsperaBasculaMs, 2), kBasculaIlegible);

  dir.escribe("puerto.num", "0.02\r\n");
  EXPECT_EQ(t.sondea(), std::nullopt);
  dir.escribe("puerto.num", "1.5\r\n");
  EXPECT_EQ(t.sondea(), "1.50");
  EXPECT_EQ(t.sondea(), std::nullopt);  // the same reading does not overwrite typing
  EXPECT_EQ(t.estado(kEsperaBasculaMs, 2), "");
  dir.escribe("puerto.num", "2.25\r\n");
  EXPECT_EQ(t.sondea(), "2.25");

  InteraccionFalsa ui;
  EXPECT_EQ(t.acepta(" 2.25 ", ui), 2.25);
  EXPECT_EQ(t.acepta("dos", ui), std::nullopt);
  EXPECT_EQ(t.acepta("0.00", ui), std::nullopt);
  EXPECT_EQ(t.acepta("", ui), std::nullopt);
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{std::string(kPesoNoValido), std::string(kPesoCero),
                                                     std::string(kPesoNoValido)}));
}

TEST(LectorDelPuertoDeBascula, WritesEveryFramedWeightToPuertoNum) {
  DirectorioTemporal dir;
  PuertoGuionado puerto;
  LectorPuertoBascula lector(puerto, dir.str());
  EXPECT_EQ(lector.abre(), "No se encontró " + base::une(dir.str(), "puerto.dat"));
  EXPECT_EQ(puerto.aperturas, 0);

  ASSERT_TRUE(escribePeticionPuerto(dir.str(), {"COM2", 4800}));
  puerto.respuesta = {FalloPuerto::NoExiste, {}};
  EXPECT_EQ(lector.abre(), "No se pudo conectar la báscula: no existe el puerto serie COM2 (/dev/ttyS1).");

  puerto.respuesta = {};
  ASSERT_EQ(lector.abre(), "");
  EXPECT_EQ(puerto.dispositivo, "/dev/ttyS1");
  EXPECT_EQ(puerto.velocidad, 4800);
  puerto.llegan("ST,GS,+  0.7");
  EXPECT_FALSE(base::existe(base::une(dir.str(), "puerto.num")));
  puerto.llegan("50kg\r\nUS,GS,+  0.900kg\r\n@@\r\n");
  EXPECT_EQ(dir.lee("puerto.num"), "0.75\r\n");
  EXPECT_EQ(lector.lecturas(), 1);
  EXPECT_EQ(lector.rechazados(), 1);

  puerto.falla({FalloPuerto::Perdido, {}});
  EXPECT_FALSE(lector.abierto());
  EXPECT_EQ(lector.fallo(), "Se perdió la conexión con la báscula en el puerto serie COM2 (/dev/ttyS1).");
}

}  // namespace
}  // namespace mostrador::sales
