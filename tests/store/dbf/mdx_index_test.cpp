#include "store/dbf/mdx_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <random>
#include <set>

#include "support/entorno.h"

namespace mostrador::dbf {
namespace {

namespace fs = std::filesystem;
using Entry = MdxFile::Entry;
using Ref = std::set<std::pair<std::string, uint32_t>>;

const std::vector<FieldDef> kFields = {
    {"CLAVE", 'C', 8, 0}, {"NUM", 'N', 10, 0}, {"FECHA", 'D', 8, 0}, {"NOMBRE", 'C', 30, 0}};

RecordLayout layout() { return RecordLayout::from(kFields); }

const std::vector<TagDef> kTags = {
    {"CLAVE", "CLAVE", false, false}, {"Num", "NUM", true, false}, {"desc", "CLAVE;FECHA", false, true}};

std::string errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.what();
  }
  return "(sin error)";
}

// Keys drawn from a pool, so that many records share a key; bytes above 0x7F and 0x00
// check that keys compare unsigned.
std::vector<std::string> keyPool(std::mt19937& rng, int length, int size) {
  static const std::string alphabet = std::string("\x00\x01" "AB\x7F\x80\xFE\xFF", 8);
  std::set<std::string> pool;
  while (int(pool.size()) < size) {
    std::string k;
    for (int i = 0; i < length; ++i) k += alphabet[rng() % alphabet.size()];
    pool.insert(k);
  }
  return {pool.begin(), pool.end()};
}

std::vector<Entry> entries(const Ref& ref) {
  std::vector<Entry> v;
  for (auto& [k, r] : ref) v.push_back({k, r});
  return v;
}

bool entryLess(const Entry& a, const Entry& b) {
  return std::tie(a.key, a.recno) < std::tie(b.key, b.recno);
}

// Compares the tag with the reference: both scans, counts, and seeks at every key
// boundary and at random prefixes.
void expectTag(const MdxFile& f, int tag, const Ref& ref, std::mt19937& rng) {
  f.beginRead();
  struct End {
    const MdxFile& f;
    ~End() { f.endRead(); }
  } end{f};
  std::vector<Entry> want = entries(ref);
  ASSERT_EQ(f.entryCount(tag), want.size());
  std::vector<Entry> got;
  for (auto e = f.first(tag); e; e = f.next(tag, *e)) {
    got.push_back(*e);
    ASSERT_LE(got.size(), want.size());
  }
  ASSERT_EQ(got, want);
  got.clear();
  for (auto e = f.last(tag); e; e = f.prior(tag, *e)) {
    got.push_back(*e);
    ASSERT_LE(got.size(), want.size());
  }
  std::reverse(got.begin(), got.end());
  ASSERT_EQ(got, want);
  if (want.empty()) {
    EXPECT_EQ(f.first(tag), std::nullopt);
    EXPECT_EQ(f.last(tag), std::nullopt);
    EXPECT_EQ(f.seek(tag, ""), std::nullopt);
    return;
  }

  // Every key boundary: the first and last entry of each key, and their neighbours.
  for (size_t i = 0; i < want.size();) {
    size_t j = i;
    while (j < want.size() && want[j].key == want[i].key) ++j;
    const std::string& k = want[i].key;
    ASSERT_EQ(f.seek(tag, k), want[i]);
    ASSERT_EQ(f.seekLast(tag, k), want[j - 1]);
    ASSERT_EQ(f.next(tag, want[j - 1]), j < want.size() ? std::optional(want[j]) : std::nullopt);
    ASSERT_EQ(f.prior(tag, want[i]), i > 0 ? std::optional(want[i - 1]) : std::nullopt);
    i = j;
  }

  // Random prefixes: seek is the first entry whose key, cut to the prefix length, is not
  // below it; seekLast the last one whose cut key is not above it.
  int keyLength = int(want[0].key.size());
  for (int probe = 0; probe < 1500; ++probe) {
    std::string prefix = want[rng() % want.size()].key;
    prefix.resize(rng() % (keyLength + 2), '\x41');
    if (!prefix.empty() && rng() % 2) prefix.back() = char(prefix.back() + (rng() % 2 ? 1 : -1));
    auto cut = [&](const Entry& e) { return e.key.substr(0, prefix.size()); };
    auto lo = std::partition_point(want.begin(), want.end(), [&](const Entry& e) { return cut(e) < prefix; });
    auto hi = std::partition_point(want.begin(), want.end(), [&](const Entry& e) { return cut(e) <= prefix; });
    ASSERT_EQ(f.seek(tag, prefix), lo == want.end() ? std::nullopt : std::optional(*lo));
    ASSERT_EQ(f.seekLast(tag, prefix), hi == want.begin() ? std::nullopt : std::optional(*(hi - 1)));
  }

  // Moves from positions that are not in the tree land on the neighbours.
  for (int probe = 0; probe < 300; ++probe) {
    Entry at{want[rng() % want.size()].key, uint32_t(rng() % 3000000)};
    if (ref.count({at.key, at.recno})) continue;
    auto after = std::upper_bound(want.begin(), want.end(), at, entryLess);
    ASSERT_EQ(f.next(tag, at), after == want.end() ? std::nullopt : std::optional(*after));
    ASSERT_EQ(f.prior(tag, at), after == want.begin() ? std::nullopt : std::optional(*(after - 1)));
  }
}

TEST(MdxFile, MatchesAReferenceThroughInsertsErasesAndReopening) {
  prueba::DirectorioTemporal dir;
  fs::path path = dir.ruta() / "prueba.mdx";
  MdxFile::create(path, kTags, layout());
  MdxFile f;
  f.open(path, layout());
  ASSERT_EQ(f.tags().size(), 3u);

  std::mt19937 rng(20260108);
  std::vector<Ref> ref(3);
  std::vector<std::vector<std::string>> pools;
  for (int t = 0; t < 3; ++t) pools.push_back(keyPool(rng, f.expression(t).length(), 3000));
  for (int batch = 0; batch < 120; ++batch) {
    f.beginWrite();
    for (int i = 0; i < 1000; ++i) {
      int t = int(rng() % 3);
      std::string k = pools[size_t(t)][rng() % pools[size_t(t)].size()];
      uint32_t recno = uint32_t(rng() % 2000000) + 1;
      f.insert(t, k, recno);
      ref[size_t(t)].insert({k, recno});
    }
    f.endWrite();
  }
  // Inserting an entry that is already there changes nothing.
  auto some = *ref[0].begin();
  f.insert(0, some.first, some.second);
  for (int t = 0; t < 3; ++t) expectTag(f, t, ref[size_t(t)], rng);

  f.beginWrite();
  for (int t = 0; t < 3; ++t) {
    std::vector<std::pair<std::string, uint32_t>> all(ref[size_t(t)].begin(), ref[size_t(t)].end());
    std::shuffle(all.begin(), all.end(), rng);
    for (size_t i = 0; i < all.size() / 2; ++i) {
      f.erase(t, all[i].first, all[i].second);
      ref[size_t(t)].erase(all[i]);
    }
    f.erase(t, all[0].first, all[0].second);  // absent now: no-op
  }
  f.endWrite();
  for (int t = 0; t < 3; ++t) expectTag(f, t, ref[size_t(t)], rng);

  f.close();
  EXPECT_FALSE(f.isOpen());
  MdxFile again;
  again.open(path, layout());
  for (int t = 0; t < 3; ++t) expectTag(again, t, ref[size_t(t)], rng);
}

TEST(MdxFile, EmptiedTreesGiveTheirPagesBack) {
  prueba::DirectorioTemporal dir;
  fs::path path = dir.ruta() / "prueba.mdx";
  MdxFile::create(path, {kTags[0]}, layout());
  MdxFile f;
  f.open(path, layout());
  std::mt19937 rng(3);
  EXPECT_EQ(f.first(0), std::nullopt);
  EXPECT_EQ(f.last(0), std::nullopt);
  EXPECT_EQ(f.seek(0, "A"), std::nullopt);
  EXPECT_EQ(f.seekLast(0, "A"), std::nullopt);
  EXPECT_EQ(f.next(0, {"AAAAAAAA", 1}), std::nullopt);

  auto fill = [&](Ref& ref) {
    rng.seed(5);  // the same keys every time: the same tree shape
    f.beginWrite();
    for (uint32_t i = 0; i < 30000; ++i) {
      char k[9];
      std::snprintf(k, sizeof k, "%08u", uint32_t(rng() % 100000000));
      f.insert(0, k, i);
      ref.insert({k, i});
    }
    f.endWrite();
  };
  Ref ref;
  fill(ref);
  uintmax_t full = fs::file_size(path);
  // Erase in random order until empty: leaves, parents and the root are handed back.
  std::vector<std::pair<std::string, uint32_t>> all(ref.begin(), ref.end());
  std::shuffle(all.begin(), all.end(), rng);
  f.beginWrite();
  for (size_t i = 0; i < all.size(); ++i) {
    f.erase(0, all[i].first, all[i].second);
    ref.erase(all[i]);
    if (i == all.size() - 100) {
      f.endWrite();
      expectTag(f, 0, ref, rng);
      f.beginWrite();
    }
  }
  f.endWrite();
  expectTag(f, 0, ref, rng);
  for (int round = 0; round < 3; ++round) {
    fill(ref);
    expectTag(f, 0, ref, rng);
    f.clearTag(0);
    ref.clear();
    expectTag(f, 0, ref, rng);
  }
  EXPECT_LE(fs::file_size(path), full);
}

TEST(MdxFile, AscendingInsertsLeaveFullPages) {
  prueba::DirectorioTemporal dir;
  fs::path path = dir.ruta() / "prueba.mdx";
  MdxFile::create(path, {kTags[1]}, layout());
  MdxFile f;
  f.open(path, layout());
  KeyExpression k = f.expression(0);
  f.beginWrite();
  for (uint32_t i = 1; i <= 100000; ++i) f.insert(0, k.encodePrefix({double(i)}), i);
  f.endWrite();
  // 12-byte entries, 340 to a leaf: 295 leaves; 255 separators to an internal page: two
  // internal pages under the root.
  EXPECT_EQ(fs::file_size(path), 8192u + (295u + 3u) * 4096u);
  EXPECT_EQ(f.seek(0, k.encodePrefix({77777.0}))->recno, 77777u);
  EXPECT_EQ(f.last(0)->recno, 100000u);
}

TEST(MdxFile, TagsAreAddedDeletedAndClearedReusingPages) {
  prueba::DirectorioTemporal dir;
  fs::path path = dir.ruta() / "prueba.mdx";
  MdxFile::create(path, {kTags[0]}, layout());
  MdxFile f;
  f.open(path, layout());
  std::mt19937 rng(11);

  EXPECT_EQ(f.addTag({"num", "NUM", true, true}), 1);
  EXPECT_EQ(f.tags(), (std::vector<TagDef>{{"CLAVE", "CLAVE", false, false}, {"NUM", "NUM", true, true}}));
  EXPECT_EQ(f.tagNumber("Num"), 1);
  EXPECT_EQ(f.tagNumber("clave"), 0);
  EXPECT_EQ(f.tagNumber("NOPE"), -1);
  EXPECT_EQ(f.expression(1).type(), 'N');
  EXPECT_TRUE(f.expression(1).descending());

  EXPECT_EQ(errorOf([&] { f.addTag({"Num", "CLAVE"}); }), "La etiqueta NUM ya existe");
  EXPECT_EQ(errorOf([&] { f.addTag({"", "CLAVE"}); }), "Nombre de etiqueta inválido: ''");
  EXPECT_EQ(errorOf([&] { f.addTag({"DEMASIADOLARGO", "CLAVE"}); }),
            "Nombre de etiqueta inválido: 'DEMASIADOLARGO'");
  EXPECT_EQ(errorOf([&] { f.addTag({"X", "NOPE"}); }), "Campo NOPE no encontrado");
  EXPECT_EQ(errorOf([&] { f.addTag({"X", "*" + std::string(230, 'A')}); }),
            "La llave de la etiqueta X es demasiado larga: 231 caracteres, el máximo es 224");
  EXPECT_EQ(errorOf([&] { f.deleteTag("nope"); }), "No existe la etiqueta NOPE");
  EXPECT_EQ(errorOf([&] { f.insert(0, "abc", 1); }), "Llave de 3 bytes para la etiqueta CLAVE, que usa 8");
  EXPECT_EQ(errorOf([&] { f.insert(5, "abc", 1); }), "El índice no tiene la etiqueta número 5");

  // The refusals left the handle and the file whole.
  auto fill = [&](int tag) {
    rng.seed(13);
    Ref ref;
    f.beginWrite();
    for (uint32_t i = 1; i <= 20000; ++i) {
      std::string key = f.expression(tag).encodePrefix({double(rng() % 5000)});
      f.insert(tag, key, i);
      ref.insert({key, i});
    }
    f.endWrite();
    return ref;
  };
  Ref num = fill(1);
  f.insert(0, "ABCDEFGH", 7);
  uintmax_t size = fs::file_size(path);
  for (int round = 0; round < 3; ++round) {
    f.deleteTag("NUM");
    EXPECT_EQ(f.tags().size(), 1u);
    EXPECT_EQ(f.tagNumber("num"), -1);
    EXPECT_EQ(f.addTag({"NUM", "NUM"}), 1);
    EXPECT_EQ(f.entryCount(1), 0u);
    num = fill(1);
    EXPECT_EQ(fs::file_size(path), size) << "round " << round;
  }
  expectTag(f, 1, num, rng);

  // Deleting the first tag moves the others down.
  f.deleteTag("clave");
  EXPECT_EQ(f.tags(), (std::vector<TagDef>{{"NUM", "NUM", false, false}}));
  MdxFile other;
  other.open(path, layout());
  EXPECT_EQ(other.tags(), f.tags());
  expectTag(other, 0, num, rng);
}

TEST(MdxFile, CreateAndOpenRefuseWhatDoesNotFit) {
  prueba::DirectorioTemporal dir;
  fs::path path = dir.ruta() / "prueba.mdx";
  EXPECT_EQ(errorOf([&] { MdxFile::create(path, {{"CLAVE", "CLAVE"}, {"clave", "NUM"}}, layout()); }),
            "La etiqueta CLAVE está repetida");
  EXPECT_EQ(errorOf([&] { MdxFile::create(path, {{"CLAVE", "NOPE"}}, layout()); }),
            "Campo NOPE no encontrado");
  std::vector<TagDef> many;
  for (int i = 0; i < 32; ++i) many.push_back({"T" + std::to_string(i), "CLAVE"});
  EXPECT_EQ(errorOf([&] { MdxFile::create(path, many, layout()); }),
            "Demasiadas etiquetas para un índice: el máximo es 31");
  EXPECT_FALSE(fs::exists(path));
  many.pop_back();
  MdxFile::create(path, many, layout());
  MdxFile f;
  f.open(path, layout());
  EXPECT_EQ(f.tags().size(), 31u);
  EXPECT_EQ(errorOf([&] { f.addTag({"OTRA", "CLAVE"}); }),
            "Demasiadas etiquetas para un índice: el máximo es 31");
  f.close();

  MdxFile g;
  try {
    g.open(dir.ruta() / "falta.mdx", layout());
    FAIL();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "No existe el índice");
    EXPECT_EQ(e.errnum(), ENOENT);
    EXPECT_EQ(e.ruta(), (dir.ruta() / "falta.mdx").string());
  }
  EXPECT_FALSE(g.isOpen());
  EXPECT_EQ(errorOf([&] { g.first(0); }), "El índice no está abierto");

  // The table changed under the index.
  MdxFile::create(path, kTags, layout());
  std::vector<FieldDef> wider = kFields;
  wider[0].length = 10;
  EXPECT_EQ(errorOf([&] { g.open(path, RecordLayout::from(wider)); }),
            "La etiqueta CLAVE no corresponde a la tabla: su llave cambió");
  std::vector<FieldDef> fewer(kFields.begin() + 1, kFields.end());
  EXPECT_EQ(errorOf([&] { g.open(path, RecordLayout::from(fewer)); }),
            "La etiqueta CLAVE no corresponde a la tabla: Campo CLAVE no encontrado");
  EXPECT_FALSE(g.isOpen());
  g.open(path, layout());
  EXPECT_EQ(g.tags(), (std::vector<TagDef>{{"CLAVE", "CLAVE", false, false},
                                           {"NUM", "NUM", true, false},
                                           {"DESC", "CLAVE;FECHA", false, true}}));
}

TEST(MdxFile, HandlesSeeEachOthersWritesThroughTheChangeCounter) {
  prueba::DirectorioTemporal dir;
  fs::path path = dir.ruta() / "prueba.mdx";
  MdxFile::create(path, kTags, layout());
  MdxFile a, b;
  a.open(path, layout());
  b.open(path, layout());
  uint64_t start = b.changeCounter();
  EXPECT_EQ(b.first(0), std::nullopt);  // b has the empty root cached now

  a.beginWrite();
  a.beginWrite();  // nested: one write
  a.insert(0, "BBBBBBBB", 2);
  a.endWrite();
  a.insert(0, "AAAAAAAA", 1);
  EXPECT_EQ(a.first(0), (Entry{"AAAAAAAA", 1}));  // a sees its own pending change
  a.endWrite();
  EXPECT_EQ(b.changeCounter(), start + 1);
  EXPECT_EQ(b.first(0), (Entry{"AAAAAAAA", 1}));
  EXPECT_EQ(b.next(0, {"AAAAAAAA", 1}), (Entry{"BBBBBBBB", 2}));
  EXPECT_EQ(b.entryCount(0), 2u);

  a.insert(0, "CCCCCCCC", 3);  // outside beginWrite: a write of its own
  EXPECT_EQ(b.changeCounter(), start + 2);
  EXPECT_EQ(b.last(0), (Entry{"CCCCCCCC", 3}));
  b.erase(0, "BBBBBBBB", 2);
  EXPECT_EQ(a.next(0, {"AAAAAAAA", 1}), (Entry{"CCCCCCCC", 3}));

  // A read session keeps one lock over several reads; a write cannot start inside it,
  // while a read session inside a write is fine.
  b.beginRead();
  EXPECT_EQ(errorOf([&] { b.insert(0, "DDDDDDDD", 4); }),
            "El índice no puede escribirse durante una lectura en curso");
  EXPECT_EQ(b.last(0), (Entry{"CCCCCCCC", 3}));
  b.endRead();
  b.beginWrite();
  b.beginRead();
  b.insert(0, "DDDDDDDD", 4);
  EXPECT_EQ(b.last(0), (Entry{"DDDDDDDD", 4}));
  b.endRead();
  b.endWrite();
  EXPECT_EQ(a.last(0), (Entry{"DDDDDDDD", 4}));

  // Recreating the file under open handles: they notice the new file, not a stale cache.
  MdxFile::create(path, {kTags[1]}, layout());
  EXPECT_EQ(a.first(0), std::nullopt);
  EXPECT_EQ(a.tags(), (std::vector<TagDef>{{"NUM", "NUM", true, false}}));
}

}  // namespace
}  // namespace mostrador::dbf
