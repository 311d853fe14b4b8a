// Configuration files read and written through the file layer.
#include "engine/data/config_file.h"

#include "engine/data/file.h"

namespace {

// The size of the file on the disk; 0 when it is empty, cannot be told or the file is in a pack.
long sizeOnDisk(const char* fileName) {
    FileHandle* file = fileOpen(fileName, 1);
    const long size = fileSize(file);
    fileClose(file);
    return size;
}

}  // namespace

cConfigFile::cConfigFile(const char* fileName) {
    setFileName(fileName);
    const char* name = fileName ? fileName : "";
    if (!fileName || !fileExists(fileName)) {
        AddError("%s: file not found", name);
        return;
    }
    unsigned char* block = nullptr;
    const int size = fileLoad(fileName, &block);
    if (size <= 0 || !block) {
        if (block) memFree(block);
        // fileLoad gives nothing both for an empty file and for one it could not read whole (a
        // failed read, a damaged ".zz" stream); the size on the disk tells the two apart.
        if (sizeOnDisk(fileName) > 0)
            AddError("%s: read error", name);
        else
            AddError("%s: file is empty or seek error", name);
        return;
    }
    Parse(fileName, reinterpret_cast<const char*>(block), static_cast<size_t>(size));
    memFree(block);
}

bool cConfigFile::Save(const char* fileName) const {
    if (!fileName || !*fileName) return false;
    const CString text = Format();
    const int written = fileSave(fileName, text.c_str(), text.length());
    // An empty text writes an empty file, which fileSave reports as 0 bytes either way.
    return text.length() > 0 ? written == text.length() : fileExists(fileName) != 0;
}
