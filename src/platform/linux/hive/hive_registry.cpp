#include <cstring>
#include <map>
#include <string>

#include "platform/linux/hive/hive_store.h"

namespace harvelo {

namespace {

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
constexpr HKEY kFirstHandle = 0x1000;

class MemoryHiveStore final : public HiveStore {
 public:
  Hive Load() override { return hive_; }
  LSTATUS Update(const std::function<LSTATUS(Hive&)>& change) override {
    Hive changed = hive_;
    const LSTATUS status = change(changed);
    if (status == ERROR_SUCCESS) hive_ = std::move(changed);
    return status;
  }

 private:
  Hive hive_;
};

// Open keys are handles onto paths; every call reads the store afresh, so a handle never
// holds stale data and nothing is kept between the calls of a caller.
class HiveRegistry final : public RegistryApi {
 public:
  explicit HiveRegistry(HiveStore& store) : store_(store) {}

  LSTATUS RegOpenKeyExA(HKEY root, const std::string& sub_key, REGSAM access,
                        HKEY* result) override {
    std::string path;
    if (!Resolve(root, sub_key, &path)) return ERROR_INVALID_HANDLE;
    Hive hive = store_.Load();
    if (path.find('\\') != std::string::npos && !hive.FindKey(path)) {
      return ERROR_FILE_NOT_FOUND;
    }
    *result = Open(path, access);
    return ERROR_SUCCESS;
  }

  LSTATUS RegQueryValueExA(HKEY key, const std::string& value_name, std::uint32_t* type,
                           std::uint8_t* data, std::uint32_t* size) override {
    const auto open = open_.find(key);
    if (open == open_.end()) return ERROR_INVALID_HANDLE;
    if ((open->second.access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
    Hive hive = store_.Load();
    HiveKey* found = hive.FindKey(open->second.path);
    const HiveValue* value = found ? found->FindValue(value_name) : nullptr;
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;
    if (type != nullptr) *type = value->type;
    const auto needed = static_cast<std::uint32_t>(value->data.size());
    if (data == nullptr) {
      if (size != nullptr) *size = needed;
      return ERROR_SUCCESS;
    }
    if (size == nullptr) return ERROR_INVALID_PARAMETER;
    if (*size < needed) {
      *size = needed;
      return ERROR_MORE_DATA;
    }
    if (needed != 0) std::memcpy(data, value->data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
  }

  LSTATUS RegSetValueExA(HKEY key, const std::string& value_name, std::uint32_t type,
                         const std::uint8_t* data, std::uint32_t size) override {
    const auto open = open_.find(key);
    if (open == open_.end()) return ERROR_INVALID_HANDLE;
    if ((open->second.access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
    std::vector<std::uint8_t> bytes(data, data + size);
    if ((type == REG_SZ || type == REG_EXPAND_SZ) && (bytes.empty() || bytes.back() != 0)) {
      bytes.push_back(0);
    }
    const std::string path = open->second.path;
    return store_.Update([&](Hive& hive) {
      HiveKey* found = hive.FindKey(path);
      if (found == nullptr) return ERROR_FILE_NOT_FOUND;
      found->SetValue(value_name, type, std::move(bytes));
      return ERROR_SUCCESS;
    });
  }

  LSTATUS RegCreateKeyExA(HKEY root, const std::string& sub_key, HKEY* result) override {
    std::string path;
    if (!Resolve(root, sub_key, &path)) return ERROR_INVALID_HANDLE;
    if (path.find('\\') != std::string::npos) {
      const LSTATUS status = store_.Update([&](Hive& hive) {
        hive.CreateKey(path);
        return ERROR_SUCCESS;
      });
      if (status != ERROR_SUCCESS) return status;
    }
    *result = Open(path, KEY_ALL_ACCESS);
    return ERROR_SUCCESS;
  }

  LSTATUS RegCloseKey(HKEY key) override {
    return open_.erase(key) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
  }

 private:
  struct OpenKey {
    std::string path;
    REGSAM access;
  };

  bool Resolve(HKEY root, const std::string& sub_key, std::string* path) const {
    if (root == HKEY_CURRENT_USER) {
      *path = "HKEY_CURRENT_USER";
    } else if (auto open = open_.find(root); open != open_.end()) {
      *path = open->second.path;
    } else {
      return false;
    }
    if (!sub_key.empty()) *path += "\\" + sub_key;
    return true;
  }

  HKEY Open(std::string path, REGSAM access) {
    const HKEY handle = next_handle_++;
    open_.emplace(handle, OpenKey{std::move(path), access});
    return handle;
  }

  HiveStore& store_;
  std::map<HKEY, OpenKey> open_;
  HKEY next_handle_ = kFirstHandle;
};

}  // namespace

std::unique_ptr<HiveStore> NewMemoryHiveStore() { return std::make_unique<MemoryHiveStore>(); }

std::unique_ptr<RegistryApi> NewHiveRegistry(HiveStore& store) {
  return std::make_unique<HiveRegistry>(store);
}

}  // namespace harvelo
