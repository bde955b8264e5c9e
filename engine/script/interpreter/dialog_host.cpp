#include "engine/script/interpreter/dialog_host.h"

namespace kox {
namespace {

SilentDialogHost& silentHost() {
  static SilentDialogHost host;
  return host;
}

DialogHost*& installedHost() {
  static DialogHost* host = nullptr;
  return host;
}

}  // namespace

DialogHost& engineDialogHost() {
  DialogHost* host = installedHost();
  return host ? *host : silentHost();
}

void setEngineDialogHost(DialogHost* host) { installedHost() = host; }

}  // namespace kox
