#include "chart/SuperficieGdi_win32.h"

#include <algorithm>
#include <cmath>

#include "util/Errore.h"
#include "util/Testo.h"

namespace quandora {

namespace {

constexpr Colore kBianco = RGBColore(255, 255, 255);

// GDI takes coordinates of 27 bits; anything beyond is off the surface
// anyway, and the conversion to int must not overflow.
int Pixel(double v) {
    constexpr double kLimite = 1 << 26;
    if (!(v > -kLimite)) return -(1 << 26);
    if (v > kLimite) return 1 << 26;
    return static_cast<int>(std::lround(v));
}

}  // namespace

// --- SuperficieGdi ---------------------------------------------------------

SuperficieGdi::SuperficieGdi(HDC dc, int larghezza, int altezza)
    : dc_(dc),
      larghezza_(std::max(larghezza, 1)),
      altezza_(std::max(altezza, 1)),
      larghezzaScala_(larghezza_),
      altezzaScala_(altezza_) {
    bkOriginale_ = SetBkMode(dc_, TRANSPARENT);
    SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

SuperficieGdi::~SuperficieGdi() {
    // The device context's own pen, brush and font go back before this
    // surface's are deleted.
    pennaSelezionata_.Ripristina();
    pennelloSelezionato_.Ripristina();
    fontSelezionato_.Ripristina();
    if (bkOriginale_) SetBkMode(dc_, bkOriginale_);
}

void SuperficieGdi::CambiaArea(int larghezza, int altezza) {
    larghezza_ = std::max(larghezza, 1);
    altezza_ = std::max(altezza, 1);
}

int SuperficieGdi::PixelX(double x) const {
    return Pixel((x - sinistra_) * larghezza_ / larghezzaScala_);
}
int SuperficieGdi::PixelY(double y) const {
    return Pixel((y - alto_) * altezza_ / altezzaScala_);
}
double SuperficieGdi::UtenteX(int px) const {
    return sinistra_ + static_cast<double>(px) * larghezzaScala_ / larghezza_;
}
double SuperficieGdi::UtenteY(int py) const {
    return alto_ + static_cast<double>(py) * altezzaScala_ / altezza_;
}

void SuperficieGdi::Cancella() {
    Disegnato();
    const Pennello bianco(CreateSolidBrush(kBianco));
    RECT r{0, 0, larghezza_, altezza_};
    FillRect(dc_, &r, bianco.get());
}

void SuperficieGdi::ScalaUtente(double sinistra, double alto, double larghezza, double altezza) {
    // A zero extent would divide by zero; the surface keeps its scale then.
    if (larghezza == 0 || altezza == 0) return;
    sinistra_ = sinistra;
    alto_ = alto;
    larghezzaScala_ = larghezza;
    altezzaScala_ = altezza;
}

void SuperficieGdi::ColorePenna(Colore colore) {
    if (colore != colore_) pennaValida_ = false;
    colore_ = colore;
}
void SuperficieGdi::SpessorePenna(int pixel) {
    pixel = std::max(pixel, 1);
    if (pixel != spessore_) pennaValida_ = false;
    spessore_ = pixel;
}
void SuperficieGdi::StilePenna(StileTratto stile) {
    if (stile != stile_) pennaValida_ = false;
    stile_ = stile;
}
void SuperficieGdi::NomeCarattere(const std::string& nome) {
    if (nome != carattere_) fontValido_ = false;
    carattere_ = nome;
}
void SuperficieGdi::DimensioneCarattere(double punti) {
    if (punti != punti_) fontValido_ = false;
    punti_ = punti;
}
void SuperficieGdi::Grassetto(bool grassetto) {
    if (grassetto != grassetto_) fontValido_ = false;
    grassetto_ = grassetto;
}

void SuperficieGdi::PreparaPenna() {
    if (pennaValida_ && penna_) return;
    Penna nuova;
    if (stile_ == StileTratto::Tratteggiato) {
        if (spessore_ == 1) {
            nuova.reset(CreatePen(PS_DASH, 1, colore_));
        } else {
            // A wide dashed pen must be geometric: a cosmetic one is solid.
            LOGBRUSH lb{BS_SOLID, colore_, 0};
            nuova.reset(ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT,
                                     static_cast<DWORD>(spessore_), &lb, 0, nullptr));
        }
    } else {
        nuova.reset(CreatePen(PS_SOLID, spessore_, colore_));
    }
    if (!nuova) throw ErroreDiSistema(7);
    Pennello pennello(CreateSolidBrush(colore_));
    if (!pennello) throw ErroreDiSistema(7);
    // The new ones in the old ones' place, which then go.
    pennaSelezionata_.Seleziona(dc_, nuova.get());
    pennelloSelezionato_.Seleziona(dc_, pennello.get());
    penna_ = std::move(nuova);
    pennello_ = std::move(pennello);
    pennaValida_ = true;
}

void SuperficieGdi::PreparaCarattere() {
    if (fontValido_ && font_) return;
    // Points through the device's resolution: 72 points, 1440 twips, to
    // the inch.
    const int dpi = GetDeviceCaps(dc_, LOGPIXELSY);
    const int altezza = -static_cast<int>(std::lround(punti_ * (dpi > 0 ? dpi : 96) / 72.0));
    const std::string nome = ToAnsi(carattere_).substr(0, LF_FACESIZE - 1);
    Carattere nuovo(CreateFontA(altezza, 0, 0, 0, grassetto_ ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, nome.c_str()));
    if (!nuovo) throw ErroreDiSistema(7);
    fontSelezionato_.Seleziona(dc_, nuovo.get());
    font_ = std::move(nuovo);
    fontValido_ = true;
}

void SuperficieGdi::Linea(double x1, double y1, double x2, double y2) {
    Disegnato();
    PreparaPenna();
    MoveToEx(dc_, PixelX(x1), PixelY(y1), nullptr);
    LineTo(dc_, PixelX(x2), PixelY(y2));
}

void SuperficieGdi::Punto(double x, double y) {
    Disegnato();
    const int px = PixelX(x);
    const int py = PixelY(y);
    if (spessore_ <= 1) {
        SetPixel(dc_, px, py, colore_);
        return;
    }
    // A filled circle whose diameter is the pen's width, centred on the
    // point, outlined with a thin solid pen of the same colour.
    const int spessore = spessore_;
    const StileTratto stile = stile_;
    spessore_ = 1;
    stile_ = StileTratto::Continuo;
    pennaValida_ = false;
    PreparaPenna();
    const int r = spessore / 2;
    Ellipse(dc_, px - r, py - r, px - r + spessore, py - r + spessore);
    spessore_ = spessore;
    stile_ = stile;
    pennaValida_ = false;
}

double SuperficieGdi::LarghezzaTesto(const std::string& testo) {
    PreparaCarattere();
    const std::string ansi = ToAnsi(testo);
    SIZE s{0, 0};
    GetTextExtentPoint32A(dc_, ansi.c_str(), static_cast<int>(ansi.size()), &s);
    return static_cast<double>(s.cx) * larghezzaScala_ / larghezza_;
}

double SuperficieGdi::AltezzaTesto(const std::string&) {
    // One line of the current font, whatever the text (also when empty).
    PreparaCarattere();
    TEXTMETRICA tm{};
    GetTextMetricsA(dc_, &tm);
    return static_cast<double>(tm.tmHeight) * altezzaScala_ / altezza_;
}

void SuperficieGdi::Stampa(const std::string& testo) {
    Disegnato();
    PreparaCarattere();
    const std::string ansi = ToAnsi(testo);
    SetTextColor(dc_, colore_);
    SetBkMode(dc_, TRANSPARENT);
    TextOutA(dc_, PixelX(x_), PixelY(y_), ansi.c_str(), static_cast<int>(ansi.size()));
}

// --- SuperficieStampante -----------------------------------------------------

SuperficieStampante::SuperficieStampante(HDC stampante)
    : SuperficieGdi(stampante, GetDeviceCaps(stampante, HORZRES),
                    GetDeviceCaps(stampante, VERTRES)) {}

// --- FinestraGrafico ---------------------------------------------------------

class FinestraGrafico::SuperficieImmagine : public SuperficieGdi {
  public:
    SuperficieImmagine(FinestraGrafico& finestra, int larghezza, int altezza)
        : SuperficieGdi(finestra.dcMemoria_.get(), larghezza, altezza), finestra_(finestra) {
        ScalaUtente(0, 0, 3000, 3000);
    }
    using SuperficieGdi::CambiaArea;

  protected:
    // Drawing goes to the bitmap; the window shows it at its next paint.
    void Disegnato() override {
        if (!finestra_.invalidata_ && finestra_.Finestra()) {
            InvalidateRect(finestra_.Finestra(), nullptr, FALSE);
            finestra_.invalidata_ = true;
        }
    }

  private:
    FinestraGrafico& finestra_;
};

namespace {
const char* const kClasse = "TrevaltoGrafico";

void RegistraClasse(WNDPROC procedura) {
    static bool registrata = false;
    if (registrata) return;
    WNDCLASSA wc{};
    wc.style = 0;
    wc.lpfnWndProc = procedura;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;
    wc.lpszClassName = kClasse;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw ErroreDiSistema(7);
    registrata = true;
}
}  // namespace

FinestraGrafico::FinestraGrafico(HWND genitore, int id, int x, int y, int larghezza, int altezza) {
    RegistraClasse(&FinestraBase::Procedura);
    dcMemoria_ = CreaDCMemoria(PrendiDC(nullptr).get());
    if (!dcMemoria_) throw ErroreDiSistema(7);
    Ridimensiona(larghezza, altezza);
    superficie_ = std::make_unique<SuperficieImmagine>(*this, larghezza_, altezza_);

    if (!CreaFinestra(0, kClasse, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, larghezza,
                      altezza, genitore, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)))) {
        throw ErroreDiSistema(7);
    }
    // The client area may be smaller than the rectangle (borders).
    RECT r{};
    GetClientRect(hwnd_, &r);
    Ridimensiona(r.right - r.left, r.bottom - r.top);
}

FinestraGrafico::~FinestraGrafico() {
    // The window goes before the image it paints from.
    Distruggi();
}

Superficie& FinestraGrafico::Superficie() {
    return *superficie_;
}

int FinestraGrafico::Larghezza() const {
    return larghezza_;
}
int FinestraGrafico::Altezza() const {
    return altezza_;
}

void FinestraGrafico::Ridimensiona(int larghezza, int altezza) {
    larghezza = std::max(larghezza, 1);
    altezza = std::max(altezza, 1);
    if (bitmap_ && larghezza == larghezza_ && altezza == altezza_) return;
    Bitmap nuova(CreateCompatibleBitmap(PrendiDC(nullptr).get(), larghezza, altezza));
    if (!nuova) return;  // keeps the old image; the next resize tries again
    {
        // The new image: white, with the old one at its top-left corner.
        const DCCreato dc = CreaDCMemoria(dcMemoria_.get());
        const OggettoSelezionato selezionata(dc.get(), nuova.get());
        RECT r{0, 0, larghezza, altezza};
        const Pennello bianco(CreateSolidBrush(kBianco));
        FillRect(dc.get(), &r, bianco.get());
        if (bitmap_) BitBlt(dc.get(), 0, 0, larghezza_, altezza_, dcMemoria_.get(), 0, 0, SRCCOPY);
    }
    // The new image in the old one's place, which then goes.
    bitmapSelezionata_.Seleziona(dcMemoria_.get(), nuova.get());
    bitmap_ = std::move(nuova);
    larghezza_ = larghezza;
    altezza_ = altezza;
    if (superficie_) superficie_->CambiaArea(larghezza, altezza);
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

Bitmap FinestraGrafico::CopiaImmagine() const {
    Bitmap copia;
    DCCreato dc;
    {
        const DCFinestra schermo = PrendiDC(nullptr);
        copia.reset(CreateCompatibleBitmap(schermo.get(), larghezza_, altezza_));
        if (copia) dc = CreaDCMemoria(schermo.get());
    }
    if (!dc) return {};
    // The copy leaves the device context before it is handed out.
    const OggettoSelezionato selezionata(dc.get(), copia.get());
    BitBlt(dc.get(), 0, 0, larghezza_, altezza_, dcMemoria_.get(), 0, 0, SRCCOPY);
    return copia;
}

namespace {
// The button of a mouse message (1 left, 2 right, 4 middle) and whether it
// is a press.
int PulsanteDi(UINT msg, bool& pressione) {
    pressione = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            return 1;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return 2;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return 4;
        default:
            return 0;
    }
}
}  // namespace

void FinestraGrafico::Mouse(UINT msg, WPARAM wp, LPARAM lp) {
    const int px = static_cast<short>(LOWORD(lp));
    const int py = static_cast<short>(HIWORD(lp));
    int16_t shift = 0;
    if (wp & MK_SHIFT) shift |= 1;
    if (wp & MK_CONTROL) shift |= 2;
    if (GetKeyState(VK_MENU) < 0) shift |= 4;
    const float x = static_cast<float>(superficie_->UtenteX(px));
    const float y = static_cast<float>(superficie_->UtenteY(py));
    if (msg == WM_MOUSEMOVE) {
        int16_t pulsante = 0;
        if (wp & MK_LBUTTON) pulsante |= 1;
        if (wp & MK_RBUTTON) pulsante |= 2;
        if (wp & MK_MBUTTON) pulsante |= 4;
        if (MouseMove) MouseMove(pulsante, shift, x, y);
        return;
    }
    bool pressione = false;
    const int pulsante = PulsanteDi(msg, pressione);
    if (pressione) {
        if (premuti_ == 0) SetCapture(hwnd_);
        premuti_ |= pulsante;
        return;
    }
    if ((premuti_ & pulsante) == 0) return;  // pressed elsewhere
    premuti_ &= ~pulsante;
    // The capture goes before the handler runs: the right button's handler
    // opens a menu, which takes the mouse itself.
    if (premuti_ == 0 && GetCapture() == hwnd_) ReleaseCapture();
    RECT r{};
    GetClientRect(hwnd_, &r);
    const POINT p{px, py};
    if (PtInRect(&r, p) && MouseUp) MouseUp(static_cast<int16_t>(pulsante), shift, x, y);
}

LRESULT FinestraGrafico::Messaggio(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;  // the bitmap covers everything
        case WM_PAINT: {
            {
                const DCPittura dc(hwnd_);
                BitBlt(dc.get(), 0, 0, larghezza_, altezza_, dcMemoria_.get(), 0, 0, SRCCOPY);
            }
            invalidata_ = false;
            return 0;
        }
        case WM_SIZE:
            Ridimensiona(LOWORD(lp), HIWORD(lp));
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            Mouse(msg, wp, lp);
            return 0;
        case WM_CAPTURECHANGED:
            // Another window took the mouse (a menu, a dialog): the presses
            // seen so far lead to no click.
            if (reinterpret_cast<HWND>(lp) != hwnd_) premuti_ = 0;
            return 0;
        default:
            return DefWindowProcA(hwnd_, msg, wp, lp);
    }
}

}  // namespace quandora
