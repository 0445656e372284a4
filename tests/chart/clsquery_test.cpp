#include "chart/clsQuery.h"

#include <gtest/gtest.h>

#include "util/Errore.h"
#include "util/Testo.h"

using namespace quandora;

namespace {

const std::string kSelect =
    " SELECT Sum(Operazioni.Euro) AS TotaleEuro, Sum(Operazioni.[Totale\xC2\xA3]) AS TotaleLire ";
const std::string kJoin =
    " FROM (Conti INNER JOIN TabellaCassa ON Conti.IDConto = TabellaCassa.IDConto) INNER JOIN "
    "Operazioni ON TabellaCassa.IDCassa = Operazioni.IDCassa ";

clsQuery Query(int32_t conto, Data data, bool noStat) {
    clsQuery q;
    q.conto = conto;
    q.data = data;
    q.NoStatistiche = noStat;
    return q;
}

}  // namespace

TEST(ClsQuery, OneAccountWithoutStatisticsMatchesTheHostText) {
    const std::string sql = Query(12, DataSerial(2004, 3, 15), true).Query();
    EXPECT_EQ(sql, kSelect + kJoin + " WHERE TabellaCassa.IDConto=12 AND " +
                       " Operazioni.Data <=  DateSerial(2004,3,15)  AND nostatistiche = false ");
    // The text reaches the engine in the ANSI code page, "£" as one byte.
    EXPECT_EQ(ToAnsi(sql).size(), 334u);
    EXPECT_NE(sql.find("TotaleLire  FROM"), std::string::npos);
    EXPECT_NE(sql.find("IDCassa  WHERE"), std::string::npos);
    EXPECT_NE(sql.find(" AND  Operazioni"), std::string::npos);
    EXPECT_NE(sql.find(")  AND nostatistiche"), std::string::npos);
}

TEST(ClsQuery, AllAccountsHasNoAccountCondition) {
    const std::string sql = Query(-1, DataSerial(2004, 3, 15), false).Query();
    EXPECT_EQ(sql, kSelect + kJoin + " WHERE " + " Operazioni.Data <=  DateSerial(2004,3,15) ");
    EXPECT_EQ(ToAnsi(sql).size(), 279u);
    EXPECT_EQ(sql.substr(sql.size() - 2), ") ");
}

TEST(ClsQuery, AccountZeroAndNegativeAccountsAreOrdinaryKeys) {
    EXPECT_NE(
        Query(0, DataSerial(2004, 3, 15), false).Query().find(" WHERE TabellaCassa.IDConto=0 AND "),
        std::string::npos);
    EXPECT_NE(Query(-7, DataSerial(2004, 3, 15), false).Query().find("IDConto=-7 AND "),
              std::string::npos);
    EXPECT_NE(
        Query(2147483647, DataSerial(2004, 3, 15), false).Query().find("IDConto=2147483647 AND "),
        std::string::npos);
}

TEST(ClsQuery, DateIsWrittenWithoutLeadingZerosAndWithoutTime) {
    // A time of day late in the evening must not move the day.
    const std::string sql = Query(3, DataSerial(2005, 1, 1) + 0.99, false).Query();
    EXPECT_NE(sql.find("DateSerial(2005,1,1) "), std::string::npos);
    EXPECT_NE(Query(3, DataSerial(1999, 12, 31), false).Query().find("DateSerial(1999,12,31) "),
              std::string::npos);
    // Leap day.
    EXPECT_NE(Query(3, DataSerial(2000, 2, 29), false).Query().find("DateSerial(2000,2,29) "),
              std::string::npos);
}

TEST(ClsQuery, QueryIsRebuiltFromTheFieldsOnEveryRead) {
    clsQuery q = Query(5, DataSerial(2010, 6, 30), false);
    const std::string prima = q.Query();
    EXPECT_EQ(q.Query(), prima);
    q.data = DataSerial(2010, 7, 1);
    EXPECT_NE(q.Query().find("DateSerial(2010,7,1) "), std::string::npos);
    q.NoStatistiche = true;
    EXPECT_EQ(q.Query().substr(q.Query().size() - 27), " AND nostatistiche = false ");
    // 30-12-1899, the date 0 of the pickers, is a day like any other.
    q.data = 0;
    EXPECT_NE(q.Query().find("DateSerial(1899,12,30) "), std::string::npos);
}

TEST(ClsQuery, UnsetDateFailsWith5678) {
    clsQuery q;
    EXPECT_EQ(q.conto, 0);
    EXPECT_FALSE(q.NoStatistiche);
    try {
        (void)q.Query();
        FAIL() << "Query without a date must fail";
    } catch (const Errore& e) {
        EXPECT_EQ(e.Numero(), 5678);
        EXPECT_EQ(e.Descrizione(), "E' necessario impostare la data.");
    }
}
