#include "assets/ModelCache.h"

#include "assets/ModelData.h"
#include "core/Config.h"

OModelCache::OModelCache() {
  // Every owner of a setting reads the file itself when it is made (the window, the texture
  // cache, the model cache, the application's loading): the caches are made on first use, also
  // by the tools and tests that have no window, so none may count on another having read it.
  // Reading it once for all would change which values win when one of them comes first.
  OConfig& config = GetConfig();
  config.Load();
  detail = config.modelDetail;
}

OModelData* OModelCache::Find(const std::string& name) const {
  auto it = models.find(name);
  return it == models.end() ? nullptr : it->second;
}

void OModelCache::Insert(const std::string& name, OModelData* data) { models[name] = data; }

void OModelCache::Erase(const std::string& name) { models.erase(name); }

std::string OModelCache::DetailDir() const {
  if (detail == 2) return hiDir;
  if (detail == 1) return lowDir;
  return "";
}

void OModelCache::ReleaseAll() {
  for (auto& entry : models) entry.second->DeleteObjectLists();
}

void OModelCache::RebuildAll() {
  for (auto& entry : models) {
    if (entry.second->listsBuilt) entry.second->BuildObjectLists();
  }
}

bool OModelCache::ReloadDetail() {
  const std::string dir = DetailDir();
  if (dir.empty()) return false;
  for (auto& entry : models) {
    OModelData* data = entry.second;
    if (!data->useDetail) continue;
    data->Clear();
    if (!data->LoadFile(dir + entry.first, true)) return false;
    data->ScaleVertices(data->scale[0], data->scale[1], data->scale[2]);
    if (data->listsBuilt) data->BuildObjectLists();
  }
  return true;
}

OModelCache& GetModelCache() {
  static OModelCache* cache = new OModelCache;
  return *cache;
}
