#pragma once
// Stations as real processes: a test forks one per station on the same files.

#include <sys/types.h>

#include <functional>

namespace mostrador::prueba {

// Runs f in a child process that never returns into the test runner. f's result is the
// exit status; an exception prints its text on stderr and exits with 99.
pid_t estacion(const std::function<int()>& f);

// Waits for a station: its exit status, or 100 + the signal that ended it.
int espera(pid_t p);

// One-byte signals between the test and a station (a pipe; made before the fork).
struct Canal {
  int fd[2];
  Canal();
  ~Canal();
  Canal(const Canal&) = delete;
  Canal& operator=(const Canal&) = delete;
  void avisa();
  void aguarda();
};

}  // namespace mostrador::prueba
