// Replays fuzz inputs (files named on the command line) through a fuzz target without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        FILE* f = fopen(argv[i], "rb");
        if (!f) {
            fprintf(stderr, "cannot open %s\n", argv[i]);
            return 1;
        }
        fseek(f, 0, SEEK_END);
        long size = ftell(f);
        fseek(f, 0, SEEK_SET);
        uint8_t* data = static_cast<uint8_t*>(malloc(size > 0 ? size : 1));
        size_t got = fread(data, 1, size > 0 ? size : 0, f);
        fclose(f);
        LLVMFuzzerTestOneInput(data, got);
        free(data);
        printf("%s: ok\n", argv[i]);
    }
    return 0;
}
