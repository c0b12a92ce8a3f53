// Figures for the utility library: math per call, bitmap decoding and mip chains
// per texture, .x parsing and mesh building per file.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "d3dx/BitmapReader.h"
#include "d3dx/MeshData.h"
#include "d3dx/TexelImage.h"
#include "d3dx/XMeshFile.h"
#include <d3dx8math.h>

namespace {

std::vector<uint8_t> bitmap24(int width, int height) {
    auto put = [](std::vector<uint8_t>& out, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
    };
    uint32_t row = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> file;
    put(file, 0x4D42, 2);
    put(file, 54 + row * height, 4);
    put(file, 0, 4);
    put(file, 54, 4);
    put(file, 40, 4);
    put(file, width, 4);
    put(file, height, 4);
    put(file, 1, 2);
    put(file, 24, 2);
    for (int i = 0; i < 6; ++i) {
        put(file, 0, 4);
    }
    for (int y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < row; ++x) {
            file.push_back(static_cast<uint8_t>(x * 7 + y * 3));
        }
    }
    return file;
}

// A UV sphere as a text .x file with normals and texture coordinates.
std::string sphereX(int rings, int sides) {
    std::string s = "xof 0302txt 0032\nMesh {\n" + std::to_string(rings * sides) + ";\n";
    for (int r = 0; r < rings; ++r) {
        for (int j = 0; j < sides; ++j) {
            float t = 3.14159f * r / (rings - 1), p = 6.28318f * j / sides;
            s += std::to_string(std::sin(t) * std::cos(p)) + ";" + std::to_string(std::cos(t)) +
                 ";" + std::to_string(std::sin(t) * std::sin(p)) + ";,\n";
        }
    }
    s.back() = '\n';
    s[s.size() - 2] = ';';
    int faces = (rings - 1) * sides;
    s += std::to_string(faces) + ";\n";
    std::string faceList;
    for (int r = 0; r + 1 < rings; ++r) {
        for (int j = 0; j < sides; ++j) {
            int a = r * sides + j, b = r * sides + (j + 1) % sides;
            faceList += "4;" + std::to_string(a) + "," + std::to_string(b) + "," +
                        std::to_string(b + sides) + "," + std::to_string(a + sides) + ";,\n";
        }
    }
    faceList[faceList.size() - 2] = ';';
    s += faceList;
    s += "MeshNormals {\n" + std::to_string(rings * sides) + ";\n";
    for (int v = 0; v < rings * sides; ++v) {
        s += "0;1;0;" + std::string(v + 1 < rings * sides ? ",\n" : ";\n");
    }
    s += std::to_string(faces) + ";\n" + faceList + "}\n";
    s += "MeshTextureCoords {\n" + std::to_string(rings * sides) + ";\n";
    for (int v = 0; v < rings * sides; ++v) {
        s += "0.5;0.5;" + std::string(v + 1 < rings * sides ? ",\n" : ";\n");
    }
    s += "}\n}\n";
    return s;
}

void BM_MatrixMultiply(benchmark::State& state) {
    D3DXMATRIX a, b, out;
    D3DXMatrixRotationY(&a, 0.3f);
    D3DXMatrixTranslation(&b, 1, 2, 3);
    for (auto _ : state) {
        D3DXMatrixMultiply(&out, &a, &b);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_MatrixMultiply);

void BM_LookAtAndPerspective(benchmark::State& state) {
    D3DXVECTOR3 eye(1, 2, 3), at(0, 0, 0), up(0, 1, 0);
    D3DXMATRIX view, projection;
    for (auto _ : state) {
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&projection, 120.0f, 4.0f / 3.0f, 0.1f, 100.0f);
        benchmark::DoNotOptimize(view);
        benchmark::DoNotOptimize(projection);
    }
}
BENCHMARK(BM_LookAtAndPerspective);

void BM_TransformCoord(benchmark::State& state) {
    D3DXMATRIX m;
    D3DXMatrixPerspectiveFovLH(&m, 1.0f, 1.0f, 0.1f, 100.0f);
    D3DXVECTOR3 p(0.3f, 0.2f, 5.0f), out;
    for (auto _ : state) {
        D3DXVec3TransformCoord(&out, &p, &m);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_TransformCoord);

void BM_DecodeBitmap24(benchmark::State& state) {
    int side = static_cast<int>(state.range(0));
    std::vector<uint8_t> file = bitmap24(side, side);
    for (auto _ : state) {
        BitmapImage image;
        benchmark::DoNotOptimize(BitmapReader::read(file.data(), file.size(), image));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_DecodeBitmap24)->Arg(256)->Arg(512)->Arg(1024);

void BM_MipChainAndWrite(benchmark::State& state) {
    int side = static_cast<int>(state.range(0));
    TexelImage top(side, side, std::vector<uint32_t>(size_t(side) * side, 0xFF336699));
    std::vector<uint8_t> out(size_t(side) * side * 4);
    for (auto _ : state) {
        TexelImage level = top;
        level.write(D3DFMT_X8R8G8B8, out.data(), side * 4);
        while (level.width() > 1) {
            level = level.halved();
            level.write(D3DFMT_X8R8G8B8, out.data(), static_cast<int32_t>(level.width() * 4));
        }
    }
}
BENCHMARK(BM_MipChainAndWrite)->Arg(256)->Arg(512);

void BM_ResizeToPowerOfTwo(benchmark::State& state) {
    TexelImage image(300, 200, std::vector<uint32_t>(300 * 200, 0xFF808080));
    for (auto _ : state) {
        benchmark::DoNotOptimize(image.resized(512, 256, false));
    }
}
BENCHMARK(BM_ResizeToPowerOfTwo);

void BM_ReadXMesh(benchmark::State& state) {
    std::string text = sphereX(static_cast<int>(state.range(0)), 32);
    for (auto _ : state) {
        MeshData mesh;
        int count = 0;
        benchmark::DoNotOptimize(XMeshFile::readMemory(text.data(), text.size(), mesh, count));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    state.counters["file_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ReadXMesh)->Arg(16)->Arg(64);

} // namespace

BENCHMARK_MAIN();
