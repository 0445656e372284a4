#pragma once
// The lexer of the engine's SQL: a statement's text as tokens. Names keep
// their spelling ([bracketed] ones without the brackets), texts lose their
// quotes (doubled quotes become one), numbers and #dates# become values.
// Syntax errors are 3075 with the text around the fault.

#include <cstddef>
#include <string>
#include <vector>

#include "jet/Valore.h"

namespace quandora::jet::sql {

enum class Tok { Nome, Numero, Stringa, Data, Simbolo, Fine };

struct Token {
    Tok Tipo = Tok::Fine;
    std::string Testo;  // name (without brackets), text, symbol
    bool TraParentesi = false;
    Valore Numero;                // number or date
    size_t Inizio = 0, Fine = 0;  // position in the text
};

// The tokens of the text, the last one of kind Fine.
std::vector<Token> Lessico(const std::string& sql);

}  // namespace quandora::jet::sql
