// Typed reads and writes of the program's settings under one registry key.
#pragma once

#include <cstdint>
#include <memory>

struct HKEY__;

// The registry call's status: 0 is success, anything else a failure.
using RegistryStatus = long;

// Opens HKEY_LOCAL_MACHINE\Software, then creates or opens the maker's key and the
// product's key under it, and keeps all three open until destruction. A key that
// cannot be had stays null and every operation on it fails with a non-zero status.
class SettingsStore {
  public:
    explicit SettingsStore(const char* productName);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Each operation is one registry call on the product key; it returns that call's
    // status unchanged and never checks the stored value's type.
    RegistryStatus writeDword(const char* name, std::uint32_t value);
    RegistryStatus writeString(const char* name, const char* text);
    RegistryStatus writeBinary(const char* name, const void* data, std::uint32_t size);
    RegistryStatus readDword(const char* name, std::uint32_t* value);
    // Fills at most size bytes of buffer; a value larger than the buffer fails, a
    // shorter one fills only its own bytes.
    RegistryStatus readValue(const char* name, void* buffer, std::uint32_t size);

  private:
    std::unique_ptr<char[]> productName;
    HKEY__* softwareKey = nullptr;
    HKEY__* makerKey = nullptr;
    HKEY__* productKey = nullptr;
};

// The maker's key under Software.
constexpr const char* kMakerKeyName = "Tamarind Labs";
constexpr const char* kProductName = "Paiview";
