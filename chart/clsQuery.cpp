#include "chart/clsQuery.h"

#include "util/Errore.h"

namespace quandora {

std::string clsQuery::Query() const {
    if (!data) throw Errore(5678, "E' necessario impostare la data.");

    const ParteData giorno = ScomponiData(*data);
    // Each fragment keeps its own blanks: where two meet, two blanks stand,
    // and the text goes to the engine exactly so.
    const std::string condizioneData =
        " Operazioni.Data <=  DateSerial(" + std::to_string(giorno.Anno) + "," +
        std::to_string(giorno.Mese) + "," + std::to_string(giorno.Giorno) + ") ";

    std::string sql =
        " SELECT Sum(Operazioni.Euro) AS TotaleEuro, Sum(Operazioni.[Totale£]) AS TotaleLire ";
    sql +=
        " FROM (Conti INNER JOIN TabellaCassa ON Conti.IDConto = TabellaCassa.IDConto) INNER "
        "JOIN Operazioni ON TabellaCassa.IDCassa = Operazioni.IDCassa ";
    if (conto == -1) {
        sql += " WHERE " + condizioneData;
    } else {
        sql += " WHERE TabellaCassa.IDConto=" + std::to_string(conto) + " AND " + condizioneData;
    }
    if (NoStatistiche) sql += " AND nostatistiche = false ";
    return sql;
}

}  // namespace quandora
