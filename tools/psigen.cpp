// Writes the 128-byte particle definition files from their readable descriptions: one
// "field = number" per line, '#' starts a comment, fields left out are 0. Unknown fields, bad
// numbers and numbers that are not finite are refused, so a typo never ships a silent effect.
//   psigen <output folder> <description.txt>...   writes <output folder>/<name>.psi for each
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// Word index of each field in the file; word 0 is the actor slot and stays 0.
struct Field {
    const char* name;
    int word;
};
const Field kFields[] = {
    {"rate", 1},           {"duration", 2},        {"life_min", 3},
    {"life_max", 4},       {"direction", 5},       {"spread", 6},
    {"follow", 7},         {"speed_min", 8},       {"speed_max", 9},
    {"gravity_min", 10},   {"gravity_max", 11},    {"radial_min", 12},
    {"radial_max", 13},    {"tangential_min", 14}, {"tangential_max", 15},
    {"size_start", 16},    {"size_end", 17},       {"size_variance", 18},
    {"spin_start", 19},    {"spin_end", 20},       {"spin_variance", 21},
    {"start_red", 22},     {"start_green", 23},    {"start_blue", 24},
    {"start_alpha", 25},   {"end_red", 26},        {"end_green", 27},
    {"end_blue", 28},      {"end_alpha", 29},      {"colour_variance", 30},
    {"alpha_variance", 31},
};

std::string trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

bool convert(const char* source, const std::string& out) {
    std::ifstream in(source);
    if (!in) {
        fprintf(stderr, "%s: cannot read\n", source);
        return false;
    }
    uint32_t words[32] = {};
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        line = trim(line.substr(0, line.find('#')));
        if (line.empty()) continue;
        const size_t eq = line.find('=');
        const std::string key = trim(line.substr(0, eq));
        const std::string value = eq == std::string::npos ? "" : trim(line.substr(eq + 1));
        const Field* field = nullptr;
        for (const Field& f : kFields)
            if (key == f.name) field = &f;
        if (!field) {
            fprintf(stderr, "%s(%d): unknown field '%s'\n", source, number, key.c_str());
            return false;
        }
        char* end = nullptr;
        const double v = strtod(value.c_str(), &end);
        if (value.empty() || *end || !std::isfinite(v) || std::fabs(v) > 3.0e38) {
            fprintf(stderr, "%s(%d): '%s' is not a finite number\n", source, number,
                    value.c_str());
            return false;
        }
        if (field->word == 1 || field->word == 7) {
            if (v != std::floor(v) || std::fabs(v) > 2147483647.0) {
                fprintf(stderr, "%s(%d): %s takes a whole number\n", source, number, key.c_str());
                return false;
            }
            words[field->word] = static_cast<uint32_t>(static_cast<int32_t>(v));
        } else {
            const float f = static_cast<float>(v);
            std::memcpy(&words[field->word], &f, 4);
        }
    }
    unsigned char bytes[128];
    for (int i = 0; i < 32; ++i)
        for (int b = 0; b < 4; ++b)
            bytes[i * 4 + b] = static_cast<unsigned char>(words[i] >> (8 * b));
    FILE* f = fopen(out.c_str(), "wb");
    bool ok = f && fwrite(bytes, 1, sizeof bytes, f) == sizeof bytes;
    if (f) ok = fclose(f) == 0 && ok;
    if (!ok) fprintf(stderr, "%s: write failed\n", out.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: psigen <output folder> <description.txt>...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        std::string base = argv[i];
        base = base.substr(base.find_last_of('/') + 1);
        base = base.substr(0, base.rfind('.'));
        if (!convert(argv[i], std::string(argv[1]) + "/" + base + ".psi")) return 1;
    }
    return 0;
}
