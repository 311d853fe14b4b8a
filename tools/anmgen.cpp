// Compiles a readable animation description into a .anm file, or dumps a .anm file as one.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/anmgen_text.h"

namespace {

bool readAll(const char* path, std::string& out) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    std::ostringstream s;
    s << f.rdbuf();
    out = s.str();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (!((mode == "compile" && argc == 4) || (mode == "dump" && argc == 3))) {
        fprintf(stderr, "usage: anmgen compile <description> <out.anm>\n       anmgen dump <file.anm>\n");
        return 2;
    }
    std::string input, error;
    if (!readAll(argv[2], input)) {
        perror(argv[2]);
        return 1;
    }
    if (mode == "dump") {
        std::string text;
        if (!anmDump(reinterpret_cast<const uint8_t*>(input.data()), input.size(), argv[2], text,
                     error)) {
            fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        fputs(text.c_str(), stdout);
        return 0;
    }
    std::vector<uint8_t> bytes;
    if (!anmCompile(input, argv[2], bytes, error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    FILE* f = fopen(argv[3], "wb");
    if (!f || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || fclose(f) != 0) {
        perror(argv[3]);
        return 1;
    }
    return 0;
}
