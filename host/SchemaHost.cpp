#include "host/SchemaHost.h"

#include <initializer_list>
#include <string_view>
#include <utility>

#include "util/Errore.h"

namespace quandora::host {

namespace {

// The writer's table of one of the host's tables, without rows.
jet::TabellaNuova Nuova(const TabellaQuandora& t) {
    jet::TabellaNuova n{t.Nome, {}, {}};
    for (const auto& c : t.Colonne)
        n.Colonne.push_back({c.Nome, c.Tipo, c.Lunghezza});
    return n;
}

// A row of the table with the values given by column name; the columns
// not named are Null.
void Aggiungi(jet::TabellaNuova& t,
              std::initializer_list<std::pair<std::string_view, Valore>> valori) {
    std::vector<Valore> riga(t.Colonne.size());
    for (const auto& [nome, v] : valori) {
        size_t c = 0;
        while (c < t.Colonne.size() && t.Colonne[c].Nome != nome)
            ++c;
        if (c == t.Colonne.size()) throw Errore(5, "Colonna assente: " + std::string(nome));
        riga[c] = v;
    }
    t.Righe.push_back(std::move(riga));
}

}  // namespace

std::vector<jet::TabellaNuova> TabelleHost(const DatiHost& dati) {
    jet::TabellaNuova conti = Nuova(TabellaConti);
    for (const auto& c : dati.Conti)
        Aggiungi(conti,
                 {{"IdConto", Valore::Intero(c.IdConto)},
                  {"Descrizione", c.Descrizione ? Valore::Testo(*c.Descrizione) : Valore{}}});
    jet::TabellaNuova casse = Nuova(TabellaCasse);
    for (const auto& c : dati.Casse)
        Aggiungi(casse, {{"IDCassa", Valore::Intero(c.IDCassa)},
                         {"IDConto", Valore::Intero(c.IDConto)},
                         {"Descrizione", Valore::Testo(c.Descrizione)}});
    jet::TabellaNuova operazioni = Nuova(TabellaOperazioni);
    int32_t id = 0;
    for (const auto& o : dati.Operazioni)
        Aggiungi(operazioni, {{"IDOperazione", Valore::Intero(++id)},
                              {"IDCassa", Valore::Intero(o.IDCassa)},
                              {"Data", Valore::DataOra(o.Data)},
                              {"Descrizione", Valore::Testo(o.Descrizione)},
                              {"Euro", Valore::Valuta(o.EuroDiecimillesimi)},
                              {"Totale\xC2\xA3", Valore::Doppio(o.Lire)},
                              {"nostatistiche", Valore::Booleano(o.NoStatistiche)}});
    jet::TabellaNuova versione = Nuova(TabellaVersione);
    for (const auto& v : dati.Versioni)
        Aggiungi(versione, {{"versione", v ? Valore::Intero(*v) : Valore{}}});
    return {conti, casse, operazioni, versione};
}

}  // namespace quandora::host
