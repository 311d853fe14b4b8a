// Configuration files: the core library's configuration text (core/config.h) read from and
// written to a file through the file layer, so files in the resource pack are found too.
#pragma once

#include "core/config.h"

class cConfigFile : public cConfigText {
public:
    // Loads and parses the file. The object always exists; a file that cannot be found, is
    // empty or cannot be read leaves no sections and an error ("name: file not found", "name:
    // file is empty or seek error").
    explicit cConfigFile(const char* fileName);

    // Writes the whole structure (replacing the file only once all of it is written). False when
    // the file could not be written.
    bool Save(const char* fileName) const;
};
