#include "base/programas.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include <gtest/gtest.h>

#include "base/rutas.h"
#include "base/texto.h"
#include "support/entorno.h"
#include "support/procesos_falsos.h"

using namespace mostrador;
using namespace mostrador::base;
using mostrador::prueba::DirectorioTemporal;
using mostrador::prueba::ProcesosFalsos;
namespace fs = std::filesystem;

using Palabras = std::vector<std::string>;

namespace {

const std::string kPropio = "/opt/mostrador/bin/mostrador";

// A table built as if exactly these commands were installed.
TablaProgramas tablaCon(std::set<std::string> instalados) {
  return TablaProgramas([instalados](std::string_view n) { return instalados.count(std::string(n)) > 0; },
                        kPropio);
}

// Waits (up to five seconds) for a file a program not waited for writes.
std::string esperaArchivo(const DirectorioTemporal& dir, const std::string& relativa) {
  for (int i = 0; i < 500; ++i) {
    std::error_code ec;
    if (fs::file_size(dir.ruta() / relativa, ec) > 0 && !ec) return dir.lee(relativa);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return "(no apareció)";
}

}  // namespace

TEST(TablaProgramas, KnowsAProgramByItsFileNameWhateverThePathAndCase) {
  EXPECT_EQ(TablaProgramas::clave("C:\\TVK\\AbrePuerto.exe"), "ABREPUERTO.EXE");
  EXPECT_EQ(TablaProgramas::clave("abrepuerto"), "ABREPUERTO.EXE");
  EXPECT_EQ(TablaProgramas::clave("\\Scale.exe"), "SCALE.EXE");
  EXPECT_EQ(TablaProgramas::clave("  \"C:\\Archivos de programa\\Office\\EXCEL.EXE\" "), "EXCEL.EXE");
  EXPECT_EQ(TablaProgramas::clave("/usr/bin/run.sh"), "RUN.SH");
  EXPECT_EQ(TablaProgramas::clave(""), "");
}

TEST(TablaProgramas, SplitsParametersByTheWindowsRules) {
  EXPECT_EQ(divideParametros(" -LUC -O \"BAR3.PRN\""), (Palabras{"-LUC", "-O", "BAR3.PRN"}));
  EXPECT_EQ(divideParametros("\"C:\\Mis Reportes\\ventas.xls\""), (Palabras{"C:\\Mis Reportes\\ventas.xls"}));
  EXPECT_EQ(divideParametros("C:\\RESPALDOS\\prue.zip   C:\\Datos\\*.*"),
            (Palabras{"C:\\RESPALDOS\\prue.zip", "C:\\Datos\\*.*"}));
  // An empty quoted word is a word; "" inside quotes and \" are quotes.
  EXPECT_EQ(divideParametros("a \"\" b"), (Palabras{"a", "", "b"}));
  EXPECT_EQ(divideParametros("\"dijo \"\"hola\"\"\" x\\\"y"), (Palabras{"dijo \"hola\"", "x\"y"}));
  // Backslashes before a quote halve; elsewhere they are literal.
  EXPECT_EQ(divideParametros("\"C:\\dir\\\\\" z"), (Palabras{"C:\\dir\\", "z"}));
  EXPECT_EQ(divideParametros("\t "), Palabras{});
}

TEST(TablaProgramas, DefaultsTakeTheFirstInstalledCandidate) {
  TablaProgramas t = tablaCon({"kcalc", "xcalc", "gedit", "xdg-open", "gnumeric", "zip"});
  EXPECT_EQ(t.comando("calc.exe"), (Palabras{"kcalc"}));
  EXPECT_EQ(t.comando("notepad.exe"), (Palabras{"gedit", "{args}"}));
  EXPECT_EQ(t.comando("C:\\Archivos de programa\\Microsoft Office\\Office\\EXCEL.EXE"),
            (Palabras{"gnumeric", "{args}"}));
  EXPECT_EQ(t.comando("pkzip"), (Palabras{"zip", "-q", "-j", "{args}"}));
  EXPECT_EQ(t.comando("\\CapturaR.exe"), (Palabras{kPropio, "--captura-rapida", "{args}"}));
  for (const char* p : {"\\Scale.exe", "\\BARRAS.exe", "DOSPrinter.exe", "AbrePuerto.exe"})
    EXPECT_EQ(t.comando(p), Palabras{}) << p;
  EXPECT_EQ(t.comando("winword.exe"), std::nullopt);

  TablaProgramas vacia = tablaCon({});
  EXPECT_EQ(vacia.comando("calc.exe"), Palabras{});
  EXPECT_EQ(vacia.comando("notepad.exe"), Palabras{});
  EXPECT_EQ(vacia.comando("pkzip"), Palabras{});
  EXPECT_EQ(vacia.comando("capturar"), (Palabras{kPropio, "--captura-rapida", "{args}"}));

  EXPECT_EQ(tablaCon({"libreoffice", "xdg-open"}).comando("excel"),
            (Palabras{"libreoffice", "--calc", "{args}"}));
  EXPECT_EQ(tablaCon({"xdg-open"}).comando("notepad"), (Palabras{"xdg-open", "{args}"}));
}

TEST(TablaProgramas, TheStationFileBesideTheInitialisationFileOverridesEntries) {
  DirectorioTemporal dir;
  EXPECT_EQ(TablaProgramas::rutaAjustes("c:\\TVK\\talvek.ini"), "c:\\TVK\\mostrador.ini");
  EXPECT_EQ(TablaProgramas::rutaAjustes("talvek.ini"), "mostrador.ini");
  ASSERT_TRUE(creaDirectorios("c:\\TVK"));
  ASSERT_TRUE(escribeLineas("c:\\TVK\\mostrador.ini",
                            {"; programas de esta estación", "[Programas]", "", "notepad=kate {args}",
                             "  C:\\TVK\\Scale.exe = /opt/báscula/lee \"--puerto\" /dev/ttyS0",
                             "DOSPrinter.exe=lp -d etiquetas -o raw bar3.prn", "calc.exe=",
                             "EXCEL.EXE=\"/opt/Hoja de Cálculo/hoja\" --abre {args} --fin",
                             "línea sin signo igual", "# NOTEPAD.EXE=nano", "NOTEPAD.EXE=gedit {args}",
                             "=huérfano"}));
  // The file is Windows-1252 on disk.
  ASSERT_NE(dir.lee("unidades/c/TVK/mostrador.ini").find("/opt/b\xE1scula/lee"), std::string::npos);

  TablaProgramas t = tablaCon({"kcalc", "zip"});
  ASSERT_TRUE(t.cargaAjustes(TablaProgramas::rutaAjustes("C:\\tvk\\TALVEK.INI")));
  EXPECT_EQ(t.comando("notepad.exe"), (Palabras{"gedit", "{args}"}));  // the last line wins
  EXPECT_EQ(t.comando("scale"), (Palabras{"/opt/báscula/lee", "--puerto", "/dev/ttyS0"}));
  EXPECT_EQ(t.comando("DOSPRINTER.EXE"), (Palabras{"lp", "-d", "etiquetas", "-o", "raw", "bar3.prn"}));
  EXPECT_EQ(t.comando("calc.exe"), Palabras{});  // an empty command takes the program away
  EXPECT_EQ(t.comando("excel.exe"), (Palabras{"/opt/Hoja de Cálculo/hoja", "--abre", "{args}", "--fin"}));
  EXPECT_EQ(t.comando("pkzip"), (Palabras{"zip", "-q", "-j", "{args}"}));  // untouched default

  TablaProgramas sinArchivo = tablaCon({"kcalc"});
  EXPECT_FALSE(sinArchivo.cargaAjustes("c:\\OTRO\\mostrador.ini"));
  EXPECT_EQ(sinArchivo.comando("calc.exe"), (Palabras{"kcalc"}));

  EXPECT_EQ(TablaProgramas::deEstacion("c:\\TVK\\talvek.ini").comando("DOSPrinter.exe"),
            (Palabras{"lp", "-d", "etiquetas", "-o", "raw", "bar3.prn"}));
}

TEST(TablaProgramas, ArgumentsGoWhereTheCommandSaysWithWindowsPathsMadeLocal) {
  DirectorioTemporal dir;
  const fs::path u = dir.ruta() / "unidades";
  dir.escribe("unidades/c/Reportes/leeme.txt", "x");
  dir.escribe("unidades/c/datos/B.dbf", "b");
  dir.escribe("unidades/c/datos/a.mdx", "a");
  dir.escribe("unidades/c/datos/sub/dentro.dbf", "d");
  dir.escribe("unidades/c/barras/bar3.prn", "p");

  TablaProgramas t = tablaCon({"zip"});
  t.asigna("EXCEL.EXE", {"/opt/Hoja de Cálculo/hoja", "--abre", "{args}", "--fin"});
  t.asigna("DOSPrinter.exe", {"lp", "-d", "etiquetas", "-o", "raw", "bar3.prn"});
  ProcesosFalsos procesos;

  // The spreadsheet gets the exported file, its folder found whatever its case.
  ResultadoPrograma r = t.inicia(procesos, "C:\\Archivos de programa\\Office\\EXCEL.EXE",
                                 "\"C:\\REPORTES\\Ventas de Mayo.xls\"", "", false);
  EXPECT_TRUE(r.iniciado);
  EXPECT_EQ(r.mensaje, "");
  ASSERT_EQ(procesos.llamadas.size(), 1u);
  EXPECT_EQ(procesos.llamadas[0].programa, "/opt/Hoja de Cálculo/hoja");
  EXPECT_EQ(procesos.llamadas[0].argumentos,
            (Palabras{"--abre", (u / "c/Reportes/Ventas de Mayo.xls").string(), "--fin"}));
  EXPECT_EQ(procesos.llamadas[0].directorio, "");
  EXPECT_FALSE(procesos.llamadas[0].espera);

  // The archiver's wildcard becomes the folder's files (not its folders), sorted.
  t.inicia(procesos, "pkzip", "C:\\RESPALDOS\\15-05-2024\\prue.zip C:\\Datos\\*.*", "", false);
  ASSERT_EQ(procesos.llamadas.size(), 2u);
  EXPECT_EQ(procesos.llamadas[1].programa, "zip");
  EXPECT_EQ(procesos.llamadas[1].argumentos,
            (Palabras{"-q", "-j", (u / "c/RESPALDOS/15-05-2024/prue.zip").string(), (u / "c/datos/B.dbf").string(),
                      (u / "c/datos/a.mdx").string()}));
  // A wildcard matching nothing stays one path for the program to complain about.
  auto p = t.prepara("pkzip", "C:\\x.zip C:\\Datos\\*.cnf", "");
  ASSERT_TRUE(p.orden);
  EXPECT_EQ(p.orden->argumentos, (Palabras{"-q", "-j", (u / "c/x.zip").string(), (u / "c/datos/*.cnf").string()}));

  // A command without {args} gets none; the directory is made local and waited in.
  t.inicia(procesos, "DOSPrinter.exe", " -LUC -O \"BAR3.PRN\"", "C:\\BARRAS", true);
  ASSERT_EQ(procesos.llamadas.size(), 3u);
  EXPECT_EQ(procesos.llamadas[2].programa, "lp");
  EXPECT_EQ(procesos.llamadas[2].argumentos, (Palabras{"-d", "etiquetas", "-o", "raw", "bar3.prn"}));
  EXPECT_EQ(procesos.llamadas[2].directorio, (u / "c/barras").string());
  EXPECT_TRUE(procesos.llamadas[2].espera);

  // The second capture window is this program.
  t.inicia(procesos, "C:\\TVK\\CapturaR.exe", "", "C:\\TVK", false);
  ASSERT_EQ(procesos.llamadas.size(), 4u);
  EXPECT_EQ(procesos.llamadas[3].programa, kPropio);
  EXPECT_EQ(procesos.llamadas[3].argumentos, (Palabras{"--captura-rapida"}));

  // A local command outside the table runs as itself.
  p = t.prepara("/usr/bin/localc", "\"C:\\Reportes\\leeme.txt\"", "");
  ASSERT_TRUE(p.orden);
  EXPECT_EQ(p.orden->programa, "/usr/bin/localc");
  EXPECT_EQ(p.orden->argumentos, (Palabras{(u / "c/Reportes/leeme.txt").string()}));
  p = t.prepara("xdg-open", "-x", "");
  ASSERT_TRUE(p.orden);
  EXPECT_EQ(p.orden->programa, "xdg-open");
}

TEST(TablaProgramas, AProgramWithoutCounterpartIsRefusedWithItsMessage) {
  DirectorioTemporal dir;
  TablaProgramas t = tablaCon({});
  ProcesosFalsos procesos;

  ResultadoPrograma r = t.inicia(procesos, "C:\\TVK\\AbrePuerto.exe", "", "C:\\TVK", false);
  EXPECT_FALSE(r.iniciado);
  EXPECT_EQ(r.codigo, -1);
  EXPECT_EQ(r.mensaje, "No hay un programa asignado a ABREPUERTO.EXE en este equipo; asígnelo en "
                       "c:\\TVK\\mostrador.ini");
  EXPECT_EQ(t.inicia(procesos, "C:\\Otros\\Raro.exe", "a", "", true).mensaje,
            "No hay un programa asignado a RARO.EXE en este equipo; asígnelo en c:\\TVK\\mostrador.ini");
  EXPECT_EQ(t.inicia(procesos, "  ", "", "", false).mensaje, "No se indicó el programa que debe iniciarse");
  EXPECT_TRUE(procesos.llamadas.empty());

  // The file the message names is the one the overrides came from.
  t.cargaAjustes("D:\\Estacion\\mostrador.ini");
  EXPECT_EQ(t.inicia(procesos, "calc", "", "", false).mensaje,
            "No hay una calculadora instalada en este equipo; instale una (por ejemplo, el paquete "
            "galculator o gnome-calculator) o asígnela a CALC.EXE en D:\\Estacion\\mostrador.ini");

  // A start the system refuses comes back with the command and the reason.
  t.asigna("notepad", {"gedit", "{args}"});
  procesos.respuesta = {false, -1, "no se encuentra el programa"};
  r = t.inicia(procesos, "notepad.exe", "C:\\TVK\\especial.cnf", "", false);
  EXPECT_FALSE(r.iniciado);
  EXPECT_EQ(r.mensaje, "No se pudo iniciar gedit: no se encuentra el programa");
  ASSERT_EQ(procesos.llamadas.size(), 1u);
}

// ---------------------------------------------------------------------------------------
// Real processes.

TEST(ProcesosPosix, EveryArgumentArrivesIntactWithoutAShell) {
  DirectorioTemporal dir;
  fs::create_directories(dir.ruta() / "trabajo");
  ProcesosPosix procesos;
  const std::string raro = "texto con  dos espacios, \"comillas\", 'apóstrofos', $HOME `id` ; rm -rf / *";
  ResultadoProceso r = procesos.inicia("sh", {"-c", "printf '%s|' \"$#\" \"$@\" > salida", "sh", raro, ""},
                                       (dir.ruta() / "trabajo").string(), true);
  EXPECT_TRUE(r.iniciado);
  EXPECT_EQ(r.codigo, 0);
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(dir.lee("trabajo/salida"), "2|" + raro + "||");
}

TEST(ProcesosPosix, WaitingGivesTheExitCode) {
  DirectorioTemporal dir;
  ProcesosPosix procesos;
  EXPECT_EQ(procesos.inicia("/bin/sh", {"-c", "exit 7"}, "", true).codigo, 7);
  EXPECT_EQ(procesos.inicia("sh", {"-c", "kill -TERM $$"}, "", true).codigo, 128 + 15);

  int llamadas = 0;
  ProcesosPosix atento([&] { return ++llamadas > 0; });
  ResultadoProceso r = atento.inicia("sh", {"-c", "sleep 0.2; exit 3"}, "", true);
  EXPECT_EQ(r.codigo, 3);
  EXPECT_GE(llamadas, 1);

  // Giving up the wait leaves the program running.
  ProcesosPosix impaciente([] { return false; });
  r = impaciente.inicia("sh", {"-c", "sleep 0.2; echo terminado > fin"}, dir.str(), true);
  EXPECT_TRUE(r.iniciado);
  EXPECT_EQ(r.codigo, -1);
  EXPECT_EQ(esperaArchivo(dir, "fin"), "terminado\n");
}

TEST(ProcesosPosix, AProgramNotWaitedForRunsOnAndIsNoChildOfOurs) {
  DirectorioTemporal dir;
  ProcesosPosix procesos;
  ResultadoProceso r = procesos.inicia("sh", {"-c", "echo $PPID > padre; sleep 0.1; echo listo > fin"}, dir.str(),
                                       false);
  EXPECT_TRUE(r.iniciado);
  EXPECT_EQ(r.codigo, -1);
  EXPECT_EQ(esperaArchivo(dir, "fin"), "listo\n");
  // Its parent was an intermediate child, already reaped (or init, once that one ended):
  // nothing of it is left for this process to wait for.
  const int padre = std::stoi(dir.lee("padre"));
  EXPECT_NE(padre, getpid());
  errno = 0;
  EXPECT_EQ(waitpid(padre, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST(ProcesosPosix, FailuresToStartAreReportedInSpanish) {
  DirectorioTemporal dir;
  ProcesosPosix procesos;
  for (bool espera : {true, false}) {
    ResultadoProceso r = procesos.inicia("no-existe-este-programa", {}, "", espera);
    EXPECT_FALSE(r.iniciado);
    EXPECT_EQ(r.codigo, -1);
    EXPECT_EQ(r.error, "no se encuentra el programa");

    r = procesos.inicia("/bin/true", {}, (dir.ruta() / "no" / "existe").string(), espera);
    EXPECT_FALSE(r.iniciado);
    EXPECT_EQ(r.error, "no se puede entrar al directorio " + (dir.ruta() / "no" / "existe").string());

    // Executable bits on a file that is no program: execve itself refuses it.
    dir.escribe("basura", std::string("\x7F\x01\x02garbage", 10));
    fs::permissions(dir.ruta() / "basura", fs::perms::owner_all);
    r = procesos.inicia((dir.ruta() / "basura").string(), {}, "", espera);
    EXPECT_FALSE(r.iniciado) << espera;
    EXPECT_EQ(r.error, "no es un programa ejecutable");
  }
  // Not executable at all: not found as a program.
  dir.escribe("texto.sh", "#!/bin/sh\necho hola > eco\n");
  EXPECT_EQ(procesos.inicia((dir.ruta() / "texto.sh").string(), {}, "", true).error,
            "no se encuentra el programa");
  // A relative path is taken from the current directory, not from the program's.
  fs::permissions(dir.ruta() / "texto.sh", fs::perms::owner_all);
  fs::create_directories(dir.ruta() / "otro");
  EXPECT_EQ(procesos.inicia("./texto.sh", {}, (dir.ruta() / "otro").string(), true).codigo, 0);
  EXPECT_EQ(dir.lee("otro/eco"), "hola\n");
}

TEST(ProcesosPosix, TheProgramInheritsNoOpenFileOfOurs) {
  DirectorioTemporal dir;
  dir.escribe("tabla.dbf", "datos");
  // As a table is opened: no close-on-exec.
  int abierto = open((dir.ruta() / "tabla.dbf").c_str(), O_RDWR);
  ASSERT_GE(abierto, 0);
  int fd = fcntl(abierto, F_DUPFD, 20);  // above the descriptors the start itself uses
  ASSERT_GE(fd, 20);
  ProcesosPosix procesos;
  const std::string prueba = "[ -e /proc/self/fd/1 ] || exit 2; [ -e /proc/self/fd/" + std::to_string(fd) +
                             " ] && exit 1; exit 0";
  EXPECT_EQ(procesos.inicia("sh", {"-c", prueba}, "", true).codigo, 0);
  close(fd);
  close(abierto);
}

TEST(TablaProgramas, ARealCompanionGetsTheCallersWordsAndLocalPaths) {
  DirectorioTemporal dir;
  ASSERT_TRUE(creaDirectorios("C:\\TVK"));
  TablaProgramas t = tablaCon({});
  t.asigna("ARGS.EXE", {"/bin/sh", "-c", "printf '%s|' \"$@\" > salida", "sh", "{args}"});
  ProcesosPosix procesos;
  ResultadoPrograma r = t.inicia(procesos, "C:\\TVK\\Args.exe", "\"uno dos\" tres \"\" C:\\Datos\\x.txt",
                                 "c:\\tvk", true);
  EXPECT_TRUE(r.iniciado);
  EXPECT_EQ(r.codigo, 0);
  EXPECT_EQ(dir.lee("unidades/c/TVK/salida"),
            "uno dos|tres||" + (dir.ruta() / "unidades/c/Datos/x.txt").string() + "|");

  t.asigna("ARGS.EXE", {"no-existe-este-programa"});
  r = t.inicia(procesos, "args", "", "", true);
  EXPECT_FALSE(r.iniciado);
  EXPECT_EQ(r.mensaje, "No se pudo iniciar no-existe-este-programa: no se encuentra el programa");
}
