// The medium's root in the settings store.
#include "media/data_root.h"

#include "media/registry_keys.h"
#include "platform/registry/registry.h"

namespace ozzel {

bool RegisterDataRoot(const std::string& store_path, const std::string& root) {
  plat::Registry reg(store_path);
  plat::RegValue v;
  v.type = plat::RegType::String;
  v.text = root;
  return reg.Read(kKeyOdklon, kValueDataRoot) == v || reg.Write(kKeyOdklon, kValueDataRoot, v);
}

}  // namespace ozzel
