#include "store/dbf/locks.h"

#include <fcntl.h>
#include <time.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "store/dbf/dbf_table.h"

namespace mostrador::dbf::locks {
namespace {

int ofdLock(int fd, off_t offset, short type) {
  struct flock fl{};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = offset;
  fl.l_len = 1;
  fl.l_pid = 0;  // required by OFD locks
  int r;
  do {
    r = fcntl(fd, F_OFD_SETLK, &fl);
  } while (r < 0 && errno == EINTR);
  return r < 0 ? errno : 0;
}

}  // namespace

bool tryLock(int fd, off_t offset, Kind kind, const char* path) {
  int e = ofdLock(fd, offset, kind == Kind::Shared ? F_RDLCK : F_WRLCK);
  if (e == 0) return true;
  if (e == EAGAIN || e == EACCES) return false;
  throw Error("No se pudo bloquear la tabla " + std::string(path) + ": " + std::strerror(e), "lock", path, e);
}

bool lockWithRetry(int fd, off_t offset, Kind kind, const char* path, int maxMillis) {
  using clock = std::chrono::steady_clock;
  const auto limite = clock::now() + std::chrono::milliseconds(maxMillis);
  long esperaNs = 20'000;
  for (;;) {
    if (tryLock(fd, offset, kind, path)) return true;
    if (clock::now() >= limite) return false;
    // Short sleeps growing to 0.5 ms: the holder keeps the lock for a few system calls
    // (or one save), and a long sleep loses the turn to stations that poll sooner.
    timespec ts{0, esperaNs};
    nanosleep(&ts, nullptr);
    if (esperaNs < 500'000) esperaNs *= 2;
  }
}

void unlock(int fd, off_t offset) { ofdLock(fd, offset, F_UNLCK); }

}  // namespace mostrador::dbf::locks
