// Writes the fuzzers' starting inputs, a few small valid files per reader made with the game's and
// the content compiler's own writers. Usage: brikon-fuzz-seeds OUT_DIR (a folder per fuzzer).
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../assets/ModelTestSupport.h"
#include "audio/Dsp.h"
#include "audio/ItWriter.h"
#include "audio/ModWriter.h"
#include "audio/XmWriter.h"
#include "game/Top.h"
#include "core/Config.h"

namespace {

std::string outDir;

template <typename Bytes>
void Put(const std::string& target, const std::string& name, const Bytes& bytes) {
  const std::string dir = outDir + "/" + target;
  mkdir(dir.c_str(), 0755);
  std::ofstream(dir + "/" + name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A small picture with some structure, so that the JPEG has more than flat blocks.
const u8* Pixels(u32 width, u32 height, u32 channels) {
  static std::string pixels;
  pixels = image_test::PixelBytes(size_t{width} * height * channels);
  return image_test::AsBytes(pixels);
}

void Pictures() {
  Put("tga", "rgb-5x3.tga", EncodeTga(5, 3, 3, Pixels(5, 3, 3)));
  Put("tga", "rgba-4x4.tga", EncodeTga(4, 4, 4, Pixels(4, 4, 4)));
  // The decoder also reads 8-bit greyscale (type 3), which our writer does not make.
  Put("tga", "grey-16x8.tga", image_test::MakeTga(3, 16, 8, 8, image_test::PixelBytes(16 * 8)));
  Put("jpeg", "rgb-16x16.jpg", EncodeJpeg(16, 16, 3, Pixels(16, 16, 3), 75));
  Put("jpeg", "grey-16x8.jpg", EncodeJpeg(16, 8, 1, Pixels(16, 8, 1), 90));
  Put("jpeg", "rgb-9x7-q20.jpg", EncodeJpeg(9, 7, 3, Pixels(9, 7, 3), 20));
}

void ModelsAndArchives() {
  OModelFile named = CubeFile(4, 2);  // with both texture names
  named.texture = "Bricks.Tga";
  named.texture2 = "Env.jpg";
  Put("zmod", "cube.zmod", CubeBytes());
  Put("zmod", "cube-normals-2.zmod", WriteZmod(named));
  Put("zmod", "empty.zmod", WriteZmod(OModelFile()));
  std::vector<u8> bytes;
  if (BuildArchive({{"Data/Textures/Tiny.Tga", EncodeTga(2, 2, 3, Pixels(2, 2, 3))},
                    {"Data/Models/Cube.zmod", CubeBytes()},
                    {"Data/Empty", {}}},
                   bytes))
    Put("archive", "three.tkr", bytes);
  if (BuildArchive({}, bytes)) Put("archive", "empty.tkr", bytes);
}

void Settings(const std::string& scratch) {
  OConfig config;
  config.fileName = scratch;
  config.Save();
  Put("config", "defaults.cfg", Slurp(scratch));

  // The table fuzzer scrambles its input itself, so its seeds are the plain text of saved tables.
  OTop top(scratch, 10);
  top.Reset();
  top.Save();
  for (const char* name : {"default.txt", "entered.txt"}) {
    std::string plain = Slurp(scratch);
    ScrambleTop(plain);
    Put("top", name, plain);
    top.Insert("Ann Lee", 5000);
    top.Insert("", 300);
    top.Insert("Zed", 5000);
  }
  std::remove(scratch.c_str());
}

void Sounds() {
  OSignal s(200);
  for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<float>(std::sin(i * 0.2) * 0.5);
  Put("wav", "mono16-22050.wav", MakeWav(s, 22050));
  s.resize(3);
  Put("wav", "mono16-3frames-8000.wav", MakeWav(s, 8000));
}

// A short tune in `channels` channels of `rows` rows (MOD wants 4 and 64, IT at least 32), with two
// brief instruments so that the files stay a few kilobytes.
OSong Tune(int channels, int rows) {
  OSong song;
  song.title = "seed";
  song.channels = channels;
  const std::map<std::string, double> brief = {{"attack", 0.001}, {"decay", 0.01}, {"sustain", 0.0}};
  song.instruments = {{"lead", "pulse", brief}, {"bass", "sine", brief}};
  OPattern p;
  p.name = "A";
  p.rows = rows;
  p.cells.resize(static_cast<size_t>(p.rows * song.channels));
  for (int row = 0; row + 1 < p.rows; row += 4) {
    p.At(row, 0, song.channels) = {60 + row % 12, 1, 48};
    p.At(row + 1, 1, song.channels) = {48, 2, -1};
  }
  p.At(rows - 1, 0, song.channels).note = OCell::OFF;
  song.patterns = {p};
  song.order = {0, 0};
  return song;
}

void Music() {
  std::vector<unsigned char> mod, xm, it;
  std::string error;
  if (WriteMod(Tune(4, 64), mod, error)) Put("module", "tune.mod", mod);
  if (WriteXm(Tune(2, 16), xm, error)) Put("module", "tune.xm", xm);
  if (WriteIt(Tune(2, 32), it, error)) Put("module", "tune.it", it);
  if (!error.empty()) std::fprintf(stderr, "module writer: %s\n", error.c_str());
}

// The level reader's seeds are what it really meets: the brick table and the two demo episodes.
void Levels() {
  for (const std::string name : {"bricks.txt", "levels/0-classic-demo.txt", "levels/3-modern-demo.txt"})
    Put("level", name.substr(name.rfind('/') + 1), Slurp(BRIKON_CONTENT_DIR "/" + name));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: brikon-fuzz-seeds OUT_DIR\n");
    return 2;
  }
  outDir = argv[1];
  mkdir(outDir.c_str(), 0755);
  Pictures();
  ModelsAndArchives();
  Settings(outDir + "/scratch.tmp");
  Sounds();
  Music();
  Levels();
  return 0;
}
