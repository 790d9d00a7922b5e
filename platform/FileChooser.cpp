// Restores and remembers the score file's path through the settings store.
#include "platform/FileChooser.h"

#include <cstring>

#include "platform/SettingsStore.h"

bool scoreFilePathFromBuffer(const char (&buffer)[kScoreFileBufferSize], std::string& path) {
    const void* nul = std::memchr(buffer, '\0', kScoreFileBufferSize);
    if (!nul) {
        return false;
    }
    path.assign(buffer, static_cast<const char*>(nul));
    return true;
}

void FileChooser::loadScoreFile(SettingsStore& store) {
    // Zero-filled: a stored value may be shorter than the buffer and lack its NUL.
    char buffer[kScoreFileBufferSize] = {};
    if (store.readValue("ScoreFile", buffer, kScoreFileBufferSize) != 0) {
        return;
    }
    std::string path;
    if (scoreFilePathFromBuffer(buffer, path)) {
        filePath = std::move(path);
    }
}

long FileChooser::storeScoreFile(SettingsStore& store) const {
    return store.writeString("ScoreFile", fileName());
}
