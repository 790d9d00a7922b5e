// The settings store on the Windows registry: one key chain under HKEY_LOCAL_MACHINE.
#include "platform/SettingsStore.h"

#include <windows.h>

#include <cstring>
#include <initializer_list>

namespace {

// KEY_READ | KEY_WRITE: the store both reads and writes its values.
constexpr REGSAM kKeyAccess = 0x2001F;

HKEY createSubKey(HKEY parent, const char* name) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, kKeyAccess, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

} // namespace

SettingsStore::SettingsStore(const char* productName) {
    const std::size_t size = std::strlen(productName) + 1;
    this->productName = std::make_unique<char[]>(size);
    std::memcpy(this->productName.get(), productName, size);

    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, kKeyAccess, &key) == ERROR_SUCCESS) {
        softwareKey = key;
    }
    // Each step runs on whatever the previous one gave; a null parent simply fails.
    makerKey = createSubKey(softwareKey, kMakerKeyName);
    productKey = createSubKey(makerKey, this->productName.get());
}

SettingsStore::~SettingsStore() {
    productName.reset();
    for (HKEY key : {productKey, makerKey, softwareKey}) {
        if (key != nullptr) {
            RegCloseKey(key);
        }
    }
}

// A null product key needs no test of its own: the registry answers it with
// ERROR_INVALID_HANDLE, as it does the creates of the chain under a null parent.
RegistryStatus SettingsStore::writeDword(const char* name, std::uint32_t value) {
    return RegSetValueExA(productKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value);
}

RegistryStatus SettingsStore::writeString(const char* name, const char* text) {
    return RegSetValueExA(productKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text) + 1));
}

RegistryStatus SettingsStore::writeBinary(const char* name, const void* data, std::uint32_t size) {
    return RegSetValueExA(productKey, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
}

RegistryStatus SettingsStore::readDword(const char* name, std::uint32_t* value) {
    DWORD size = sizeof *value;
    return RegQueryValueExA(productKey, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                            &size);
}

RegistryStatus SettingsStore::readValue(const char* name, void* buffer, std::uint32_t size) {
    DWORD bufferSize = size;
    return RegQueryValueExA(productKey, name, nullptr, nullptr, static_cast<BYTE*>(buffer),
                            &bufferSize);
}
