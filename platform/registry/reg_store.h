// Where the settings live behind plat::Registry: the .reg file on every system, or a system's own store.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "platform/registry/registry.h"

namespace plat {

// Keys come as RegKeyPath gives them and names are storable: the Registry checked them.
class RegStore {
 public:
  virtual ~RegStore() = default;
  virtual bool KeyExists(const std::string& key) = 0;
  virtual bool CreateKey(const std::string& key) = 0;
  virtual std::optional<RegValue> Read(const std::string& key, const std::string& name) = 0;
  virtual bool Write(const std::string& key, const std::string& name, const RegValue& value) = 0;
  // False for a value this store cannot keep exactly.
  virtual bool Holds(const RegValue& value) const = 0;
};

// The .reg text file at host_path (platform/registry/registry.cpp).
std::unique_ptr<RegStore> MakeFileStore(const std::string& host_path);
// What Registry("") stands for: the system's registry where it has one, else nullptr (one per system).
std::unique_ptr<RegStore> MakeSystemStore();

}  // namespace plat
