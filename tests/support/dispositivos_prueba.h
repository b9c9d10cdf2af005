#pragma once
// Real devices for the device tests, without hardware: a pseudo-terminal pair made by
// socat (one end is the port the code opens, the other plays the barcode reader or the
// scale), and a private CUPS scheduler whose queues write what they print to files.

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace mostrador::prueba {

// socat -d -d pty,raw,echo=0,link=<dir>/puerto pty,raw,echo=0,link=<dir>/aparato
class ParTerminales {
 public:
  ParTerminales();
  ~ParTerminales();
  ParTerminales(const ParTerminales&) = delete;
  ParTerminales& operator=(const ParTerminales&) = delete;

  // False when socat is missing or made no links in 5 s; error() says which.
  bool listo() const { return listo_; }
  const std::string& error() const { return error_; }
  // The end the code under test opens.
  std::string puerto() const { return dir_ + "/puerto"; }
  // What the device sends: written whole into the other end.
  bool envia(std::string_view bytes);
  // Ends socat: the port the code holds hangs up.
  void corta();

 private:
  std::string dir_;
  pid_t pid_ = -1;
  int aparato_ = -1;
  bool listo_ = false;
  std::string error_;
};

// cupsd -f -c <dir>/cupsd.conf -s <dir>/cups-files.conf listening only on the socket
// <dir>/cups.sock, as root with User lp. Queues are raw and print through a ten-line
// backend "archivo:" that appends each job to a file: the scheduler's own file: device
// needs the filter package this machine may not have.
class ServidorCups {
 public:
  ServidorCups();
  ~ServidorCups();
  ServidorCups(const ServidorCups&) = delete;
  ServidorCups& operator=(const ServidorCups&) = delete;

  // False when cupsd could not start here; error() says why.
  bool listo() const { return listo_; }
  const std::string& error() const { return error_; }
  // What CUPS_SERVER (or cupsSetServer) takes.
  std::string servidor() const { return dir_ + "/cups.sock"; }

  // A raw queue printing to <dir>/salida/<nombre>.bin; false with error() set.
  bool creaCola(const std::string& nombre);
  bool borraCola(const std::string& nombre);
  std::string archivoSalida(const std::string& nombre) const { return dir_ + "/salida/" + nombre + ".bin"; }
  // The bytes the queue has printed once there are at least `bytes` of them, or what
  // there is after 10 s.
  std::string salida(const std::string& nombre, size_t bytes) const;

 private:
  int corre(const std::vector<std::string>& argumentos, std::string* salida = nullptr) const;

  std::string dir_;
  pid_t pid_ = -1;
  bool listo_ = false;
  mutable std::string error_;
};

}  // namespace mostrador::prueba
