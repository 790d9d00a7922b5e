// Native stand-in for the registry store: values live in one process-wide map.
#include "platform/SettingsStore.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// The registry statuses that callers can meet here.
constexpr RegistryStatus kFileNotFound = 2;
constexpr RegistryStatus kMoreData = 234;

std::map<std::string, std::vector<unsigned char>>& values() {
    static std::map<std::string, std::vector<unsigned char>> stored;
    return stored;
}

RegistryStatus store(const char* name, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    values()[name].assign(bytes, bytes + size);
    return 0;
}

} // namespace

SettingsStore::SettingsStore(const char* productName) {
    const std::size_t size = std::strlen(productName) + 1;
    this->productName = std::make_unique<char[]>(size);
    std::memcpy(this->productName.get(), productName, size);
}

SettingsStore::~SettingsStore() {
    // The stand-in opens no keys; its handles stay null for the whole run.
    static_cast<void>(softwareKey);
    static_cast<void>(makerKey);
    static_cast<void>(productKey);
}

RegistryStatus SettingsStore::writeDword(const char* name, std::uint32_t value) {
    return store(name, &value, sizeof value);
}

RegistryStatus SettingsStore::writeString(const char* name, const char* text) {
    return store(name, text, std::strlen(text) + 1);
}

RegistryStatus SettingsStore::writeBinary(const char* name, const void* data, std::uint32_t size) {
    return store(name, data, size);
}

RegistryStatus SettingsStore::readDword(const char* name, std::uint32_t* value) {
    return readValue(name, value, sizeof *value);
}

// A value larger than the buffer fails; a shorter one fills only its own bytes.
RegistryStatus SettingsStore::readValue(const char* name, void* buffer, std::uint32_t size) {
    const auto found = values().find(name);
    if (found == values().end()) {
        return kFileNotFound;
    }
    if (found->second.size() > size) {
        return kMoreData;
    }
    if (!found->second.empty()) {
        std::memcpy(buffer, found->second.data(), found->second.size());
    }
    return 0;
}
