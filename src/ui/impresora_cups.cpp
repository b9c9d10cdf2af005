#include "ui/impresora_cups.h"

#include <cups/cups.h>

bool ColaCups::envia(std::string_view cola, std::string_view bytes, std::string_view documento) {
  error_.clear();
  cups_dest_t* destinos = nullptr;
  int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &destinos);
  std::string nombre(cola);
  cups_dest_t* destino = cupsGetDest(nombre.c_str(), nullptr, n, destinos);
  if (!destino) destino = cupsGetDest(nullptr, nullptr, n, destinos);
  if (!destino) {
    cupsFreeDests(n, destinos);
    error_ = "No hay impresora para " + nombre;
    return false;
  }
  std::string elegido = destino->name;
  cupsFreeDests(n, destinos);

  std::string titulo(documento);
  int trabajo = cupsCreateJob(CUPS_HTTP_DEFAULT, elegido.c_str(), titulo.c_str(), 0, nullptr);
  if (trabajo == 0) {
    error_ = cupsLastErrorString();
    return false;
  }
  if (cupsStartDocument(CUPS_HTTP_DEFAULT, elegido.c_str(), trabajo, titulo.c_str(),
                        CUPS_FORMAT_RAW, 1) != HTTP_STATUS_CONTINUE) {
    error_ = cupsLastErrorString();
    cupsCancelJob2(CUPS_HTTP_DEFAULT, elegido.c_str(), trabajo, 0);
    return false;
  }
  bool escrito = cupsWriteRequestData(CUPS_HTTP_DEFAULT, bytes.data(), bytes.size()) ==
                 HTTP_STATUS_CONTINUE;
  bool terminado = cupsFinishDocument(CUPS_HTTP_DEFAULT, elegido.c_str()) == IPP_STATUS_OK;
  if (!escrito || !terminado) error_ = cupsLastErrorString();
  return escrito && terminado;
}
