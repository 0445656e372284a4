// The engine's SQL (see JetSql.h): the text parsed to its syntax tree, the
// tree run by the executor with the database's memory.

#include "jet/JetSql.h"

#include "jet/sql/Esecutore.h"
#include "jet/sql/Memoria.h"
#include "jet/sql/Sintassi.h"

namespace quandora::jet {

Risultato Esegui(DatabaseJet& db, const std::string& sql) {
    sql::Query q = sql::AnalizzaQuery(sql);
    sql::MemoriaEsecutore::Di(db).Limita();
    return sql::Esecutore(db, q).Esegui();
}

}  // namespace quandora::jet
