// Linux has no DAO: the program reads through our own engine only.

#include "database/Database.h"

namespace quandora {

std::unique_ptr<Database> OpenDatabaseDao(const std::string&, bool, bool, const std::string&) {
    return nullptr;
}

}  // namespace quandora
