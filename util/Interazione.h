#pragma once
// Everything that waits for a person goes through Interazione: the program
// installs the real one (message boxes of Windows), in-process tests a
// scripted one that records what would have been shown and answers for the
// user.

#include <cstdint>
#include <string>
#include <string_view>

namespace quandora {

// Message box styles and answers, with the values of Windows' MB_ and ID
// constants so that the real implementation passes them through.
namespace mb {
constexpr unsigned kOk = 0x00;
constexpr unsigned kOkCancel = 0x01;
constexpr unsigned kYesNo = 0x04;
constexpr unsigned kIconCritical = 0x10;
constexpr unsigned kIconQuestion = 0x20;
constexpr unsigned kIconExclamation = 0x30;
constexpr unsigned kIconInformation = 0x40;
constexpr unsigned kDefButton2 = 0x100;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;
}  // namespace mb

// A file dialog object: what it shows and the last name chosen in it, which
// it offers again the next time. Flags are Windows' OFN_ values.
struct DialogoFile {
    std::string Titolo;
    // "description|pattern|description|pattern..."
    std::string Filtro;
    // Added to a name typed without extension.
    std::string DefaultExt;
    unsigned Flags = 0;
    // The chosen file (UTF-8), kept between uses.
    std::string FileName;
};

class Interazione {
  public:
    virtual ~Interazione() = default;
    // A modal message box: text, style (mb:: flags) and title; the answer
    // is the button pressed (mb::kId...).
    virtual int MsgBox(std::string_view testo, unsigned stile, std::string_view titolo) = 0;
    // Lets the program handle the window events waiting for it, then returns
    // (a long operation calls it between its steps). Nothing to do where
    // there are no windows.
    virtual void DoEvents() {}
    // The folder-browse dialog owned by the window hWnd, with titolo as its
    // instruction: the chosen file-system folder without a final "\\", or
    // "" when the person cancels. The base answers as a cancel does; the
    // real one shows Windows' dialog.
    virtual std::string SfogliaCartella(intptr_t hWnd, std::string_view titolo);
    // Shows the open or save dialog owned by the window hWnd. True with the
    // name in dialogo.FileName when the person chose a file; false when they
    // cancelled (the name stays as it was). The base answers as a cancel.
    virtual bool MostraDialogoFile(intptr_t hWnd, DialogoFile& dialogo, bool salva);
};

// The process's current Interazione. Windows builds start with the real
// one; native builds with one that writes the box to standard error and
// answers with its default button.
Interazione& InterazioneAttiva();

// Installs another Interazione (nullptr goes back to the default) and
// returns the previous one. The caller keeps ownership.
Interazione* ImpostaInterazione(Interazione* nuova);

// The platform's default Interazione (defined per platform).
Interazione& InterazionePredefinita();

}  // namespace quandora
