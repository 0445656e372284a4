// Build-time tool (runs on the build machine): writes the program's icons as
// .ico files from the pixel art below, so that no binary image is kept in
// the sources.
//
// Each picture is 16 rows of 16 characters; every character names a colour
// of the palette ('.' is transparent). Every icon file holds the 16 x 16
// image (the toolbar's also a grey one, "<name>_grigio.ico", for disabled
// buttons); the window's icon also holds a 32 x 32 image, the same art with
// every pixel doubled. Images are 32-bit BGRA with an AND mask, the form
// Windows XP and later read.
//
// Usage: GeneraIcone <output folder>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Colore {
    uint8_t r, g, b, a;
};

const std::map<char, Colore>& Tavolozza() {
    static const std::map<char, Colore> t = {
        {'.', {0, 0, 0, 0}},         {'k', {32, 32, 32, 255}},    {'g', {112, 112, 112, 255}},
        {'s', {192, 192, 192, 255}}, {'w', {255, 255, 255, 255}}, {'b', {24, 72, 176, 255}},
        {'l', {128, 176, 240, 255}}, {'y', {248, 208, 72, 255}},  {'o', {184, 128, 40, 255}},
        {'r', {208, 40, 32, 255}},   {'R', {240, 120, 104, 255}}, {'G', {32, 152, 64, 255}},
        {'L', {136, 216, 144, 255}}, {'d', {16, 40, 112, 255}},   {'c', {224, 232, 240, 255}},
        {'m', {160, 96, 24, 255}},   {'e', {232, 232, 232, 255}},
    };
    return t;
}

using Disegno = std::vector<std::string>;

// clang-format off
// The program: a sheet with its axes and a rising balance line.
const Disegno kTrevalto = {
    "bbbbbbbbbbbbbbbb",
    "bwwwwwwwwwwwwwwb",
    "bwkwwwwwwwwwwGwb",
    "bwkwwwwwwwwwGGwb",
    "bwkwwwwwwwwGwGwb",
    "bwkwwwwwwwGwwwwb",
    "bwkwwwwwwGwwwwwb",
    "bwkwwGwwGwwwwwwb",
    "bwkwGwGGwwwwwwwb",
    "bwkGwwwwwwwwwwwb",
    "bwkGwwwwwwwwwwwb",
    "bwkwwwwwwwwwwwwb",
    "bwkkkkkkkkkkkkwb",
    "bwwkwkwkwkwkwwwb",
    "bwwwwwwwwwwwwwwb",
    "bbbbbbbbbbbbbbbb",
};

// "clear": a new, empty sheet.
const Disegno kNuovo = {
    "..gggggggg......",
    "..gwwwwwwgg.....",
    "..gwwwwwwgwg....",
    "..gwwwwwwgwwg...",
    "..gwwwwwwggggg..",
    "..gwwwwwwwwwwg..",
    "..gwwwwwwwwwwg..",
    "..gwwwwwwwwwwg..",
    "..gwwwwwwwwwwg..",
    "..gwwwwwwwwwwg..",
    "..gwwwwwwwwwwg..",
    "..gwwwwwwwwwwg..",
    "..gwwwwwwwwwwg..",
    "..gwwwwwwwwwwg..",
    "..gggggggggggg..",
    "................",
};

// "open": an open folder.
const Disegno kApri = {
    "................",
    "................",
    ".mmmmm..........",
    "myyyyym.........",
    "myyyyyymmmmmmm..",
    "myyyyyyyyyyyym..",
    "myymmmmmmmmmmmmm",
    "mymyyyyyyyyyyyym",
    "mymyyyyyyyyyyym.",
    "mmyyyyyyyyyyyym.",
    "mmyyyyyyyyyyym..",
    "myyyyyyyyyyyym..",
    "mmmmmmmmmmmmm...",
    "................",
    "................",
    "................",
};

// "save": a diskette.
const Disegno kSalva = {
    "dddddddddddddd..",
    "dbbwwwwwwwwwbbd.",
    "dbbwwwwwwwwwbbbd",
    "dbbwwwwwwwwwbbbd",
    "dbbwwwwwwwwwbbbd",
    "dbbwwwwwwwwwbbbd",
    "dbbbbbbbbbbbbbbd",
    "dbbbbbbbbbbbbbbd",
    "dbbbssssssssbbbd",
    "dbbbsssssggsbbbd",
    "dbbbsssssggsbbbd",
    "dbbbsssssggsbbbd",
    "dbbbsssssggsbbbd",
    "dbbbssssssssbbbd",
    "dddddddddddddddd",
    "................",
};

// "clipboard": a clipboard with a sheet on it.
const Disegno kAppunti = {
    ".....kkkkkk.....",
    "..mmmkssssk mm..",
    ".mooooooooooooom",
    ".mowwwwwwwwwwwom",
    ".mowkkkkkkkkwwom",
    ".mowwwwwwwwwwwom",
    ".mowkkkkkkwwwwom",
    ".mowwwwwwwwwwwom",
    ".mowkkkkkkkkwwom",
    ".mowwwwwwwwwwwom",
    ".mowkkkkkwwwwwom",
    ".mowwwwwwwwwwwom",
    ".mowwwwwwwwwwwom",
    ".mooooooooooooom",
    ".mmmmmmmmmmmmmmm",
    "................",
};

// "undo": an arrow turning back.
const Disegno kAnnulla = {
    "................",
    "................",
    "....b...........",
    "...bb...........",
    "..bbbbbbbbbb....",
    ".bbbbbbbbbbbb...",
    "..bbbbbbbbbbbb..",
    "...bb......bbb..",
    "....b.......bbb.",
    "............bbb.",
    "............bbb.",
    "...........bbb..",
    "..........bbbb..",
    "......bbbbbbb...",
    "......bbbbbb....",
    "................",
};

// "bitmap": a framed landscape.
const Disegno kImmagine = {
    "................",
    "gggggggggggggggg",
    "gllllllllllllllg",
    "glllllllllyylllg",
    "glllllllllyyyylg",
    "glllllllllyylllg",
    "gllllllGlllllllg",
    "glllllGGGllllllg",
    "gllllGGGGGllGllg",
    "glllGGGGGGGGGGlg",
    "gllGGGGGGGGGGGGg",
    "glGGGGGGGGGGGGGg",
    "gGGGGGGGGGGGGGGg",
    "gggggggggggggggg",
    "................",
    "................",
};

// "printer".
const Disegno kStampante = {
    "................",
    "....wwwwwwww....",
    "....wkkkkkkw....",
    "....wwwwwwww....",
    "....wkkkkkww....",
    "..ggggggggggggg.",
    ".gssssssssssssg.",
    ".gssssssssssssg.",
    ".gsssssssssGGsg.",
    ".gssssssssssssg.",
    ".gggggggggggggg.",
    ".gswwwwwwwwwwsg.",
    ".gswkkkkkkkkwsg.",
    "..gwwwwwwwwwwg..",
    "..gggggggggggg..",
    "................",
};

// "help": a question mark on a blue disc.
const Disegno kGuida = {
    "................",
    ".....bbbbbb.....",
    "...bbbbbbbbbb...",
    "..bbbbwwwwbbbb..",
    "..bbbwwbbwwbbb..",
    ".bbbbwwbbwwbbbb.",
    ".bbbbbbbbwwbbbb.",
    ".bbbbbbbwwbbbbb.",
    ".bbbbbbwwbbbbbb.",
    ".bbbbbbwwbbbbbb.",
    "..bbbbbbbbbbbb..",
    "..bbbbbwwbbbbb..",
    "...bbbbwwbbbb...",
    ".....bbbbbb.....",
    "................",
    "................",
};

// The run button while no run is in progress: a green "start" arrow.
const Disegno kElabora = {
    "................",
    "...GG...........",
    "...GLG..........",
    "...GLLG.........",
    "...GLLLG........",
    "...GLLLLG.......",
    "...GLLLLLG......",
    "...GLLLLLLG.....",
    "...GLLLLLLG.....",
    "...GLLLLLG......",
    "...GLLLLG.......",
    "...GLLLG........",
    "...GLLG.........",
    "...GLG..........",
    "...GG...........",
    "................",
};

// The run button during a run: a red "stop" sign.
const Disegno kInterrompi = {
    "................",
    ".....rrrrrr.....",
    "....rRRRRRRr....",
    "...rRrrrrrrRr...",
    "..rRrrrrrrrrRr..",
    ".rRrrrrrrrrrrRr.",
    ".rRrwwwwwwwwrRr.",
    ".rRrwwwwwwwwrRr.",
    ".rRrwwwwwwwwrRr.",
    ".rRrrrrrrrrrrRr.",
    "..rRrrrrrrrrRr..",
    "...rRrrrrrrRr...",
    "....rRRRRRRr....",
    ".....rrrrrr.....",
    "................",
    "................",
};
// clang-format on

void Scrivi16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void Scrivi32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// The pixels of a picture at a scale (1: 16 x 16, 2: 32 x 32), row by row
// from the top.
std::vector<Colore> Pixel(const std::string& nome, const Disegno& d, int scala) {
    if (d.size() != 16) throw std::runtime_error(nome + ": 16 righe attese");
    const int lato = 16 * scala;
    std::vector<Colore> p(lato * lato);
    for (int y = 0; y < 16; ++y) {
        if (d[y].size() != 16) throw std::runtime_error(nome + ": riga di lunghezza errata");
        for (int x = 0; x < 16; ++x) {
            const auto c = Tavolozza().find(d[y][x] == ' ' ? '.' : d[y][x]);
            if (c == Tavolozza().end()) throw std::runtime_error(nome + ": colore sconosciuto");
            for (int sy = 0; sy < scala; ++sy)
                for (int sx = 0; sx < scala; ++sx)
                    p[(y * scala + sy) * lato + x * scala + sx] = c->second;
        }
    }
    return p;
}

// One icon image: BITMAPINFOHEADER (height doubled for the mask), the BGRA
// pixels bottom-up, then the 1-bit AND mask bottom-up with rows padded to
// 32 bits.
std::string Immagine(const std::vector<Colore>& p, int lato) {
    std::string out;
    Scrivi32(out, 40);
    Scrivi32(out, static_cast<uint32_t>(lato));
    Scrivi32(out, static_cast<uint32_t>(lato * 2));
    Scrivi16(out, 1);
    Scrivi16(out, 32);
    for (int i = 0; i < 6; ++i)
        Scrivi32(out, 0);
    for (int y = lato - 1; y >= 0; --y) {
        for (int x = 0; x < lato; ++x) {
            const Colore& c = p[y * lato + x];
            out.push_back(static_cast<char>(c.b));
            out.push_back(static_cast<char>(c.g));
            out.push_back(static_cast<char>(c.r));
            out.push_back(static_cast<char>(c.a));
        }
    }
    const int rigaMaschera = ((lato + 31) / 32) * 4;
    for (int y = lato - 1; y >= 0; --y) {
        std::string riga(rigaMaschera, '\0');
        for (int x = 0; x < lato; ++x)
            if (p[y * lato + x].a == 0)
                riga[x / 8] = static_cast<char>(riga[x / 8] | (0x80 >> (x % 8)));
        out += riga;
    }
    return out;
}

// The look of a disabled button: grey, light and faded.
std::vector<Colore> Grigio(std::vector<Colore> p) {
    for (auto& c : p) {
        const int luce = (c.r * 30 + c.g * 59 + c.b * 11) / 100;
        const auto g = static_cast<uint8_t>(128 + luce / 2);
        c = {g, g, g, static_cast<uint8_t>(c.a * 3 / 4)};
    }
    return p;
}

void ScriviIcona(const std::string& cartella, const std::string& nome, const Disegno& d,
                 bool anche32, bool grigia = false) {
    std::vector<std::string> immagini;
    std::vector<int> lati;
    immagini.push_back(Immagine(grigia ? Grigio(Pixel(nome, d, 1)) : Pixel(nome, d, 1), 16));
    lati.push_back(16);
    if (anche32) {
        immagini.push_back(Immagine(Pixel(nome, d, 2), 32));
        lati.push_back(32);
    }
    std::string out;
    Scrivi16(out, 0);
    Scrivi16(out, 1);
    Scrivi16(out, static_cast<uint16_t>(immagini.size()));
    uint32_t posizione = 6 + 16 * static_cast<uint32_t>(immagini.size());
    for (size_t i = 0; i < immagini.size(); ++i) {
        out.push_back(static_cast<char>(lati[i]));
        out.push_back(static_cast<char>(lati[i]));
        out.push_back(0);
        out.push_back(0);
        Scrivi16(out, 1);
        Scrivi16(out, 32);
        Scrivi32(out, static_cast<uint32_t>(immagini[i].size()));
        Scrivi32(out, posizione);
        posizione += static_cast<uint32_t>(immagini[i].size());
    }
    for (const auto& im : immagini)
        out += im;
    const std::string percorso = cartella + "/" + nome + (grigia ? "_grigio" : "") + ".ico";
    std::ofstream f(percorso, std::ios::binary | std::ios::trunc);
    f.write(out.data(), static_cast<std::streamsize>(out.size()));
    if (!f) throw std::runtime_error("impossibile scrivere " + percorso);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "uso: GeneraIcone <cartella>\n";
        return 2;
    }
    try {
        const std::string c = argv[1];
        ScriviIcona(c, "trevalto", kTrevalto, true);
        // The toolbar's buttons, each also in its disabled look.
        for (const bool grigia : {false, true}) {
            ScriviIcona(c, "nuovo", kNuovo, false, grigia);
            ScriviIcona(c, "apri", kApri, false, grigia);
            ScriviIcona(c, "salva", kSalva, false, grigia);
            ScriviIcona(c, "appunti", kAppunti, false, grigia);
            ScriviIcona(c, "annulla", kAnnulla, false, grigia);
            ScriviIcona(c, "immagine", kImmagine, false, grigia);
            ScriviIcona(c, "stampante", kStampante, false, grigia);
            ScriviIcona(c, "guida", kGuida, false, grigia);
        }
        ScriviIcona(c, "elabora", kElabora, false);
        ScriviIcona(c, "interrompi", kInterrompi, false);
    } catch (const std::exception& e) {
        std::cerr << "GeneraIcone: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
