// Fuzzes the INI store: arbitrary bytes as an INI file, read by the names found in it, then
// written to and read again.
#include <cstdint>
#include <cstring>

#include "engine/data/ini.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = fuzzsupport::writeScratch("fuzz.ini", data, size);
    const char* p = path.c_str();
    iniFreeAll();

    // A key taken from the input itself, so that lookups also hit.
    char key[17] = "k";
    for (size_t i = 0; i < size && i < 16 && data[i] != '='; ++i) {
        key[i] = data[i] ? static_cast<char>(data[i]) : 'k';
        key[i + 1] = '\0';
    }
    char sections[512];
    iniGetSections(p, sections, sizeof sections);
    int n = 0;
    for (const char* s = sections; *s && n < 4; s += strlen(s) + 1, ++n) {
        iniGetString(p, s, key, "d");
        iniGetInt(p, s, "k", 1);
        iniGetFloat(p, s, key, 1.0f);
        iniGetWide(p, s, key, u"d");
        iniGetText(p, s, key);
    }
    iniGetWideGlobal(p, key);
    iniGetText(p, nullptr, key);

    if (size & 1) {
        const char* section = sections[0] ? sections : "fuzz";
        iniWriteString(p, section, key, "value");
        iniWriteInt(p, "fuzz", "k", 7);
        if (size & 2) iniWriteWide(p, section, "wide", u"\u00E9t\u00E9");
        iniGetString(p, section, key, "d");
        iniDeleteSection(p, section);
        iniGetSections(p, sections, sizeof sections);
    }
    iniFreeAll();
    return 0;
}
