#include "assets/Texture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>

#include "assets/ImageDecode.h"
#include "assets/Resource.h"
#include "core/Config.h"
#include "core/Exception.h"

static_assert(PIXELS_RGB == GL_RGB && PIXELS_RGBA == GL_RGBA && PIXELS_LUMINANCE == GL_LUMINANCE,
              "decoded layouts are OpenGL formats");

namespace {

const char* const kTexturePrefix = "Data/Textures/";

const OTextureFilter kFilters[] = {
    {GL_NEAREST, GL_NEAREST},
    {GL_LINEAR, GL_NEAREST},
    {GL_NEAREST, GL_LINEAR},
    {GL_LINEAR, GL_LINEAR},
    {GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST},
    {GL_NEAREST, GL_LINEAR_MIPMAP_NEAREST},
    {GL_NEAREST, GL_NEAREST_MIPMAP_LINEAR},
    {GL_LINEAR, GL_NEAREST_MIPMAP_NEAREST},
    {GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
    {GL_LINEAR, GL_NEAREST_MIPMAP_LINEAR},
    {GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR},
};

}  // namespace

bool TextureFilterFor(u32 filterMode, OTextureFilter& filter) {
  if (filterMode >= sizeof kFilters / sizeof kFilters[0]) return false;
  filter = kFilters[filterMode];
  return true;
}

// ---- OBaseImage ---------------------------------------------------------------------------------

OBaseImage::OBaseImage()
    : filterMode(10),
      format(GL_RGB),
      target(GL_TEXTURE_2D),
      glName(0),
      keepPixels(1),
      components(3),
      bytesPerPixel(3),
      width(0),
      height(0) {}

OBaseImage::~OBaseImage() { DeleteTexture(); }

void OBaseImage::DeleteTexture() {
  if (glName != 0) {
    GLuint name = glName;
    glDeleteTextures(1, &name);
    glName = 0;
  }
}

bool OBaseImage::Upload(bool create) {
  // Without a texture object there is nothing to bind or filter (the default texture is left alone).
  if (!create && glName == 0) return false;
  bool uploaded = true;
  if (create) {
    // glName is not deleted first: after a display re-creation it may name another image's
    // texture in the new context (ReleaseAll has set it to 0 in the normal course).
    GLuint name = 0;
    glGenTextures(1, &name);
    glName = name;
    glBindTexture(target, glName);
    std::vector<u8> reread;
    if (pixels.empty() && CopyPixels(reread)) reread.swap(pixels);
    if (pixels.empty()) {
      uploaded = false;
    } else {
      // Our rows are packed; OpenGL's default expects each row to start on 4 bytes, which would
      // read past the end of an RGB picture whose width is not a multiple of 4.
      GLint alignment = 4;
      glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
      glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
      GLsizei w = static_cast<GLsizei>(width), h = static_cast<GLsizei>(height);
      if (UsesMipmaps(filterMode))
        gluBuild2DMipmaps(target, static_cast<GLint>(components), w, h, format, GL_UNSIGNED_BYTE,
                          pixels.data());
      else
        glTexImage2D(target, 0, static_cast<GLint>(components), w, h, 0, format, GL_UNSIGNED_BYTE,
                     pixels.data());
      glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    }
    // Pixels read again only for this upload go again.
    if (!sourcePath.empty()) std::vector<u8>().swap(pixels);
  }
  glBindTexture(target, glName);
  OTextureFilter filter;
  if (TextureFilterFor(filterMode, filter)) {
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(filter.magnification));
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(filter.minification));
  }
  return uploaded;
}

void OBaseImage::SetImage(ODecodedImage&& decoded) {
  sourcePath.clear();  // pixels handed in are the only copy
  width = decoded.width;
  height = decoded.height;
  format = decoded.format;
  components = decoded.components;
  bytesPerPixel = decoded.bytesPerPixel;
  pixels = std::move(decoded.pixels);
  Upload(true);
  if (!keepPixels) std::vector<u8>().swap(pixels);
}

namespace {
// Reads and decodes an archive picture; the reason for a failure goes to standard error.
bool ReadPicture(const std::string& path, ODecodedImage& decoded, std::string* error) {
  OResource& archive = GetResource();
  std::unique_ptr<u8[]> bytes = archive.Read(path);
  std::string why;
  if (!bytes) {
    why = archive.WhyUnreadable(path);
  } else if (!DecodeImage(path, bytes.get(), archive.GetSize(path), decoded, &why)) {
    why = "damaged picture (" + why + ")";
  } else {
    return true;
  }
  if (error) *error = why;
  return false;
}
}  // namespace

bool OBaseImage::LoadFile(const std::string& path, std::string* error) {
  // The loaders leave 2D texturing on: everything the game textures relies on it.
  glEnable(GL_TEXTURE_2D);
  ODecodedImage decoded;
  if (!ReadPicture(path, decoded, error)) return false;
  SetImage(std::move(decoded));
  // The archive holds the picture still: its decoded pixels need not stay in memory.
  sourcePath = path;
  std::vector<u8>().swap(pixels);
  return true;
}

bool OBaseImage::CopyPixels(std::vector<u8>& out) const {
  if (!pixels.empty()) {
    out = pixels;
    return true;
  }
  ODecodedImage decoded;
  // The archive file must still be the picture this image was made from.
  if (sourcePath.empty() || !ReadPicture(sourcePath, decoded, nullptr) || decoded.width != width ||
      decoded.height != height || decoded.components != components) {
    return false;
  }
  out = std::move(decoded.pixels);
  return true;
}

// ---- OTexture -----------------------------------------------------------------------------------

OTexture::OTexture(const std::string& name) : image(nullptr), name(name) {}

OTexture::OTexture(const OTexture& other) : image(other.image), name(other.name) {
  if (image) image->AddRef();
}

OTexture& OTexture::operator=(const OTexture& other) {
  if (this == &other) return *this;
  if (other.image) other.image->AddRef();
  Release();
  image = other.image;
  name = other.name;
  return *this;
}

OTexture::~OTexture() { Release(); }

void OTexture::Release() {
  if (!image) return;
  OBaseImage* released = image;
  image = nullptr;
  OTextureCache& cache = GetTextureCache();
  bool cached = cache.Find(name) == released;
  if (released->Release() && cached) cache.Erase(name);
}

bool OTexture::Load(const std::string& textureName) {
  Release();
  name.clear();
  name = textureName;
  OTextureCache& cache = GetTextureCache();
  if (OBaseImage* found = cache.Find(name)) {
    image = found;
    image->AddRef();
    return true;
  }
  OBaseImage* loaded = new OBaseImage();
  loaded->filterMode = cache.quality;
  std::string why;
  if (!loaded->LoadFile(kTexturePrefix + name, &why)) {
    delete loaded;
    throw OFileNotFound(kTexturePrefix + name, why);
  }
  image = loaded;
  image->AddRef();
  cache.Insert(name, image);
  return true;
}

void OTexture::Bind() const {
  if (image) glBindTexture(image->target, image->glName);
}

// ---- OTextureCache ------------------------------------------------------------------------------

OTextureCache::OTextureCache() {
  // Every owner of a setting reads the file itself when it is made (the window, the texture
  // cache, the model cache, the application's loading): the caches are made on first use, also
  // by the tools and tests that have no window, so none may count on another having read it.
  // Reading it once for all would change which values win when one of them comes first.
  OConfig& config = GetConfig();
  config.Load();
  quality = config.textureQuality;
}

OBaseImage* OTextureCache::Find(const std::string& name) const {
  auto it = images.find(name);
  return it == images.end() ? nullptr : it->second;
}

void OTextureCache::Insert(const std::string& name, OBaseImage* image) {
  ++generation;
  images[name] = image;
}

void OTextureCache::Erase(const std::string& name) {
  ++generation;
  images.erase(name);
}

void OTextureCache::SetFilterAll(u32 mode) {
  ++generation;
  for (auto& [name, image] : images) {
    image->filterMode = mode;
    image->Upload(false);
  }
}

void OTextureCache::ReleaseAll() {
  ++generation;
  for (auto& [name, image] : images) image->DeleteTexture();
}

void OTextureCache::ReuploadAll() {
  ++generation;
  glEnable(GL_TEXTURE_2D);
  for (auto& [name, image] : images) image->Upload(true);
}

OTextureCache& GetTextureCache() {
  static OTextureCache* cache = new OTextureCache();
  return *cache;
}
