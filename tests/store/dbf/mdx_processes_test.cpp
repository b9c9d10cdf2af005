// Several stations on one index file: real processes, as on a shop's network drive.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <set>
#include <thread>

#include "store/dbf/mdx_index.h"
#include "support/entorno.h"
#include "support/estaciones.h"

namespace mostrador::dbf {
namespace {

namespace fs = std::filesystem;
using Entry = MdxFile::Entry;

const std::vector<FieldDef> kFields = {{"CLAVE", 'C', 8, 0}, {"NUM", 'N', 10, 0}};
RecordLayout layout() { return RecordLayout::from(kFields); }
const std::vector<TagDef> kTags = {{"CLAVE", "CLAVE"}, {"NUM", "NUM"}};

std::string errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.what();
  }
  return "(sin error)";
}

std::string key(int writer, int i) {
  char k[16];
  std::snprintf(k, sizeof k, "P%d%06d", writer, i);
  return k;
}

TEST(MdxProcesses, FourWritersAndAReaderShareOneFile) {
  prueba::DirectorioTemporal dir;
  fs::path path = dir.ruta() / "compartido.mdx";
  MdxFile::create(path, kTags, layout());
  MdxFile before;  // opened before anybody writes
  before.open(path, layout());
  EXPECT_EQ(before.entryCount(0), 0u);

  std::vector<pid_t> writers;
  for (int w = 0; w < 4; ++w) {
    writers.push_back(mostrador::prueba::estacion([&, w] {
      MdxFile f;
      f.open(path, layout());
      KeyExpression num = f.expression(1);
      for (int i = 0; i < 2000; ++i) {
        uint32_t recno = uint32_t(w * 10000 + i + 1);
        f.beginWrite();
        f.insert(0, key(w, i), recno);
        f.insert(1, num.encodePrefix({double(recno)}), recno);
        f.endWrite();
      }
      return 0;
    }));
  }
  // A reader walks the tree while it changes: every walk must be in order.
  pid_t reader = mostrador::prueba::estacion([&] {
    MdxFile f;
    f.open(path, layout());
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (int walk = 0;; ++walk) {
      if (walk % 2) f.beginRead();
      uint64_t seen = 0;
      std::optional<Entry> prev;
      for (auto e = f.first(0); e; e = f.next(0, *e)) {
        if (prev && !(std::tie(prev->key, prev->recno) < std::tie(e->key, e->recno))) return 1;
        prev = e;
        ++seen;
      }
      if (walk % 2) f.endRead();
      if (seen == 8000) return 0;
      if (std::chrono::steady_clock::now() > deadline) return 2;
    }
  });
  for (pid_t pid : writers) EXPECT_EQ(mostrador::prueba::espera(pid), 0);
  EXPECT_EQ(mostrador::prueba::espera(reader), 0);

  EXPECT_EQ(before.entryCount(0), 8000u);
  EXPECT_EQ(before.entryCount(1), 8000u);
  KeyExpression num = before.expression(1);
  for (int w = 0; w < 4; ++w) {
    for (int i = 0; i < 2000; ++i) {
      uint32_t recno = uint32_t(w * 10000 + i + 1);
      ASSERT_EQ(before.seek(0, key(w, i)), (Entry{key(w, i), recno}));
      ASSERT_EQ(before.seek(1, num.encodePrefix({double(recno)}))->recno, recno);
    }
  }
  uint64_t walked = 0;
  for (auto e = before.first(1); e; e = before.next(1, *e)) ++walked;
  EXPECT_EQ(walked, 8000u);
}

TEST(MdxProcesses, ReadersAndWritersWaitForTheWriter) {
  prueba::DirectorioTemporal dir;
  fs::path path = dir.ruta() / "compartido.mdx";
  MdxFile::create(path, kTags, layout());
  MdxFile f;
  f.open(path, layout());
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t child = mostrador::prueba::estacion([&] {
    MdxFile g;
    g.open(path, layout());
    g.beginWrite();
    g.insert(0, "LENTO   ", 1);
    char c = 'x';
    if (write(ready[1], &c, 1) != 1) return 3;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    g.insert(0, "LENTO2  ", 2);
    g.endWrite();
    return 0;
  });
  char c;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  // The child holds the write: this read waits for it, then sees both entries and no
  // dirty mark.
  EXPECT_EQ(f.seek(0, "LENTO"), (Entry{"LENTO   ", 1}));
  EXPECT_EQ(f.entryCount(0), 2u);
  f.insert(0, "RAPIDO  ", 3);
  EXPECT_EQ(mostrador::prueba::espera(child), 0);
  EXPECT_EQ(f.last(0), (Entry{"RAPIDO  ", 3}));
  close(ready[0]);
  close(ready[1]);
}

TEST(MdxProcesses, AWriterKilledMidWriteLeavesTheFileTorn) {
  prueba::DirectorioTemporal dir;
  fs::path path = dir.ruta() / "compartido.mdx";
  MdxFile::create(path, kTags, layout());
  MdxFile before;
  before.open(path, layout());
  before.insert(0, "ANTES   ", 1);
  pid_t child = mostrador::prueba::estacion([&] {
    MdxFile g;
    g.open(path, layout());
    g.beginWrite();
    g.insert(0, "NUNCA   ", 2);
    _exit(0);  // dies without endWrite()
    return 0;
  });
  EXPECT_EQ(mostrador::prueba::espera(child), 0);
  const std::string torn = "Índice dañado: escritura interrumpida";
  EXPECT_EQ(errorOf([&] { before.first(0); }), torn);
  EXPECT_EQ(errorOf([&] { before.insert(0, "DESPUES ", 3); }), torn);
  EXPECT_EQ(errorOf([&] { before.beginRead(); }), torn);
  MdxFile after;
  EXPECT_EQ(errorOf([&] { after.open(path, layout()); }), torn);
  EXPECT_FALSE(after.isOpen());
  // Rebuilding (create) makes the file usable again for the open handle.
  MdxFile::create(path, kTags, layout());
  EXPECT_EQ(before.first(0), std::nullopt);
  before.insert(0, "DESPUES ", 3);
  after.open(path, layout());
  EXPECT_EQ(after.first(0), (Entry{"DESPUES ", 3}));
}

}  // namespace
}  // namespace mostrador::dbf
