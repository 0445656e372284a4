#pragma once
// A fresh folder under the system's temporary folder, removed with all it
// holds when the object goes. Paths are UTF-8, as the code under test takes.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace quandora::test {

class CartellaTemporanea {
  public:
    CartellaTemporanea() {
        std::random_device rd;
        const auto base = std::filesystem::temp_directory_path();
        do {
            cartella_ = base / ("trevalto-test-" + std::to_string(rd()));
        } while (!std::filesystem::create_directory(cartella_));
    }
    ~CartellaTemporanea() {
        std::error_code ec;
        std::filesystem::remove_all(cartella_, ec);
    }
    CartellaTemporanea(const CartellaTemporanea&) = delete;
    CartellaTemporanea& operator=(const CartellaTemporanea&) = delete;

    // The folder itself, without a final separator.
    std::string Percorso() const { return Utf8(cartella_); }
    // A file or folder name inside it.
    std::string File(const std::string& nome) const {
        return Utf8(cartella_ / std::filesystem::u8path(nome));
    }

    static std::string Utf8(const std::filesystem::path& p) {
        const auto u = p.u8string();
        return std::string(u.begin(), u.end());
    }

    // Test-side file access, independent of the code under test.
    static std::string Leggi(const std::string& percorso) {
        std::ifstream f(std::filesystem::u8path(percorso), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    static void Scrivi(const std::string& percorso, const std::string& dati) {
        std::ofstream f(std::filesystem::u8path(percorso), std::ios::binary | std::ios::trunc);
        f.write(dati.data(), static_cast<std::streamsize>(dati.size()));
    }
    static bool Esiste(const std::string& percorso) {
        return std::filesystem::exists(std::filesystem::u8path(percorso));
    }
    size_t NumeroFile() const {
        using Elenco = std::filesystem::directory_iterator;
        return static_cast<size_t>(std::distance(Elenco(cartella_), Elenco()));
    }

  private:
    std::filesystem::path cartella_;
};

}  // namespace quandora::test
