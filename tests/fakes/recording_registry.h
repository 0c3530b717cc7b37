#ifndef HARVELO_TESTS_FAKES_RECORDING_REGISTRY_H_
#define HARVELO_TESTS_FAKES_RECORDING_REGISTRY_H_

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/hive/hive_store.h"
#include "platform/registry_api.h"

namespace harvelo {

// The registry functions over a hive in memory, recording every call in `calls_`
// ("open SOFTWARE\Quorvex 0x20019", "query dGroupNumber 1024", "set dGroupNumber",
// "create SOFTWARE", "close").
class RecordingRegistry : public RegistryApi {
 public:
  RecordingRegistry() : store_(NewMemoryHiveStore()), inner_(NewHiveRegistry(*store_)) {}

  LSTATUS RegOpenKeyExA(HKEY root, const std::string& sub_key, REGSAM access,
                        HKEY* result) override {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%x", access);
    calls_.push_back("open " + sub_key + " " + hex);
    return inner_->RegOpenKeyExA(root, sub_key, access, result);
  }
  LSTATUS RegQueryValueExA(HKEY key, const std::string& name, std::uint32_t* type,
                           std::uint8_t* data, std::uint32_t* size) override {
    calls_.push_back("query " + name + " " + (size ? std::to_string(*size) : "-"));
    return inner_->RegQueryValueExA(key, name, type, data, size);
  }
  LSTATUS RegSetValueExA(HKEY key, const std::string& name, std::uint32_t type,
                         const std::uint8_t* data, std::uint32_t size) override {
    calls_.push_back("set " + name);
    return inner_->RegSetValueExA(key, name, type, data, size);
  }
  LSTATUS RegCreateKeyExA(HKEY root, const std::string& sub_key, HKEY* result) override {
    calls_.push_back("create " + sub_key);
    return inner_->RegCreateKeyExA(root, sub_key, result);
  }
  LSTATUS RegCloseKey(HKEY key) override {
    calls_.push_back("close");
    return inner_->RegCloseKey(key);
  }

  HiveStore& store() { return *store_; }

  std::vector<std::string> calls_;

 private:
  std::unique_ptr<HiveStore> store_;
  std::unique_ptr<RegistryApi> inner_;
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_RECORDING_REGISTRY_H_
