#ifndef HARVELO_PLATFORM_LINUX_HIVE_HIVE_STORE_H_
#define HARVELO_PLATFORM_LINUX_HIVE_HIVE_STORE_H_

// Where a hive is kept. Abstract so the registry functions run over a file or over memory
// alike; the real implementation is a file (see platform/linux/hive_file.h).

#include <functional>
#include <memory>

#include "platform/linux/hive/hive.h"
#include "platform/registry_api.h"

namespace harvelo {

class HiveStore {
 public:
  virtual ~HiveStore() = default;
  // The hive as stored now: a store that is missing or cannot be read is an empty hive,
  // and of a damaged one, what can be read.
  virtual Hive Load() = 0;
  // Applies `change` to the stored hive as one step that no other writer can interleave
  // with. The change answers a result code; the store keeps the changed hive only when it
  // is ERROR_SUCCESS. Answers the change's code, or the store's own when it cannot keep it.
  virtual LSTATUS Update(const std::function<LSTATUS(Hive&)>& change) = 0;
};

// A store in memory, for tests and for a run that must not touch the user's settings.
std::unique_ptr<HiveStore> NewMemoryHiveStore();

// The registry functions over a store. `store` must remain live while the result is.
std::unique_ptr<RegistryApi> NewHiveRegistry(HiveStore& store);

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_HIVE_HIVE_STORE_H_
