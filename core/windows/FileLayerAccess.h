#pragma once

// Windows only: the file layer's helpers adopt native handles into FileHandle and reach them.

#include "core/FileHandle.h"

#include <windows.h>

struct FileLayerAccess {
    static FileHandle adopt(HANDLE handle) {
        return FileHandle(handle == INVALID_HANDLE_VALUE ? -1
                                                         : reinterpret_cast<std::intptr_t>(handle));
    }
    static HANDLE handleOf(const FileHandle& file) { return reinterpret_cast<HANDLE>(file.fd_); }
};
