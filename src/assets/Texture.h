#pragma once
// Textures: every picture the game shows is an OpenGL texture decoded from a TGA or JPEG file of
// the resource archive ("Data/Textures/..."). Images are shared through a cache keyed by the
// letter-exact file name, so each picture is decoded and uploaded once; screens, models and
// effects hold them through OTexture handles. A picture read from the archive is read and
// decoded again when its texture has to be uploaded again (the display re-created); only
// pictures made in memory keep their decoded pixels.
//
// Every operation here needs the rendering context current.
#include <map>
#include <string>
#include <vector>

#include "assets/RCObject.h"
#include "core/Types.h"

struct ODecodedImage;

// Texture quality (filterMode) 0..10: how the texture is filtered and whether it has mipmaps.
struct OTextureFilter {
  u32 magnification;  // GL_NEAREST or GL_LINEAR
  u32 minification;   // GL_NEAREST .. GL_LINEAR_MIPMAP_LINEAR
};
// The filters of one quality; false for 11 and above, which leave a texture's filters unchanged.
bool TextureFilterFor(u32 filterMode, OTextureFilter& filter);
// Quality 4 and above upload through the mipmap builder, which also rescales sides that are not
// powers of two; below 4 the picture is uploaded as it is, as level 0 only.
inline bool UsesMipmaps(u32 filterMode) { return filterMode >= 4; }

// One decoded picture and its texture object.
class OBaseImage : public RCObject {
public:
  OBaseImage();
  // Frees the pixels and deletes the texture object.
  ~OBaseImage() override;

  // create: makes a new texture object from `pixels` (mipmapped when filterMode asks for it).
  // Always: binds the texture and sets its filters from filterMode. False when create found no
  // pixels to upload, or when there is no texture object to re-filter.
  virtual bool Upload(bool create);

  // Reads the archive file at path, decodes it (".jpg" anywhere in the path, letter-exact: JPEG,
  // otherwise TGA) and uploads it; the pixels are then let go. False when the archive has no such
  // file or it does not decode, with the reason in *error.
  bool LoadFile(const std::string& path, std::string* error = nullptr);
  // The decoded pixels (rows as in `pixels`): kept ones, or read again from the archive. False
  // when there are none to be had.
  bool CopyPixels(std::vector<u8>& out) const;
  // Takes decoded pixels and uploads them, as LoadFile does after decoding.
  void SetImage(ODecodedImage&& decoded);
  // Deletes the texture object; the pixels stay for a later Upload(true).
  void DeleteTexture();

  u32 filterMode;  // texture quality 0..10
  u32 format;      // GL_RGB, GL_RGBA or GL_LUMINANCE: layout of `pixels`
  u32 target;      // GL_TEXTURE_2D
  u32 glName;      // texture object, 0 when none exists
  u8 keepPixels;   // 1: pixels stay after the upload so the texture can be uploaded again
  u32 components;  // internal format given to OpenGL: 1, 3 or 4
  u32 bytesPerPixel;
  u32 width;   // pixels
  u32 height;  // pixels
  std::vector<u8> pixels;  // rows in file order, `components` bytes per pixel, no row padding;
                           // empty for a picture of the archive once uploaded
  std::string sourcePath;  // the archive file the picture came from; empty when made in memory
};

// A handle on a cached texture image; what everything that draws a picture holds. A handle holds
// one reference on its image; copies hold their own.
class OTexture {
public:
  explicit OTexture(const std::string& name = "");
  OTexture(const OTexture& other);
  OTexture& operator=(const OTexture& other);
  // Releases the image; the last handle's release deletes it and its cache entry.
  ~OTexture();

  // Takes the cached image of that name, or loads "Data/Textures/" + name with the cache's quality
  // and caches it. Returns true or throws OFileNotFound. A handle that already holds an image
  // releases it first.
  bool Load(const std::string& name);
  // Binds the texture (nothing when no image is loaded).
  void Bind() const;
  // Gives the image back as the destructor does; the handle is then empty.
  void Release();

  OBaseImage* image;  // one reference while loaded; null before
  std::string name;   // the texture file name, without "Data/Textures/"
};

// The program's textures by letter-exact file name. The map holds no references: an image leaves
// it when its last handle releases it.
class OTextureCache {
public:
  // Reads the configuration file for the texture quality of new images.
  OTextureCache();
  OTextureCache(const OTextureCache&) = delete;
  OTextureCache& operator=(const OTextureCache&) = delete;

  OBaseImage* Find(const std::string& name) const;
  void Insert(const std::string& name, OBaseImage* image);
  void Erase(const std::string& name);

  // Sets every image's quality and re-sets its filters. Mipmap levels exist only for images last
  // uploaded at quality 4 or more, so raising the quality of the others asks for levels that are
  // not there (they draw untextured) until they are uploaded again.
  void SetFilterAll(u32 mode);
  // Deletes every texture object, keeping the pixels: before the rendering context goes away.
  void ReleaseAll();
  // Turns texturing on and makes every texture object anew: once a new context is current.
  void ReuploadAll();

  std::map<std::string, OBaseImage*> images;
  // Counts the changes that can alter how any texture looks (filters, uploads, new images), for
  // pictures kept from earlier frames.
  u32 generation = 0;
  u32 quality;  // texture quality given to newly loaded images (the configuration's)
};

// The one texture cache, created on first use and never destroyed (handles in static objects may
// outlive any ordinary static).
OTextureCache& GetTextureCache();
