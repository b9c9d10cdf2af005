#include "store/dbf/verificacion.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "shell/rutas.h"
#include "store/dbf/dbf_file.h"
#include "store/dbf/dbf_table.h"
#include "store/dbf/key_expression.h"
#include "store/dbf/mdx_index.h"

namespace mostrador::dbf {
namespace {

// A descriptor that closes the file on every way out.
struct Archivo {
  int fd = -1;
  explicit Archivo(const std::filesystem::path& p) : fd(::open(p.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~Archivo() {
    if (fd >= 0) ::close(fd);
  }
};

// Reads records in blocks so a large table costs a few thousand reads, not millions.
class LectorRegistros {
 public:
  LectorRegistros(int fd, const file::Header& h, const std::string& ruta)
      : fd_(fd), h_(h), ruta_(ruta) {}

  // The record, or nullptr when the file ends before it.
  const char* registro(uint32_t recno) {
    if (recno < primero_ || recno >= primero_ + cuantos_) {
      const uint32_t bloque = 4096;
      buffer_.resize(static_cast<size_t>(bloque) * static_cast<size_t>(h_.recordLength));
      size_t leidos = file::readAt(fd_, buffer_.data(), buffer_.size(), h_.recordOffset(recno), ruta_);
      primero_ = recno;
      cuantos_ = static_cast<uint32_t>(leidos / static_cast<size_t>(h_.recordLength));
      if (cuantos_ == 0) return nullptr;
    }
    return buffer_.data() + static_cast<size_t>(recno - primero_) * static_cast<size_t>(h_.recordLength);
  }

 private:
  int fd_;
  const file::Header& h_;
  std::string ruta_;
  std::vector<char> buffer_;
  uint32_t primero_ = 0, cuantos_ = 0;
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

// Checks one tag against the records. Adds at most a few problems per tag: the first
// disorder or mismatch is enough to send the operator to the reindex tools.
void verificaEtiqueta(const MdxFile& mdx, int tag, LectorRegistros& lector, uint32_t registros,
                      const std::vector<uint8_t>& vivo, uint32_t vivos,
                      ResultadoVerificacion& r) {
  const std::string nombre = mdx.tags()[static_cast<size_t>(tag)].name;
  const KeyExpression& expr = mdx.expression(tag);
  const size_t antes = r.problemas.size();
  auto problema = [&](const std::string& t) {
    if (r.problemas.size() - antes < 3) r.problemas.push_back("índice " + nombre + ": " + t);
  };
  std::vector<uint8_t> visto(vivo.size(), 0);
  uint64_t entradas = 0;
  std::optional<MdxFile::Entry> anterior;
  mdx.beginRead();
  try {
    for (auto e = mdx.first(tag); e; e = mdx.next(tag, *e)) {
      ++entradas;
      if (anterior && (anterior->key > e->key || (anterior->key == e->key && anterior->recno >= e->recno)))
        problema("entradas fuera de orden en el registro " + std::to_string(e->recno));
      if (e->recno == 0 || e->recno > registros) {
        problema("entrada del registro " + std::to_string(e->recno) + ", que no existe");
      } else if (!vivo[e->recno - 1]) {
        problema("entrada del registro borrado " + std::to_string(e->recno));
      } else if (visto[e->recno - 1]++) {
        problema("el registro " + std::to_string(e->recno) + " aparece dos veces");
      } else if (const char* rec = lector.registro(e->recno)) {
        if (expr.evaluate(rec) != e->key)
          problema("la clave \"" + hex(e->key) + "\" no es la del registro " + std::to_string(e->recno));
      }
      if (entradas > static_cast<uint64_t>(registros) + 1) {
        problema("más entradas que registros");
        break;
      }
      anterior = e;
    }
  } catch (...) {
    mdx.endRead();
    throw;
  }
  mdx.endRead();
  if (entradas != vivos)
    problema(std::to_string(entradas) + " entradas para " + std::to_string(vivos) + " registros");
}

}  // namespace

ResultadoVerificacion verificaTabla(std::string_view directorio, std::string_view archivo,
                                    const AvanceVerificacion& avance) {
  ResultadoVerificacion r;
  const std::filesystem::path ruta = shell::resuelve(shell::une(directorio, archivo));
  r.tabla = ruta.filename().string();
  Archivo a(ruta);
  if (a.fd < 0) {
    r.problemas.push_back("no se puede abrir: " + std::string(std::strerror(errno)));
    return r;
  }
  file::Header h;
  uint64_t tamano = 0;
  try {
    tamano = file::sizeOf(a.fd, ruta.string());
    std::string inicio(static_cast<size_t>(std::min<uint64_t>(tamano, 68 + 48 * 256 + 2)), '\0');
    inicio.resize(file::readAt(a.fd, inicio.data(), inicio.size(), 0, ruta.string()));
    h = file::parseHeader(inicio, tamano, r.tabla);
  } catch (const Error& e) {
    r.problemas.push_back(e.what());
    return r;
  }
  // The count the header gives against the records the file really holds.
  const uint64_t datos = tamano > static_cast<uint64_t>(h.headerLength) ? tamano - h.headerLength : 0;
  const uint64_t enArchivo = datos / static_cast<uint64_t>(h.recordLength);
  const uint64_t sobra = datos - enArchivo * static_cast<uint64_t>(h.recordLength);
  if (enArchivo != h.recordCount)
    r.problemas.push_back("la cabecera dice " + std::to_string(h.recordCount) + " registros y el archivo tiene " +
                          std::to_string(enArchivo));
  if (sobra > 1) r.problemas.push_back("un registro incompleto al final del archivo");
  const uint32_t registros = static_cast<uint32_t>(std::min<uint64_t>(enArchivo, h.recordCount));
  r.registros = registros;

  // Every record: the deleted flag and each field must read.
  LectorRegistros lector(a.fd, h, ruta.string());
  std::vector<uint8_t> vivo(registros, 0);
  uint32_t vivos = 0, malos = 0;
  for (uint32_t n = 1; n <= registros; ++n) {
    const char* rec = lector.registro(n);
    if (!rec) break;
    if (rec[0] != ' ' && rec[0] != '*') {
      if (++malos <= 3) r.problemas.push_back("registro " + std::to_string(n) + ": marca de borrado inválida");
      continue;
    }
    if (rec[0] == '*') {
      ++r.borrados;
    } else {
      vivo[n - 1] = 1;
      ++vivos;
    }
    for (size_t i = 0; i < h.fields.size(); ++i) {
      const FieldDef& f = h.fields[i];
      try {
        if (f.type == 'N' || f.type == 'F') file::value::number(f, rec + h.offsets[i], r.tabla);
        if (f.type == 'D') file::value::date(f, rec + h.offsets[i], r.tabla);
      } catch (const Error& e) {
        if (++malos <= 3) r.problemas.push_back("registro " + std::to_string(n) + ": " + e.what());
      }
    }
    if (avance && n % 65536 == 0) avance(r.tabla, n, registros);
  }

  // The production index, when the table has one.
  const std::string base = ruta.stem().string();
  std::filesystem::path rutaMdx;
  for (const std::string& n : shell::lista(ruta.parent_path().string(), base + ".mdx")) rutaMdx = ruta.parent_path() / n;
  if (rutaMdx.empty()) {
    if (h.productionIndex) r.problemas.push_back("la cabecera anuncia un índice que no existe");
    return r;
  }
  MdxFile mdx;
  try {
    mdx.open(rutaMdx, RecordLayout::from(h.fields));
    for (int t = 0; t < static_cast<int>(mdx.tags().size()); ++t) {
      r.etiquetas.push_back(mdx.tags()[static_cast<size_t>(t)].name);
      verificaEtiqueta(mdx, t, lector, registros, vivo, vivos, r);
    }
  } catch (const Error& e) {
    r.problemas.push_back(rutaMdx.filename().string() + ": " + e.what());
  }
  if (avance) avance(r.tabla, registros, registros);
  return r;
}

std::vector<ResultadoVerificacion> verificaDirectorio(std::string_view directorio,
                                                      const AvanceVerificacion& avance) {
  std::vector<ResultadoVerificacion> r;
  for (const std::string& t : Table::listTables(directorio)) r.push_back(verificaTabla(directorio, t, avance));
  return r;
}

}  // namespace mostrador::dbf
