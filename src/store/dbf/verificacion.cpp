// The check of one table, in two streams that never seek:
//
//   1. The records, once, in record order (LectorSecuencial): the deleted flag and every
//      numeric and date field must read, and each live record's key for every tag is
//      computed, with its record number, as the index keeps its entries (key bytes, then
//      the record number big-endian, so that memcmp orders them as the tag does).
//   2. Each tag, walked in key order through the index's read API, merged against the
//      sorted computed entries. An entry the records do not explain, or a record the
//      index lacks, is a suspect, not yet a problem.
//
// Keys are held in memory up to a budget (kMemoriaVerificacion); a larger table is done in ranges of
// record numbers (each tag walked once per range, entries outside the range skipped).
//
// Other stations keep working while this runs, so what the two streams saw can disagree
// only because a write landed between them. The engine changes a record and its keys
// inside one write of the index (its exclusive lock), and an append writes the header's
// count inside it too, so under the index's shared lock (MdxFile::beginRead) the count,
// the records and the entries agree. The rules that follow from it:
//   * The count is read once, at the start, under that lock; entries of records beyond
//     it are later appends and are not checked (the first range only asks that their
//     record exist now).
//   * Every suspect is checked again, once, under the lock: the record is re-read from
//     the file and its entry looked up in the index. Only what is still wrong is
//     reported. A record whose fields did not read is re-read the same way (a block
//     copied while a station rewrote the record can come out mixed).
//   * The walk holds the lock for kPorSesion entries at a time and merges them after
//     releasing it, so posting stations wait at most for one batch and are not starved
//     (a shared lock taken again at once would keep a waiting writer out). Between
//     batches the walk goes on from the last entry seen, which stays valid whatever
//     other stations did to the tree.
//   * The header's count against the file size is compared again under the header lock
//     (which every append holds) before a difference is reported.
//   * Each tag's definition and key expression are copied at the start: the index
//     handle rebuilds its own when another station changes the file.

#include "store/dbf/verificacion.h"

#include "store/dbf/journal.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>

#include "base/rutas.h"
#include "store/dbf/btree_page.h"
#include "store/dbf/dbf_file.h"
#include "store/dbf/dbf_table.h"
#include "store/dbf/key_expression.h"
#include "store/dbf/lector_secuencial.h"
#include "store/dbf/locks.h"
#include "store/dbf/mdx_index.h"

namespace mostrador::dbf {
namespace {

constexpr size_t kPorSesion = 2048;                    // entries per read session
constexpr size_t kProblemasPorEtiqueta = 3;
constexpr size_t kProblemasDeRegistros = 3;
constexpr size_t kMaxSospechas = 100000;  // per tag and range; beyond, the rest are dropped
constexpr uint64_t kCadaAvance = 65536;
constexpr auto kCesion = std::chrono::milliseconds(10);  // longest walk between two yields

// A descriptor that closes the file on every way out.
struct Archivo {
  int fd = -1;
  explicit Archivo(const std::filesystem::path& p) : fd(::open(p.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~Archivo() {
    if (fd >= 0) ::close(fd);
  }
};

std::string hex(std::string_view clave) {
  static const char* d = "0123456789ABCDEF";
  std::string r;
  for (unsigned char c : clave) {
    if (c >= 0x20 && c < 0x7F) {
      r.push_back(static_cast<char>(c));
    } else {
      r += "\\x";
      r.push_back(d[c >> 4]);
      r.push_back(d[c & 15]);
    }
  }
  return r;
}

// Eight bytes of an entry from `desde` as a number (zeros past its end), so that most
// comparisons of the sort are integer comparisons.
uint64_t prefijo(const char* p, size_t n, size_t desde) {
  uint64_t v = 0;
  for (size_t i = desde; i < desde + 8; ++i) v = (v << 8) | (i < n ? static_cast<unsigned char>(p[i]) : 0u);
  return v;
}

// One tag being checked.
struct Etiqueta {
  TagDef def;
  KeyExpression expr;
  size_t largo = 0;  // key bytes
  size_t ancho = 0;  // entry bytes: key + record number
  std::string entradas;  // computed entries of the current range, ancho bytes each
  size_t problemas = 0;
  std::set<uint32_t> reportados;  // records already named in a problem of this tag
  bool cambio = false;            // another station redefined the tag: not checked further

  // The record's key, or nullopt when a field it uses does not read (reported with the
  // record).
  std::optional<std::string> clave(const char* rec) const {
    try {
      std::string k = expr.evaluate(rec);
      if (k.size() == largo) return k;
    } catch (const Error&) {
    }
    return std::nullopt;
  }
  void agrega(const char* rec, uint32_t recno) {
    const std::optional<std::string> k = clave(rec);
    if (!k) return;
    entradas.append(k->data(), largo);
    char r[4];
    btree::putBE32(reinterpret_cast<uint8_t*>(r), recno);
    entradas.append(r, 4);
  }
  size_t cuantas() const { return entradas.size() / ancho; }
  const char* entrada(size_t i) const { return entradas.data() + i * ancho; }

  // The computed entries' order.
  std::vector<uint32_t> ordena() const {
    struct Clave {
      uint64_t a, b;  // bytes 0-7 and 8-15
      uint32_t i;
    };
    const size_t n = cuantas();
    std::vector<Clave> c(n);
    for (size_t i = 0; i < n; ++i)
      c[i] = {prefijo(entrada(i), ancho, 0), prefijo(entrada(i), ancho, 8), static_cast<uint32_t>(i)};
    const size_t resto = ancho > 16 ? ancho - 16 : 0;
    std::sort(c.begin(), c.end(), [&](const Clave& x, const Clave& y) {
      if (x.a != y.a) return x.a < y.a;
      if (x.b != y.b) return x.b < y.b;
      return resto > 0 && std::memcmp(entrada(x.i) + 16, entrada(y.i) + 16, resto) < 0;
    });
    std::vector<uint32_t> orden(n);
    for (size_t i = 0; i < n; ++i) orden[i] = c[i].i;
    return orden;
  }
};

// What the merge could not explain: an entry of the index (enIndice) or a record's key
// that the index lacks.
struct Sospecha {
  bool enIndice;
  std::string clave;
  uint32_t recno;
};

class Verificador {
 public:
  Verificador(const std::filesystem::path& ruta, ResultadoVerificacion& r, const AvanceVerificacion& avance,
              uint64_t memoria)
      : ruta_(ruta), r_(r), avance_(avance), memoria_(memoria) {}

  void corre() {
    Archivo a(ruta_);
    if (a.fd < 0) {
      r_.problemas.push_back("no se puede abrir: " + std::string(std::strerror(errno)));
      return;
    }
    fd_ = a.fd;
    try {
      cabecera();
    } catch (const Error& e) {
      r_.problemas.push_back(e.what());
      return;
    }
    std::unique_ptr<LectorSecuencial> lector;
    try {
      lector = std::make_unique<LectorSecuencial>(std::string_view{}, ruta_.string());
    } catch (const LockError&) {
      r_.problemas.push_back("está abierta en exclusiva por otra estación; no se revisó");
      return;
    } catch (const Error& e) {
      r_.problemas.push_back(e.what());
      return;
    }
    abreIndice();
    uint32_t cuenta = lector->registros();
    if (mdx_.isOpen()) {
      try {
        mdx_.beginRead();
        const uint32_t ahora = cuentaActual();
        mdx_.endRead();
        cuenta = std::min(cuenta, ahora);
      } catch (const Error& e) {
        indiceFallido(e);
      }
    }
    r_.registros = cuenta;
    try {
      recorre(*lector, cuenta);
    } catch (const Error& e) {
      // The file itself failed (a read error): what was found so far stands.
      r_.problemas.push_back(e.what());
    }
    r_.problemas.insert(r_.problemas.end(), delIndice_.begin(), delIndice_.end());
  }

 private:
  // Header against the file size and its descriptors; throws Error when it cannot be read.
  void cabecera() {
    auto lee = [&](uint64_t& tamano) {
      tamano = file::sizeOf(fd_, ruta_.string());
      std::string inicio(static_cast<size_t>(std::min<uint64_t>(tamano, 68 + 48 * 256 + 2)), '\0');
      inicio.resize(file::readAt(fd_, inicio.data(), inicio.size(), 0, ruta_.string()));
      return file::parseHeader(inicio, tamano, r_.tabla);
    };
    uint64_t tamano = 0;
    h_ = lee(tamano);
    // Descriptors other programs would misread even where this engine copes.
    for (const FieldDef& f : h_.fields) {
      if (std::string_view("CNFDLM@").find(f.type) == std::string_view::npos)
        r_.problemas.push_back("el campo " + f.name + " es de un tipo desconocido (" + std::string(1, f.type) + ")");
      else if (f.type == 'D' && f.length != 8)
        r_.problemas.push_back("el campo de fecha " + f.name + " mide " + std::to_string(f.length) +
                               " en lugar de 8");
      else if (f.type == '@' && f.length != 8)
        r_.problemas.push_back("el campo de fecha y hora " + f.name + " mide " + std::to_string(f.length) +
                               " en lugar de 8");
    }
    auto difiere = [&](const file::Header& h, uint64_t t, uint64_t& enArchivo, uint64_t& sobra) {
      const uint64_t hl = static_cast<uint64_t>(h.headerLength);
      const uint64_t datos = t > hl ? t - hl : 0;
      enArchivo = datos / static_cast<uint64_t>(h.recordLength);
      sobra = datos - enArchivo * static_cast<uint64_t>(h.recordLength);
      return enArchivo != h.recordCount || sobra > 1;
    };
    uint64_t enArchivo = 0, sobra = 0;
    if (difiere(h_, tamano, enArchivo, sobra)) {
      // An append writes its record before the count: look again once none is running.
      if (!locks::lockWithRetry(fd_, locks::kHeaderByte, locks::Kind::Shared, ruta_.c_str())) return;
      file::Header otra;
      try {
        otra = lee(tamano);
      } catch (...) {
        locks::unlock(fd_, locks::kHeaderByte);
        throw;
      }
      locks::unlock(fd_, locks::kHeaderByte);
      if (difiere(otra, tamano, enArchivo, sobra)) {
        if (enArchivo != otra.recordCount)
          r_.problemas.push_back("la cabecera dice " + std::to_string(otra.recordCount) +
                                 " registros y el archivo tiene " + std::to_string(enArchivo));
        if (sobra > 1) r_.problemas.push_back("un registro incompleto al final del archivo");
      }
    }
  }

  void abreIndice() {
    const std::string base = ruta_.stem().string();
    for (const std::string& n : base::lista(ruta_.parent_path().string(), base + ".mdx"))
      rutaMdx_ = ruta_.parent_path() / n;
    if (rutaMdx_.empty()) {
      if (h_.productionIndex) delIndice_.push_back("la cabecera anuncia un índice que no existe");
      return;
    }
    try {
      mdx_.open(rutaMdx_, RecordLayout::from(h_.fields));
      for (size_t t = 0; t < mdx_.tags().size(); ++t) {
        Etiqueta e;
        e.def = mdx_.tags()[t];
        e.expr = mdx_.expression(static_cast<int>(t));
        e.largo = static_cast<size_t>(e.expr.length());
        e.ancho = e.largo + 4;
        etiquetas_.push_back(std::move(e));
        r_.etiquetas.push_back(mdx_.tags()[t].name);
      }
      // Written by another program: the engine rebuilds such an index at its next open.
      std::optional<uint32_t> contado = mdx_.tableCount();
      uint32_t registros = h_.recordCount;
      if (contado && *contado != registros &&
          locks::lockWithRetry(fd_, locks::kHeaderByte, locks::Kind::Shared, ruta_.c_str())) {
        // Another station's append in flight: under the header lock both agree again.
        uint8_t b[4] = {0, 0, 0, 0};
        if (file::readAt(fd_, reinterpret_cast<char*>(b), 4, file::kCountOffset, ruta_.string()) == 4)
          registros = btree::get32(b);
        contado = mdx_.tableCount();
        locks::unlock(fd_, locks::kHeaderByte);
      }
      if (!h_.productionIndex)
        delIndice_.push_back("la tabla fue cambiada por otro programa: su cabecera perdió la marca del índice");
      else if (contado && *contado != registros)
        delIndice_.push_back("la tabla fue cambiada por otro programa: tiene " + std::to_string(registros) +
                             " registros y el índice se hizo con " + std::to_string(*contado));
    } catch (const Error& e) {
      indiceFallido(e);
    }
  }

  void indiceFallido(const Error& e) {
    delIndice_.push_back(rutaMdx_.filename().string() + ": " + e.what());
    mdx_.close();
    etiquetas_.clear();
  }

  // The records there are now: the header's count, or fewer when the file ends first.
  uint32_t cuentaActual() const {
    uint8_t b[4];
    if (file::readAt(fd_, reinterpret_cast<char*>(b), 4, file::kCountOffset, ruta_.string()) != 4) return 0;
    const uint64_t tamano = file::sizeOf(fd_, ruta_.string());
    const uint64_t hl = static_cast<uint64_t>(h_.headerLength);
    const uint64_t enArchivo = tamano > hl ? (tamano - hl) / static_cast<uint64_t>(h_.recordLength) : 0;
    return static_cast<uint32_t>(std::min<uint64_t>(btree::get32(b), enArchivo));
  }

  // Record r as it is now in the file; false when the file ends before it.
  bool releeRegistro(uint32_t r, std::string& rec) const {
    rec.resize(static_cast<size_t>(h_.recordLength));
    return file::readAt(fd_, rec.data(), rec.size(), h_.recordOffset(r), ruta_.string()) == rec.size();
  }

  // The first field of the record that does not read, as the engine words it.
  std::optional<std::string> campoIlegible(const char* rec) const {
    for (size_t i = 0; i < h_.fields.size(); ++i) {
      const FieldDef& f = h_.fields[i];
      try {
        if (f.type == 'N' || f.type == 'F') file::value::number(f, rec + h_.offsets[i], r_.tabla);
        if (f.type == 'D') {
          if (f.length == 8 && std::string_view(rec + h_.offsets[i], 8) == "00000000")
            return "el campo " + f.name + " tiene la fecha \"00000000\"";
          file::value::date(f, rec + h_.offsets[i], r_.tabla);
        }
        if (f.type == '@' && f.length == 8) file::value::dateTime(f, rec + h_.offsets[i], r_.tabla);
      } catch (const Error& e) {
        return std::string(e.what());
      }
    }
    return std::nullopt;
  }

  void problemaDeRegistro(uint32_t n, const std::string& texto) {
    if (problemasDeRegistros_++ < kProblemasDeRegistros)
      r_.problemas.push_back("registro " + std::to_string(n) + ": " + texto);
  }

  void avanza(uint64_t unidades) {
    hecho_ += unidades;
    if (avance_ && hecho_ >= siguienteAvance_) {
      siguienteAvance_ = hecho_ + kCadaAvance;
      avance_(r_.tabla, std::min(hecho_, total_), total_);
    }
  }

  // One record of the sequential read (not deleted: its flag is anything but '*').
  void registro(const char* rec, uint32_t n) {
    avanza(1);
    const bool flagValido = rec[0] == ' ';
    std::optional<std::string> malo = flagValido ? campoIlegible(rec) : std::nullopt;
    if (!flagValido || malo) {
      // Read again on its own before calling it damaged: the block may have been copied
      // while a station rewrote this record.
      std::string otra;
      if (!releeRegistro(n, otra)) return;
      if (otra[0] == '*') {
        ++r_.borrados;
        return;
      }
      if (otra[0] != ' ') return problemaDeRegistro(n, "marca de borrado inválida");
      if (auto m = campoIlegible(otra.data())) {
        // Reported once, with the record; its entries are not judged.
        for (Etiqueta& e : etiquetas_) e.reportados.insert(n);
        return problemaDeRegistro(n, *m);
      }
      for (Etiqueta& e : etiquetas_) e.agrega(otra.data(), n);
      return;
    }
    for (Etiqueta& e : etiquetas_) e.agrega(rec, n);
  }

  void recorre(LectorSecuencial& lector, uint32_t cuenta) {
    size_t porRegistro = 0;
    for (const Etiqueta& e : etiquetas_) porRegistro += e.ancho + 16;
    const uint64_t rango =
        porRegistro == 0 ? uint64_t{cuenta} + 1 : std::max<uint64_t>(1, memoria_ / porRegistro);
    total_ = static_cast<uint64_t>(cuenta) * (1 + etiquetas_.size());
    uint32_t vivos = 0;
    bool quedan = lector.siguiente();
    uint32_t desde = 1;
    do {
      const uint32_t hasta = static_cast<uint32_t>(std::min<uint64_t>(cuenta, desde + rango - 1));
      for (Etiqueta& e : etiquetas_) {
        e.entradas.clear();
        e.entradas.reserve(static_cast<size_t>(hasta - desde + 1) * e.ancho);
      }
      while (quedan && lector.recno() <= hasta) {
        ++vivos;
        registro(lector.registro(), lector.recno());
        quedan = lector.siguiente();
      }
      for (Etiqueta& e : etiquetas_) {
        if (!mdx_.isOpen()) break;
        try {
          verificaEtiqueta(e, desde, hasta, cuenta);
        } catch (const Error& err) {
          indiceFallido(err);
        }
      }
      desde = hasta + 1;
    } while (desde <= cuenta && desde != 0);
    r_.borrados += cuenta - vivos;
    if (avance_) avance_(r_.tabla, total_, total_);
  }

  void problemaDeEtiqueta(Etiqueta& e, uint32_t recno, const std::string& texto) {
    e.reportados.insert(recno);
    if (e.problemas++ < kProblemasPorEtiqueta) delIndice_.push_back("índice " + e.def.name + ": " + texto);
  }

  // The tag's number in the index now; -1 when another station redefined it.
  int numeroActual(Etiqueta& e) {
    const int t = mdx_.tagNumber(e.def.name);
    if (t < 0 || !(mdx_.tags()[static_cast<size_t>(t)] == e.def)) {
      e.cambio = true;
      return -1;
    }
    return t;
  }

  // Merges the tag's entries for records [desde, hasta] with the computed ones.
  void verificaEtiqueta(Etiqueta& e, uint32_t desde, uint32_t hasta, uint32_t cuenta) {
    if (e.cambio) return;
    const std::vector<uint32_t> orden = e.ordena();
    size_t j = 0;
    std::vector<Sospecha> sospechas;
    auto sospecha = [&](bool enIndice, std::string clave, uint32_t recno) {
      if (sospechas.size() < kMaxSospechas) sospechas.push_back({enIndice, std::move(clave), recno});
    };
    std::string actual(e.ancho, '\0'), anterior;
    std::optional<MdxFile::Entry> pos;
    std::vector<MdxFile::Entry> lote;
    bool fin = false;
    while (!fin) {
      // A batch of entries under the lock; the merge runs after it is released.
      lote.clear();
      uint32_t ahora = cuenta;
      mdx_.beginRead();
      try {
        const int t = numeroActual(e);
        // Entries beyond the count as it is now name records that do not exist; those
        // between the count taken at the start and this one are later appends.
        if (desde == 1) ahora = std::max(cuentaActual(), cuenta);
        if (t < 0) fin = true;
        while (!fin && lote.size() < kPorSesion) {
          auto x = pos ? mdx_.next(t, *pos) : mdx_.first(t);
          if (!x) {
            fin = true;
          } else {
            pos = x;
            lote.push_back(std::move(*x));
          }
        }
      } catch (...) {
        mdx_.endRead();
        throw;
      }
      mdx_.endRead();
      // Stations waiting for the write lock get in now and then: a shared lock taken
      // again at once would keep them out for as long as the walk lasts. Not after every
      // batch: on a busy machine each yield gives away a whole time slice.
      if (std::chrono::steady_clock::now() - ultimaCesion_ > kCesion) {
        sched_yield();
        ultimaCesion_ = std::chrono::steady_clock::now();
      }
      for (const MdxFile::Entry& x : lote) {
        if (x.key.size() != e.largo) throw Error("Índice dañado: llave de largo inválido");
        std::memcpy(actual.data(), x.key.data(), e.largo);
        btree::putBE32(reinterpret_cast<uint8_t*>(actual.data() + e.largo), x.recno);
        if (!anterior.empty() && anterior >= actual) {
          problemaDeEtiqueta(e, x.recno, "entradas fuera de orden en el registro " + std::to_string(x.recno));
          fin = true;
          break;
        }
        anterior = actual;
        if (x.recno < desde || x.recno > hasta) {
          if (desde == 1 && (x.recno == 0 || x.recno > ahora)) sospecha(true, x.key, x.recno);
          continue;
        }
        avanza(1);
        while (j < orden.size() && std::memcmp(e.entrada(orden[j]), actual.data(), e.ancho) < 0) {
          const char* p = e.entrada(orden[j++]);
          sospecha(false, std::string(p, e.largo), btree::getBE32(reinterpret_cast<const uint8_t*>(p + e.largo)));
        }
        if (j < orden.size() && std::memcmp(e.entrada(orden[j]), actual.data(), e.ancho) == 0)
          ++j;
        else
          sospecha(true, x.key, x.recno);
      }
    }
    if (e.cambio) return;
    for (; j < orden.size(); ++j) {
      const char* p = e.entrada(orden[j]);
      sospecha(false, std::string(p, e.largo), btree::getBE32(reinterpret_cast<const uint8_t*>(p + e.largo)));
    }
    // Entries first: they name the most telling fault (a key that is not its record's).
    std::stable_sort(sospechas.begin(), sospechas.end(),
                     [](const Sospecha& a, const Sospecha& b) { return a.enIndice > b.enIndice; });
    for (const Sospecha& s : sospechas) {
      if (e.problemas >= kProblemasPorEtiqueta || e.cambio) break;
      if (e.reportados.count(s.recno)) continue;
      confirma(e, s);
    }
  }

  // Whether the index holds (clave, recno) now. Runs inside a read session.
  bool tiene(int t, const std::string& clave, uint32_t recno) {
    auto x = mdx_.next(t, MdxFile::Entry{clave, recno - 1});
    return x && x->recno == recno && x->key == clave;
  }

  // Looks at a suspect again under the index's read lock; reports what is still wrong.
  void confirma(Etiqueta& e, const Sospecha& s) {
    std::optional<std::string> texto;
    mdx_.beginRead();
    try {
      const int t = numeroActual(e);
      if (t < 0) {
        mdx_.endRead();
        return;
      }
      const uint32_t ahora = cuentaActual();
      std::string rec;
      const bool existe = s.recno != 0 && s.recno <= ahora && releeRegistro(s.recno, rec);
      const bool vivo = existe && rec[0] != file::kDeleted;
      std::optional<std::string> clave;
      if (vivo) clave = e.clave(rec.data());
      if (s.enIndice) {
        if (!existe) {
          if (s.recno == 0 || tiene(t, s.clave, s.recno))
            texto = "entrada del registro " + std::to_string(s.recno) + ", que no existe";
        } else if (tiene(t, s.clave, s.recno)) {
          if (!vivo)
            texto = "entrada del registro borrado " + std::to_string(s.recno);
          else if (clave != s.clave)
            texto = clave && tiene(t, *clave, s.recno)
                        ? "el registro " + std::to_string(s.recno) + " aparece dos veces"
                        : "la clave \"" + hex(s.clave) + "\" no es la del registro " + std::to_string(s.recno);
        }
      } else if (vivo && clave && !tiene(t, *clave, s.recno)) {
        texto = "falta la entrada del registro " + std::to_string(s.recno);
      }
    } catch (...) {
      mdx_.endRead();
      throw;
    }
    mdx_.endRead();
    if (texto) problemaDeEtiqueta(e, s.recno, *texto);
  }

  std::filesystem::path ruta_;
  ResultadoVerificacion& r_;
  const AvanceVerificacion& avance_;
  uint64_t memoria_;
  int fd_ = -1;
  file::Header h_;
  std::filesystem::path rutaMdx_;
  MdxFile mdx_;
  std::vector<Etiqueta> etiquetas_;
  std::vector<std::string> delIndice_;  // reported after the records' problems
  size_t problemasDeRegistros_ = 0;
  uint64_t hecho_ = 0, total_ = 0, siguienteAvance_ = 0;
  std::chrono::steady_clock::time_point ultimaCesion_ = std::chrono::steady_clock::now();
};

}  // namespace

ResultadoVerificacion verificaTabla(std::string_view directorio, std::string_view archivo,
                                    const AvanceVerificacion& avance, uint64_t memoria) {
  ResultadoVerificacion r;
  const std::filesystem::path ruta = base::resuelve(base::une(directorio, archivo));
  r.tabla = ruta.filename().string();
  // A save a dead station left half done is put back first, as every table open does:
  // it is not damage. (One stat when there is no journal.)
  try {
    journal::recoverIfDead(ruta.parent_path());
  } catch (const Error& e) {
    r.problemas.push_back(std::string("no se pudo deshacer un guardado interrumpido: ") + e.what());
    return r;
  }
  Verificador(ruta, r, avance, memoria).corre();
  return r;
}

std::vector<ResultadoVerificacion> verificaDirectorio(std::string_view directorio,
                                                      const AvanceVerificacion& avance) {
  std::vector<ResultadoVerificacion> r;
  for (const std::string& t : Table::listTables(directorio)) r.push_back(verificaTabla(directorio, t, avance));
  return r;
}

}  // namespace mostrador::dbf
