#include "chart/Comandi_win32.h"

#include <winspool.h>

#include <cstring>
#include <vector>

#include "util/Errore.h"
#include "util/FileBinario.h"
#include "util/Finestra_win32.h"
#include "util/Gdi_win32.h"
#include "util/Testo.h"
#include "util/uxUtilita.h"

namespace quandora {

namespace {

constexpr char kFiltroVrt[] = "file VRT (*.vrt)|*.vrt|Tutti i file (*.*)|*.*";
constexpr unsigned kFlagsSalva = 2050;  // OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST
constexpr unsigned kFlagsApri = 4100;   // OFN_FILEMUSTEXIST | OFN_HIDEREADONLY

// Sets up a file dialog object and shows it; false on a cancel.
bool Mostra(HWND proprietario, DialogoFile& dialogo, const char* titolo, const char* filtro,
            const char* estensione, unsigned flags, bool salva) {
    dialogo.Titolo = titolo;
    dialogo.Filtro = filtro;
    dialogo.DefaultExt = estensione;
    dialogo.Flags = flags;
    return InterazioneAttiva().MostraDialogoFile(reinterpret_cast<intptr_t>(proprietario), dialogo,
                                                 salva);
}

void Conferma(const std::string& file) {
    InterazioneAttiva().MsgBox(Maiuscolo(file) + ": file salvato.", mb::kOk | mb::kIconInformation,
                               "Salvataggio");
}

// Reports what a command trapped, as the window's commands do.
void Riporta(const std::exception& e, const char* comando) {
    ErroreCorrente().Imposta(ErroreDaEccezione(e));
    uxUtilita().PrintErroreEx(comando);
}

// A printer's print document: whatever happens, it is ended or aborted
// before its device context goes.
class Stampa {
  public:
    Stampa() {
        char nome[512];
        DWORD n = sizeof nome;
        if (!GetDefaultPrinterA(nome, &n)) throw ErroreDiSistema(482);
        dc_.reset(CreateDCA("WINSPOOL", nome, nullptr, nullptr));
        if (!dc_) throw ErroreDiSistema(482);
        DOCINFOA documento = {};
        documento.cbSize = sizeof documento;
        documento.lpszDocName = "Grafico Trevalto Saldo";
        if (StartDocA(dc_.get(), &documento) <= 0) throw ErroreDiSistema(482);
        aperto_ = true;
        if (StartPage(dc_.get()) <= 0) throw ErroreDiSistema(482);
    }
    ~Stampa() {
        if (aperto_) AbortDoc(dc_.get());
    }
    Stampa(const Stampa&) = delete;
    Stampa& operator=(const Stampa&) = delete;

    HDC Dc() const { return dc_.get(); }
    void Fine() {
        if (EndPage(dc_.get()) <= 0) throw ErroreDiSistema(482);
        if (EndDoc(dc_.get()) <= 0) throw ErroreDiSistema(482);
        aperto_ = false;
    }

  private:
    DCCreato dc_;
    bool aperto_ = false;
};

}  // namespace

ComandiGrafico::ComandiGrafico(GraficoSaldi& grafico, FinestraGrafico& immagine, HWND proprietario)
    : grafico_(grafico), immagine_(immagine), proprietario_(proprietario) {}

void ComandiGrafico::SalvaComeVrt() {
    if (!Mostra(proprietario_, Dialog, "Salva Grafico Trevalto File...", kFiltroVrt, "vrt",
                kFlagsSalva, true)) {
        return;
    }
    const std::string file = Dialog.FileName;
    try {
        grafico_.SalvaVrtFile(file);
        Conferma(file);
    } catch (const std::exception& e) {
        Riporta(e, "Salva File VRT");
    }
}

void ComandiGrafico::ApriVrt() {
    if (!Mostra(proprietario_, DialogApri, "Apri Grafico Trevalto File...", kFiltroVrt, "vrt",
                kFlagsApri, false)) {
        return;
    }
    const std::string file = DialogApri.FileName;
    try {
        grafico_.AzzeraGrafico();
        grafico_.ApriVrtFile(file);
        grafico_.AggiornaGrafico();
    } catch (const std::exception& e) {
        Riporta(e, "Apri File VRT");
    }
}

void ComandiGrafico::StampaGrafico() {
    try {
        Stampa stampa;
        SuperficieStampante pagina(stampa.Dc());
        grafico_.DisegnaGrafico(pagina);
        grafico_.DisegnaSegni(pagina);
        stampa.Fine();
    } catch (const Errore& e) {
        if (e.Numero() > 0) {
            InterazioneAttiva().MsgBox("Impossibile stampare. Verificare se la stampante è on-line",
                                       mb::kOk | mb::kIconCritical, "Errore");
        }
    } catch (const std::exception&) {
        InterazioneAttiva().MsgBox("Impossibile stampare. Verificare se la stampante è on-line",
                                   mb::kOk | mb::kIconCritical, "Errore");
    }
}

void ComandiGrafico::SalvaComeBitmap() {
    if (!Mostra(proprietario_, Dialog, "Salva immagine come file bitmap...",
                "file Bitmap (*.bmp)|*.bmp|Tutti i file (*.*)|*.*", "bmp", kFlagsSalva, true)) {
        return;
    }
    const std::string file = Dialog.FileName;
    try {
        const std::string bmp =
            FileBmp(immagine_.CopiaImmagine(), immagine_.Larghezza(), immagine_.Altezza());
        EsitoFile esito;
        if (!ScriviFileSicuro(file, bmp, esito)) throw ErroreFile(esito);
        Conferma(file);
    } catch (const std::exception& e) {
        Riporta(e, "Salva immagine");
    }
}

void ComandiGrafico::CopiaInClipboard() {
    try {
        bool ok = false;
        {
            const Appunti appunti(proprietario_);
            if (!appunti.Aperti()) throw Errore(521, "Impossibile aprire gli Appunti");
            // A copy of the image: the clipboard owns what it takes.
            Bitmap copia = immagine_.CopiaImmagine();
            ok = copia && SetClipboardData(CF_BITMAP, copia.get()) != nullptr;
            if (ok) copia.release();
        }
        if (!ok) throw Errore(460, TestoErroreDiSistema(460));
    } catch (const std::exception& e) {
        Riporta(e, "Clipboard");
    }
}

std::string FileBmp(Bitmap copia, int larghezza, int altezza) {
    if (!copia) throw ErroreDiSistema(7);
    if (larghezza <= 0 || altezza <= 0) throw ErroreDiSistema(481);
    const size_t riga = (static_cast<size_t>(larghezza) * 3 + 3) & ~size_t{3};
    const size_t pixel = riga * static_cast<size_t>(altezza);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = larghezza;
    info.bmiHeader.biHeight = altezza;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(pixel);

    BITMAPFILEHEADER testa = {};
    testa.bfType = 0x4D42;  // "BM"
    testa.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    testa.bfSize = static_cast<DWORD>(testa.bfOffBits + pixel);

    std::string file(testa.bfSize, '\0');
    std::memcpy(file.data(), &testa, sizeof testa);
    std::memcpy(file.data() + sizeof testa, &info.bmiHeader, sizeof info.bmiHeader);
    // The copy is in no device context, as GetDIBits requires of the
    // bitmap it reads; the screen's context gives the conversion.
    const int righe = GetDIBits(PrendiDC(nullptr).get(), copia.get(), 0, static_cast<UINT>(altezza),
                                file.data() + testa.bfOffBits, &info, DIB_RGB_COLORS);
    if (righe != altezza) throw ErroreDiSistema(481);
    return file;
}

}  // namespace quandora
