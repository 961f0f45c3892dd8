#pragma once
// The program's model geometry by letter-exact model name, so that every model file is read
// once per run, and the model detail setting that picks the high or low variant of the brick
// models. The map holds no references: geometry leaves it when its last instance goes.
#include <map>
#include <string>

#include "core/Types.h"

class OModelData;

class OModelCache {
public:
  // Reads the configuration file for the model detail.
  OModelCache();
  OModelCache(const OModelCache&) = delete;
  OModelCache& operator=(const OModelCache&) = delete;

  OModelData* Find(const std::string& name) const;
  void Insert(const std::string& name, OModelData* data);
  void Erase(const std::string& name);

  // Deletes every object's display list: before the rendering context goes away.
  void ReleaseAll();
  // Builds the lists again for every geometry that had them: once a new context is current.
  void RebuildAll();
  // Reloads every detail-dependent geometry from the folder of the current detail (textures
  // stay), brings it back to the size it was scaled to and rebuilds its lists. Stops at the
  // first failure and returns false; a detail other than 1 or 2 reloads nothing and fails.
  bool ReloadDetail();

  // The folder of the current detail for a detail-dependent model, or "" for none.
  std::string DetailDir() const;

  u32 detail;  // 2 high, 1 low (the configuration's model detail)
  std::string baseDir = "Data/Models/";
  std::string hiDir = "Data/Models/Hi/";
  std::string lowDir = "Data/Models/Low/";
  std::map<std::string, OModelData*> models;
};

// The one model cache, created on first use and never destroyed (instances held by static
// objects may outlive any ordinary static).
OModelCache& GetModelCache();
