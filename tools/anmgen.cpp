// Compiles a readable animation description into a .anm file, dumps a .anm file as one, or edits
// the top-level objects of a .anm file in place.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "anim/animation.h"
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

const char* kUsage =
    "usage: anmgen compile <description> <out.anm>\n"
    "       anmgen dump <file.anm>\n"
    "       anmgen edit <file.anm> swap <i> <j>      swap two top-level objects\n"
    "       anmgen edit <file.anm> move <from> <to>  move a top-level object to another place\n"
    "       anmgen edit <file.anm> delete <i|name>   delete a top-level object, or the first\n"
    "                                               object of that name at any depth\n";

bool readIndex(const char* text, int* out) {
    char* end = nullptr;
    const long v = strtol(text, &end, 10);
    if (!*text || *end || v < -1000000 || v > 1000000) return false;
    *out = static_cast<int>(v);
    return true;
}

C_AnimationObject* findNamed(C_AnimationObject* o, const char* name) {
    if (o->name && strcmp(o->name, name) == 0) return o;
    for (int i = 0; i < o->ChildCount(); ++i)
        if (C_AnimationObject* found = findNamed(o->ChildAt(i), name)) return found;
    return nullptr;
}

// Loads the file through the game's reader, applies one edit and saves it back.
int edit(int argc, char** argv) {
    const char* path = argv[2];
    const std::string op = argv[3];
    C_Animation anim(path);
    if (anim.Load() != kAnimOk || anim.ObjectCount() == 0) {
        fprintf(stderr, "%s: not an animation with objects\n", path);
        return 1;
    }
    int i = 0, j = 0;
    int32_t result = kAnimFail;
    if ((op == "swap" || op == "move") && argc == 6) {
        if (!readIndex(argv[4], &i) || !readIndex(argv[5], &j)) {
            fputs(kUsage, stderr);
            return 2;
        }
        if (op == "swap") {
            result = anim.SwapObjectsAt(i, j);
        } else if (C_AnimationObject* moved = anim.ObjectAt(i)) {
            // Out of range targets put it back where it was.
            anim.RemoveObjectAt(i);
            result = anim.InsertObject(j, moved) == j ? kAnimOk : kAnimFail;
            if (result != kAnimOk) anim.InsertObject(i, moved);
        }
    } else if (op == "delete" && argc == 5) {
        if (readIndex(argv[4], &i)) {
            result = anim.DeleteObjectAt(i);
        } else {
            C_AnimationObject* found = nullptr;
            for (int k = 0; k < anim.ObjectCount() && !found; ++k)
                found = findNamed(anim.ObjectAt(k), argv[4]);
            result = anim.DeleteObject(found);
        }
    } else {
        fputs(kUsage, stderr);
        return 2;
    }
    if (result != kAnimOk) {
        fprintf(stderr, "%s: no such object for '%s' (the file has %d top-level objects)\n", path,
                op.c_str(), anim.ObjectCount());
        return 1;
    }
    return anim.Save() == kAnimOk ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "edit" && argc >= 4) return edit(argc, argv);
    if (!((mode == "compile" && argc == 4) || (mode == "dump" && argc == 3))) {
        fputs(kUsage, stderr);
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
