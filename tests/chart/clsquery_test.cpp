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

std::string Query(int32_t conto, Data data, bool noStat) {
    clsQuery q;
    q.conto = conto;
    q.data = data;
    q.NoStatistiche = noStat;
    return q.Query();
}

std::string DiUnConto(const std::string& conto, const std::string& data) {
    return kSelect + kJoin + " WHERE TabellaCassa.IDConto=" + conto + " AND " +
           " Operazioni.Data <=  DateSerial(" + data + ") ";
}

}  // namespace

TEST(ClsQuery, TheHostsTextByteForByte) {
    const std::string sql = Query(12, DataSerial(2004, 3, 15), true);
    EXPECT_EQ(sql, DiUnConto("12", "2004,3,15") + " AND nostatistiche = false ");
    // The text reaches the engine in the ANSI code page, "£" as one byte.
    EXPECT_EQ(ToAnsi(sql).size(), 334u);

    const std::string tutti = Query(-1, DataSerial(2004, 3, 15), false);
    EXPECT_EQ(tutti, kSelect + kJoin + " WHERE " + " Operazioni.Data <=  DateSerial(2004,3,15) ");
    EXPECT_EQ(ToAnsi(tutti).size(), 279u);

    // Account 0 and negative accounts are ordinary keys, only -1 is all; the
    // day without leading zeros or time, 30-12-1899 (the pickers' 0) a day
    // like any other.
    const std::tuple<int32_t, Data, const char*, const char*> casi[] = {
        {0, DataSerial(2004, 3, 15), "0", "2004,3,15"},
        {-7, DataSerial(2004, 3, 15), "-7", "2004,3,15"},
        {2147483647, DataSerial(2004, 3, 15), "2147483647", "2004,3,15"},
        {3, DataSerial(2005, 1, 1) + 0.99, "3", "2005,1,1"},
        {3, DataSerial(1999, 12, 31), "3", "1999,12,31"},
        {3, DataSerial(2000, 2, 29), "3", "2000,2,29"},
        {3, 0, "3", "1899,12,30"}};
    for (const auto& [conto, data, testoConto, testoData] : casi)
        EXPECT_EQ(Query(conto, data, false), DiUnConto(testoConto, testoData));
}

TEST(ClsQuery, TheTextFollowsTheFieldsAndNeedsADate) {
    clsQuery q;
    q.conto = 5;
    q.data = DataSerial(2010, 6, 30);
    EXPECT_EQ(q.Query(), DiUnConto("5", "2010,6,30"));
    q.data = DataSerial(2010, 7, 1);
    q.NoStatistiche = true;
    EXPECT_EQ(q.Query(), DiUnConto("5", "2010,7,1") + " AND nostatistiche = false ");

    clsQuery senzaData;
    EXPECT_EQ(senzaData.conto, 0);
    EXPECT_FALSE(senzaData.NoStatistiche);
    try {
        (void)senzaData.Query();
        FAIL() << "a query without a date must fail";
    } catch (const Errore& e) {
        EXPECT_EQ(e.Numero(), 5678);
        EXPECT_EQ(e.Descrizione(), "E' necessario impostare la data.");
    }
}
