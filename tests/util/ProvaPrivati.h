#pragma once
// Access for tests to the private registry procedures of uxUtilita.

#include <string>

#include "util/uxUtilita.h"

namespace quandora {

class ProvaPrivatiUxUtilita {
  public:
    static bool LeggiValoreRegistro(uint32_t hive, const std::string& chiave,
                                    const std::string& nome, std::string& valore) {
        return uxUtilita().LeggiValoreRegistro(hive, chiave, nome, valore);
    }
    static bool ScriviDWordRegistro(uint32_t hive, const std::string& chiave,
                                    const std::string& nome, uint32_t valore) {
        return uxUtilita().ScriviDWordRegistro(hive, chiave, nome, valore);
    }
    static bool ScriviValoreRegistro(uint32_t hive, const std::string& chiave,
                                     const std::string& nome, const std::string& valore,
                                     bool crea) {
        return uxUtilita().ScriviValoreRegistro(hive, chiave, nome, valore, crea);
    }
};

}  // namespace quandora
