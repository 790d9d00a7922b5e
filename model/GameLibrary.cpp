// Loads score logs into the library's list of records, and empties it.
#include "model/GameLibrary.h"

#include <cstdio>
#include <new>

#include "model/HalfGameReader.h"
#include "model/LineReader.h"
#include "platform/LoadSupport.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

GameLibrary::GameLibrary() {
    defaultExt = "txt";
    filter = "Text Files(*.txt)|*.txt|";
    filterIndex = 1;
    flags = 0x1804; // OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY
    initialDir = "c:\\program files\\";
}

bool GameLibrary::load() {
    const char* name = fileName();
    if (!pathExists(name)) {
        return false;
    }
    // Binary: the reader applies the text-mode rules itself, the same on every platform.
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(name, "rb"));
    if (!file) {
        return false;
    }
    showWaitCursor();
    bool loaded = false;
    try {
        LineReader reader(file.get());
        loaded = loadFrom(reader);
    } catch (const std::bad_alloc&) {
        clear();
    }
    showArrowCursor();
    return loaded;
}

bool GameLibrary::loadFromMemory(const char* data, std::size_t size) {
    try {
        LineReader reader(data, size);
        return loadFrom(reader);
    } catch (const std::bad_alloc&) {
        clear();
        return false;
    }
}

bool GameLibrary::loadFrom(LineReader& reader) {
    // New records join the library only when the whole file has loaded.
    std::list<GameRecord> added;
    while (!reader.atEnd()) {
        GameRecord& record = added.emplace_back();
        if (!readHalfGame(record, reader, nullptr)) {
            if (reader.readError()) {
                return false; // the file could not be read: not a bad log, keep what we had
            }
            added.clear();
            clear();
            return false;
        }
    }
    if (reader.readError()) {
        return false;
    }
    if (reader.overlong()) {
        clear();
        return false;
    }
    records.splice(records.end(), added);
    rebuildIndex();
    return true;
}

void GameLibrary::clear() {
    for (GameRecord& record : records) {
        record.freeHands();
    }
    records.clear();
    index.reset();
}

void GameLibrary::rebuildIndex() {
    auto entries = std::make_unique<const GameRecord*[]>(records.size());
    std::size_t position = 0;
    for (const GameRecord& record : records) {
        entries[position++] = &record;
    }
    index = std::move(entries);
}
