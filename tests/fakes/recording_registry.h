#ifndef HARVELO_TESTS_FAKES_RECORDING_REGISTRY_H_
#define HARVELO_TESTS_FAKES_RECORDING_REGISTRY_H_

#include <memory>
#include <string>

#include "platform/linux/hive/hive_store.h"
#include "platform/registry_api.h"

namespace harvelo {

// The registry functions over a hive in memory: a fresh profile that records the settings
// written, for the test to read back.
class RecordingRegistry : public RegistryApi {
 public:
  LSTATUS RegOpenKeyExA(HKEY root, const std::string& key, REGSAM access, HKEY* out) override {
    return api_->RegOpenKeyExA(root, key, access, out);
  }
  LSTATUS RegQueryValueExA(HKEY key, const std::string& name, std::uint32_t* type,
                           std::uint8_t* data, std::uint32_t* size) override {
    return api_->RegQueryValueExA(key, name, type, data, size);
  }
  LSTATUS RegSetValueExA(HKEY key, const std::string& name, std::uint32_t type,
                         const std::uint8_t* data, std::uint32_t size) override {
    return api_->RegSetValueExA(key, name, type, data, size);
  }
  LSTATUS RegCreateKeyExA(HKEY root, const std::string& key, HKEY* out) override {
    return api_->RegCreateKeyExA(root, key, out);
  }
  LSTATUS RegCloseKey(HKEY key) override { return api_->RegCloseKey(key); }

 private:
  std::unique_ptr<HiveStore> store_ = NewMemoryHiveStore();
  std::unique_ptr<RegistryApi> api_ = NewHiveRegistry(*store_);
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_RECORDING_REGISTRY_H_
