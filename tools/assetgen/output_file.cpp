#include "output_file.h"

#include <cerrno>
#include <cstring>

FILE* OpenOutput(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::fprintf(stderr, "qel-assets: cannot write %s: %s\n", path.c_str(),
                     std::strerror(errno));
    return f;
}

bool FinishOutput(FILE* f, const std::string& path,
                  const std::vector<unsigned char>& bytes) {
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "qel-assets: error writing %s\n", path.c_str());
        std::remove(path.c_str());
    }
    return ok;
}

void AbandonOutput(FILE* f, const std::string& path) {
    std::fclose(f);
    std::remove(path.c_str());
}
