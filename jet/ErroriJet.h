#pragma once
// The engine's errors: DAO's numbers with Italian descriptions in the style
// of the engine's own messages.

#include <string>

#include "util/Errore.h"

namespace quandora::jet {

Errore FileNonTrovato(const std::string& percorso);          // 3024
Errore PasswordNonValida();                                  // 3031
Errore FileBloccato(const std::string& percorso);            // 3051
Errore FileInUso(const std::string& percorso);               // 3045
Errore FormatoNonRiconosciuto(const std::string& percorso);  // 3343
Errore DatabaseDanneggiato(const std::string& percorso);     // 3049
Errore TabellaNonTrovata(const std::string& nome);           // 3078
Errore ParametriInsufficienti(int previsti);                 // 3061
Errore ErroreSintassi(const std::string& espressione);       // 3075
Errore ErroreSintassiFrom();                                 // 3131
Errore ErroreSintassiQuery();                                // 3000-style generic: 3142
Errore NessunRecordCorrente();                               // 3021
Errore ElementoNonTrovato();                                 // 3265
Errore CampoAmbiguo(const std::string& nome);                // 3079
Errore TipiNonCorrispondenti();                              // 3464
Errore FunzioneNonDefinita(const std::string& nome);         // 3085
Errore OverflowNumerico();                                   // 3349

}  // namespace quandora::jet
