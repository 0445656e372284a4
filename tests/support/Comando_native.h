#pragma once
// A command of the Linux shell run by a native test (mdbtools, jetsql): its
// standard output, with "<uscita N>" added when it ends with status N other
// than 0, so that a failed command shows in the comparison that uses it.

#include <cstdio>
#include <string>

namespace quandora::test {

inline std::string UscitaComando(const std::string& comando) {
    std::string out;
    FILE* p = popen(comando.c_str(), "r");
    if (!p) return "<popen fallita>";
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    const int rc = pclose(p);
    if (rc != 0) out += "<uscita " + std::to_string(rc) + ">";
    return out;
}

}  // namespace quandora::test
