#include "content/ContentGenerator.h"

#include "content/BmpFile.h"
#include "content/CloudArt.h"
#include "content/ContactSheet.h"
#include "content/FanArt.h"
#include "content/FloorArt.h"
#include "content/FrameArt.h"
#include "content/LatticeArt.h"
#include "content/ModelArt.h"
#include "content/PngWriter.h"
#include "content/Song.h"
#include "content/TunnelArt.h"
#include "content/WavFile.h"
#include "content/XFileWriter.h"

#include <cmath>
#include <filesystem>
#include <fstream>

namespace content {

std::vector<NamedImage> ContentGenerator::bitmaps() {
    std::vector<NamedImage> all;
    all.push_back({"loading.bmp", FrameArt::loading()});
    all.push_back({"obi.bmp", FrameArt::band()});
    all.push_back({"cloud1.bmp", CloudArt::cloud1()});
    all.push_back({"cloud2.bmp", CloudArt::cloud2()});
    all.push_back({"cloud3.bmp", CloudArt::cloud3()});
    all.push_back({"living.bmp", CloudArt::living()});
    all.push_back({"TELV_title.bmp", TunnelArt::title()});
    all.push_back({"chars.bmp", TunnelArt::glyphs()});
    all.push_back({"circle.bmp", TunnelArt::circle()});
    all.push_back({"mono1.bmp", TunnelArt::mono(1)});
    all.push_back({"mono2.bmp", TunnelArt::mono(2)});
    all.push_back({"mono3.bmp", TunnelArt::mono(3)});
    all.push_back({"fan.bmp", FanArt::fan()});
    all.push_back({"particle.bmp", FanArt::particle()});
    all.push_back({"particle_r.bmp", FanArt::particleTinted(0)});
    all.push_back({"particle_g.bmp", FanArt::particleTinted(1)});
    all.push_back({"particle_b.bmp", FanArt::particleTinted(2)});
    all.push_back({"floor.bmp", FloorArt::floor()});
    all.push_back({"w_face.bmp", ModelArt::wFace()});
    all.push_back({"box_wall.bmp", ModelArt::boxWall()});
    all.push_back({"box_floor.bmp", ModelArt::boxFloor()});
    all.push_back({"TELV.bmp", LatticeArt::logo()});
    all.push_back({"hole.bmp", LatticeArt::hole()});
    all.push_back({"faewfaew.bmp", LatticeArt::thanks()});
    all.push_back({"back1.bmp", LatticeArt::back1()});
    all.push_back({"back2.bmp", LatticeArt::back2()});
    return all;
}

std::vector<ContentGenerator::File> ContentGenerator::bitmapFiles() {
    std::vector<File> files;
    for (const NamedImage& n : bitmaps()) {
        files.push_back({"data/" + n.name, BmpFile::encode(n.image)});
    }
    return files;
}

std::vector<ContentGenerator::File> ContentGenerator::meshFiles() {
    auto bytes = [](const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); };
    std::vector<File> files;
    // Two text files and one binary file, so both forms of the format are read at start-up.
    files.push_back({"data/w.x", bytes(XFileWriter::text(ModelArt::w(), "W"))});
    files.push_back({"data/box.x", bytes(XFileWriter::text(ModelArt::box(), "Room", "RoomFrame"))});
    files.push_back({"data/ball.x", XFileWriter::binary(ModelArt::ball(), "Ball")});
    return files;
}

ContentGenerator::File ContentGenerator::soundtrack() {
    Song::Stereo s = Song::render();
    std::vector<int16_t> pcm(s.left.size() * 2);
    for (size_t i = 0; i < s.left.size(); ++i) {
        auto q = [](float v) {
            long x = std::lround(static_cast<double>(v) * 32767.0);
            return static_cast<int16_t>(x < -32768 ? -32768 : (x > 32767 ? 32767 : x));
        };
        pcm[i * 2] = q(s.left[i]);
        pcm[i * 2 + 1] = q(s.right[i]);
    }
    return {"data/dmb.wav", WavFile::encode(pcm, static_cast<uint32_t>(Song::RATE), 2)};
}

bool ContentGenerator::writeAll(const std::string& dataDir, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(dataDir, ec);
    if (ec) {
        error = "cannot create " + dataDir + ": " + ec.message();
        return false;
    }
    std::vector<File> files = bitmapFiles();
    for (File& f : meshFiles()) {
        files.push_back(std::move(f));
    }
    files.push_back(soundtrack());
    for (const File& f : files) {
        // Paths are "data/<name>"; the folder given stands for "data".
        std::string target = dataDir + "/" + f.path.substr(5);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(f.bytes.data()),
                  static_cast<std::streamsize>(f.bytes.size()));
        if (!out) {
            error = "cannot write " + target;
            return false;
        }
    }
    return true;
}

bool ContentGenerator::writeContactSheet(const std::string& pngPath) {
    return PngWriter::write(ContactSheet::compose(bitmaps()), pngPath);
}

} // namespace content
