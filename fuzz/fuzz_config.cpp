// Fuzzes the configuration-text parser: arbitrary bytes as a text, looked up, written out, and
// the written text parsed and written again. (The two texts need not match: a variable whose
// name begins with ',' after a value list reads back as a separator.)
#include <cstdint>

#include "core/config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    cConfigText config;
    config.Parse("fuzz.cfg", reinterpret_cast<const char*>(data), size);
    for (uint32_t i = 0; i < config.SectionCount() && i < 8; ++i) {
        cConfigSection& s = config.SectionAt(i);
        if (s.Variables().size() == 0) continue;
        const char* name = s.Variables()[0].GetName();
        config.GetInt(s.GetName(), name, 0);
        config.GetString(s.GetName(), name, "");
    }
    const CString text = config.Format();
    cConfigText again;
    again.Parse("again.cfg", text.c_str(), static_cast<size_t>(text.length()));
    again.Format();
    return 0;
}
