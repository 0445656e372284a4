// The database interface over our own Jet engine.

#include <cstring>

#include "database/Database.h"
#include "jet/ErroriJet.h"
#include "jet/Jet.h"
#include "jet/JetSql.h"

namespace quandora {

namespace {

class RecordsetJet : public Recordset {
  public:
    explicit RecordsetJet(jet::Risultato r) : r_(std::move(r)) {}

    bool Eof() const override { return chiuso_ || riga_ >= r_.Righe.size(); }
    Valore Campo(int indice) const override {
        if (chiuso_) throw Errore(3420, "Oggetto non valido o non più impostato.");
        if (indice < 0 || size_t(indice) >= r_.Colonne.size()) throw jet::ElementoNonTrovato();
        if (Eof()) throw jet::NessunRecordCorrente();
        return r_.Righe[riga_][size_t(indice)];
    }
    Valore Campo(const std::string& nome) const override {
        const std::string p = jet::Piega(nome);
        for (size_t i = 0; i < r_.Colonne.size(); ++i)
            if (jet::Piega(r_.Colonne[i]) == p) return Campo(int(i));
        throw jet::ElementoNonTrovato();
    }
    int NumeroCampi() const override { return int(r_.Colonne.size()); }
    void MoveNext() override {
        if (Eof()) throw jet::NessunRecordCorrente();
        ++riga_;
    }
    void Close() override {
        chiuso_ = true;
        r_ = {};
    }

  private:
    jet::Risultato r_;
    size_t riga_ = 0;
    bool chiuso_ = false;
};

class DatabaseSuJet : public Database {
  public:
    explicit DatabaseSuJet(std::unique_ptr<jet::DatabaseJet> db) : db_(std::move(db)) {}

    std::unique_ptr<Recordset> OpenRecordset(const std::string& sql, int tipo) override {
        if (!db_) throw Errore(3420, "Oggetto non valido o non più impostato.");
        if (tipo != dbOpenForwardOnly) throw Errore(3001, "Argomento non valido.");
        return std::make_unique<RecordsetJet>(jet::Esegui(*db_, sql));
    }
    void Close() override { db_.reset(); }

  private:
    std::unique_ptr<jet::DatabaseJet> db_;
};

// The password of a connect string: the value of its "PWD=" part, up to the
// next ';' (keys without regard to case, as Jet reads them).
std::string Password(const std::string& connessione) {
    size_t i = 0;
    while (i <= connessione.size()) {
        size_t fine = connessione.find(';', i);
        if (fine == std::string::npos) fine = connessione.size();
        const std::string parte = connessione.substr(i, fine - i);
        const size_t uguale = parte.find('=');
        if (uguale != std::string::npos && jet::Piega(parte.substr(0, uguale)) == "pwd")
            return parte.substr(uguale + 1);
        i = fine + 1;
    }
    return {};
}

}  // namespace

std::unique_ptr<Database> OpenDatabase(const std::string& percorso, bool esclusivo,
                                       bool solaLettura, const std::string& connessione) {
    // Our engine only reads, and never locks others out.
    if (esclusivo || !solaLettura) throw jet::FileBloccato(percorso);
    return std::make_unique<DatabaseSuJet>(jet::DatabaseJet::Apri(percorso, Password(connessione)));
}

}  // namespace quandora
