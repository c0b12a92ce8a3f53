#include "XFileModule.h"
#include "XFileTestData.h"
#include <dxfile.h>
#include <rmxfguid.h>
#include <winbase.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

using namespace xfiletest;

namespace {

// An IDirectXFile with the test templates registered.
class XFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(DirectXFileCreate(&file), DXFILE_OK);
        std::string templates(TEXT_TEMPLATES);
        ASSERT_EQ(file->RegisterTemplates(templates.data(), static_cast<DWORD>(templates.size())),
                  DXFILE_OK);
    }
    void TearDown() override {
        if (file != nullptr) {
            EXPECT_EQ(file->Release(), 0u);
        }
    }

    HRESULT open(const void* data, size_t size, LPDIRECTXFILEENUMOBJECT* out) {
        DXFILELOADMEMORY memory{const_cast<void*>(data), static_cast<DWORD>(size)};
        return file->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, out);
    }
    HRESULT open(std::string_view text, LPDIRECTXFILEENUMOBJECT* out) {
        return open(text.data(), text.size(), out);
    }
    HRESULT open(const std::vector<uint8_t>& bytes, LPDIRECTXFILEENUMOBJECT* out) {
        return open(bytes.data(), bytes.size(), out);
    }
    HRESULT tryOpen(std::string_view text) {
        LPDIRECTXFILEENUMOBJECT e = nullptr;
        HRESULT hr = open(text, &e);
        if (e != nullptr) {
            e->Release();
        }
        return hr;
    }

    IDirectXFile* file = nullptr;
};

template <typename T> T read(const uint8_t* p) {
    T value;
    std::memcpy(&value, p, sizeof(T));
    return value;
}

std::string nameOf(IDirectXFileObject* object) {
    DWORD length = 0;
    EXPECT_EQ(object->GetName(nullptr, &length), DXFILE_OK);
    std::string name(length, '\0');
    EXPECT_EQ(object->GetName(name.data(), &length), DXFILE_OK);
    name.resize(length > 0 ? length - 1 : 0);
    return name;
}

// The parent's next child, which must be a data object.
void nextData(IDirectXFileData* parent, IDirectXFileData** out) {
    LPDIRECTXFILEOBJECT child = nullptr;
    ASSERT_EQ(parent->GetNextObject(&child), DXFILE_OK);
    ASSERT_EQ(child->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(out)), S_OK);
    child->Release();
}

// Checks the Frame of the scene: transform, then the mesh with its material list.
void checkFrame(IDirectXFileData* frame) {
    const GUID* type = nullptr;
    ASSERT_EQ(frame->GetType(&type), DXFILE_OK);
    EXPECT_EQ(*type, TID_D3DRMFrame);
    EXPECT_EQ(nameOf(frame), "Root");

    IDirectXFileData* matrix = nullptr;
    ASSERT_NO_FATAL_FAILURE(nextData(frame, &matrix));
    DWORD size = 0;
    void* data = nullptr;
    ASSERT_EQ(matrix->GetData(nullptr, &size, &data), DXFILE_OK);
    ASSERT_EQ(size, 64u);
    auto* m = static_cast<const uint8_t*>(data);
    EXPECT_EQ(read<float>(m + 13 * 4), 1.0f); // _42: the (0, 1, 0) translation
    EXPECT_EQ(read<float>(m + 15 * 4), 1.0f);
    matrix->Release();

    IDirectXFileData* mesh = nullptr;
    ASSERT_NO_FATAL_FAILURE(nextData(frame, &mesh));
    mesh->GetType(&type);
    EXPECT_EQ(*type, TID_D3DRMMesh);
    ASSERT_EQ(mesh->GetData(nullptr, &size, &data), DXFILE_OK);
    // nVertices, 4 vectors, nFaces, two faces of 1 + 3 DWORDs.
    ASSERT_EQ(size, 4u + 4 * 12 + 4 + 2 * 16);
    auto* d = static_cast<const uint8_t*>(data);
    EXPECT_EQ(read<uint32_t>(d), 4u);
    EXPECT_EQ(read<float>(d + 4 + 2 * 12 + 4), 1.0f); // vertex 2, y
    EXPECT_EQ(read<uint32_t>(d + 52), 2u);
    const uint32_t faces[8] = {3, 0, 1, 2, 3, 0, 2, 3};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(read<uint32_t>(d + 56 + 4 * i), faces[i]) << i;
    }
    // A member by name.
    ASSERT_EQ(mesh->GetData("nFaces", &size, &data), DXFILE_OK);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(read<uint32_t>(static_cast<uint8_t*>(data)), 2u);
    EXPECT_EQ(mesh->GetData("noSuchMember", &size, &data), DXFILEERR_BADDATAREFERENCE);

    IDirectXFileData* list = nullptr;
    ASSERT_NO_FATAL_FAILURE(nextData(mesh, &list));
    list->GetType(&type);
    EXPECT_EQ(*type, TID_D3DRMMeshMaterialList);

    // The material: a reference in the text scene, a nested object in the binary one.
    LPDIRECTXFILEOBJECT child = nullptr;
    ASSERT_EQ(list->GetNextObject(&child), DXFILE_OK);
    IDirectXFileData* material = nullptr;
    if (FAILED(child->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(&material)))) {
        IDirectXFileDataReference* reference = nullptr;
        ASSERT_EQ(child->QueryInterface(IID_IDirectXFileDataReference,
                                        reinterpret_cast<void**>(&reference)),
                  S_OK);
        EXPECT_EQ(nameOf(reference), "Red");
        ASSERT_EQ(reference->Resolve(&material), DXFILE_OK);
        reference->Release();
    }
    child->Release();
    material->GetType(&type);
    EXPECT_EQ(*type, TID_D3DRMMaterial);
    ASSERT_EQ(material->GetData(nullptr, &size, &data), DXFILE_OK);
    ASSERT_EQ(size, 44u);
    EXPECT_EQ(read<float>(static_cast<uint8_t*>(data) + 16), 8.0f); // power

    IDirectXFileData* texture = nullptr;
    ASSERT_NO_FATAL_FAILURE(nextData(material, &texture));
    ASSERT_EQ(texture->GetData(nullptr, &size, &data), DXFILE_OK);
    ASSERT_EQ(size, sizeof(char*));
    EXPECT_STREQ(read<const char*>(static_cast<uint8_t*>(data)), "data\\red.bmp");
    texture->Release();
    EXPECT_EQ(material->GetNextObject(&child), DXFILEERR_NOMOREOBJECTS);
    material->Release();

    EXPECT_EQ(list->GetNextObject(&child), DXFILEERR_NOMOREOBJECTS);
    list->Release();
    EXPECT_EQ(mesh->GetNextObject(&child), DXFILEERR_NOMOREOBJECTS);
    mesh->Release();
    EXPECT_EQ(frame->GetNextObject(&child), DXFILEERR_NOMOREOBJECTS);
}

} // namespace

TEST_F(XFileTest, TextSceneWalksAsWritten) {
    LPDIRECTXFILEENUMOBJECT e = nullptr;
    ASSERT_EQ(open(TEXT_SCENE, &e), DXFILE_OK);
    LPDIRECTXFILEDATA top = nullptr;
    ASSERT_EQ(e->GetNextDataObject(&top), DXFILE_OK);
    EXPECT_EQ(nameOf(top), "Red");
    top->Release();
    ASSERT_EQ(e->GetNextDataObject(&top), DXFILE_OK);
    checkFrame(top);
    LPDIRECTXFILEDATA none = nullptr;
    EXPECT_EQ(e->GetNextDataObject(&none), DXFILEERR_NOMOREOBJECTS);
    // The enumerator may go first: objects keep the file's data alive.
    EXPECT_EQ(e->Release(), 0u);
    EXPECT_EQ(top->Release(), 0u);
}

TEST_F(XFileTest, BinarySceneGivesTheSameObjects) {
    for (bool doubles : {false, true}) {
        SCOPED_TRACE(doubles ? "64-bit floats" : "32-bit floats");
        LPDIRECTXFILEENUMOBJECT e = nullptr;
        ASSERT_EQ(open(binaryScene(doubles), &e), DXFILE_OK);
        LPDIRECTXFILEDATA top = nullptr;
        ASSERT_EQ(e->GetNextDataObject(&top), DXFILE_OK);
        e->Release();
        checkFrame(top);
        EXPECT_EQ(top->Release(), 0u);
    }
}

TEST_F(XFileTest, NamesAndLookups) {
    LPDIRECTXFILEENUMOBJECT e = nullptr;
    ASSERT_EQ(open(TEXT_SCENE, &e), DXFILE_OK);
    LPDIRECTXFILEDATA data = nullptr;
    ASSERT_EQ(e->GetDataObjectByName("Root", &data), DXFILE_OK);
    char small[3];
    DWORD length = sizeof(small);
    EXPECT_EQ(data->GetName(small, &length), DXFILEERR_BADVALUE); // "Root" needs 5
    data->Release();
    EXPECT_EQ(e->GetDataObjectByName("Missing", &data), DXFILEERR_NOTFOUND);
    e->Release();
}

TEST_F(XFileTest, UnresolvableReferenceFailsOnResolve) {
    std::string text = R"(xof 0302txt 0032
Mesh { 1; 0;0;0;; 1; 3; 0,0,0;; MeshMaterialList { 1; 1; 0;; { Nowhere } } })";
    LPDIRECTXFILEENUMOBJECT e = nullptr;
    ASSERT_EQ(open(text, &e), DXFILE_OK);
    LPDIRECTXFILEDATA mesh = nullptr, list = nullptr, resolved = nullptr;
    ASSERT_EQ(e->GetNextDataObject(&mesh), DXFILE_OK);
    ASSERT_NO_FATAL_FAILURE(nextData(mesh, &list));
    LPDIRECTXFILEOBJECT child = nullptr;
    ASSERT_EQ(list->GetNextObject(&child), DXFILE_OK);
    IDirectXFileDataReference* reference = nullptr;
    ASSERT_EQ(
        child->QueryInterface(IID_IDirectXFileDataReference, reinterpret_cast<void**>(&reference)),
        S_OK);
    EXPECT_EQ(reference->Resolve(&resolved), DXFILEERR_BADDATAREFERENCE);
    reference->Release();
    child->Release();
    list->Release();
    mesh->Release();
    e->Release();
}

TEST_F(XFileTest, BadHeadersAreNamed) {
    const struct {
        const char* header;
        HRESULT expected;
    } headers[] = {
        {"xof 0302", DXFILEERR_BADFILETYPE},
        {"abc 0302txt 0032", DXFILEERR_BADFILETYPE},
        {"xof 0201txt 0032", DXFILEERR_BADFILEVERSION},
        {"xof 0302tzip0032", DXFILEERR_BADFILECOMPRESSIONTYPE},
        {"xof 0302txt 0016", DXFILEERR_BADFILEFLOATSIZE},
        {"xof 0302txt 0032", DXFILE_OK}, // empty but well formed
    };
    for (const auto& h : headers) {
        EXPECT_EQ(tryOpen(h.header), h.expected) << h.header;
    }
}

TEST_F(XFileTest, MalformedBodiesFailWithoutCrashing) {
    // Counts that promise more than the file holds.
    EXPECT_EQ(tryOpen("xof 0302txt 0032 Mesh { 1000; 0;0;0;, 1;1;1;; 0; }"), DXFILEERR_PARSEERROR);
    EXPECT_EQ(tryOpen("xof 0302txt 0032 Mesh { 4294967295; 0;0;0;; 0; }"), DXFILEERR_PARSEERROR);
    // Unclosed object, stray tokens, unterminated string, unknown template.
    EXPECT_EQ(tryOpen("xof 0302txt 0032 Frame {"), DXFILEERR_PARSEERROR);
    EXPECT_EQ(tryOpen("xof 0302txt 0032 } "), DXFILEERR_PARSEERROR);
    EXPECT_EQ(tryOpen("xof 0302txt 0032 TextureFilename { \"abc }"), DXFILEERR_PARSEERROR);
    EXPECT_EQ(tryOpen("xof 0302txt 0032 Teapot { }"), DXFILEERR_NOTEMPLATE);
    EXPECT_EQ(tryOpen("xof 0302txt 0032 Vector { 1.0; 2.0; }"), DXFILEERR_PARSEERROR);
    EXPECT_EQ(tryOpen("xof 0302txt 0032 Vector { 1; 2; 99999999999; }"), DXFILEERR_PARSEERROR);

    // Nesting deeper than the parser allows is refused, not recursed into.
    std::string deep = "xof 0302txt 0032 ";
    for (int i = 0; i < 10000; ++i) {
        deep += "Frame {";
    }
    EXPECT_EQ(tryOpen(deep), DXFILEERR_PARSEERROR);

    // A template whose array size names no earlier member.
    EXPECT_EQ(tryOpen("xof 0302txt 0032 template T { <00000000-0000-0000-0000-000000000001> "
                      "array DWORD a[n]; }"),
              DXFILEERR_BADARRAYSIZE);
}

TEST_F(XFileTest, TruncatedBinaryListsAreRefused) {
    std::vector<uint8_t> scene = binaryScene(false);
    // Every prefix past the header fails cleanly (the full file succeeds).
    for (size_t cut = 17; cut < scene.size(); ++cut) {
        LPDIRECTXFILEENUMOBJECT e = nullptr;
        HRESULT hr = open(scene.data(), cut, &e);
        EXPECT_TRUE(FAILED(hr)) << "prefix of " << cut << " bytes";
        if (e != nullptr) {
            e->Release();
        }
    }
    // A float list claiming far more elements than follow.
    BinaryWriter w;
    w.name("Vector").token(10).token(7);
    std::vector<uint8_t> bytes = w.bytes();
    const uint8_t huge[4] = {0xFF, 0xFF, 0xFF, 0x7F};
    bytes.insert(bytes.end(), huge, huge + 4);
    LPDIRECTXFILEENUMOBJECT e = nullptr;
    EXPECT_EQ(open(bytes, &e), DXFILEERR_PARSEERROR);

    // Many empty lists in a row are skipped without recursion.
    BinaryWriter empties;
    empties.name("Vector").token(10);
    for (int i = 0; i < 50000; ++i) {
        empties.integers({});
    }
    empties.floats({1, 2, 3}).token(11);
    EXPECT_EQ(open(empties.bytes(), &e), DXFILE_OK);
    e->Release();
}

TEST_F(XFileTest, FilesOpenByWindowsNameAndMissingOnesAreReported) {
    // The program names its files the Windows way, with backslashes.
    std::filesystem::create_directories("xfile_dir");
    FILE* f = std::fopen("xfile_dir/scene.x", "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(TEXT_SCENE.data(), 1, TEXT_SCENE.size(), f);
    std::fclose(f);
    LPDIRECTXFILEENUMOBJECT e = nullptr;
    ASSERT_EQ(
        file->CreateEnumObject(const_cast<char*>("xfile_dir\\scene.x"), DXFILELOAD_FROMFILE, &e),
        DXFILE_OK);
    e->Release();
    std::remove("xfile_dir/scene.x");
    EXPECT_EQ(
        file->CreateEnumObject(const_cast<char*>("no\\such\\file.x"), DXFILELOAD_FROMFILE, &e),
        DXFILEERR_FILENOTFOUND);
}

TEST_F(XFileTest, TemplatesDeclaredInAFileAreUsable) {
    std::string text = R"(xof 0302txt 0032
template Pair { <11111111-2222-3333-4444-555555555555> WORD a; array UCHAR b[2][a]; STRING s; }
Pair { 2; 1, 2, 3, 4; "x"; })";
    LPDIRECTXFILEENUMOBJECT e = nullptr;
    ASSERT_EQ(open(text, &e), DXFILE_OK);
    LPDIRECTXFILEDATA pair = nullptr;
    ASSERT_EQ(e->GetNextDataObject(&pair), DXFILE_OK);
    DWORD size = 0;
    void* data = nullptr;
    ASSERT_EQ(pair->GetData(nullptr, &size, &data), DXFILE_OK);
    ASSERT_EQ(size, 2u + 4u + sizeof(char*));
    auto* d = static_cast<const uint8_t*>(data);
    EXPECT_EQ(read<uint16_t>(d), 2u);
    EXPECT_EQ(d[2], 1);
    EXPECT_EQ(d[5], 4);
    EXPECT_STREQ(read<const char*>(d + 6), "x");
    const GUID* type = nullptr;
    pair->GetType(&type);
    EXPECT_EQ(type->Data1, 0x11111111u);
    EXPECT_EQ(type->Data4[7], 0x55);
    pair->Release();
    e->Release();
}

TEST_F(XFileTest, ReferencesResolveByNameOrIdAcrossTheFile) {
    // Many objects and references: each reference finds its own object (nested
    // ones included); names that do not exist find nothing.
    std::string text = "xof 0302txt 0032\n";
    for (int i = 0; i < 3000; ++i) {
        text += "Frame F" + std::to_string(i) + " { Vector V" + std::to_string(i) + " { " +
                std::to_string(i) + "; 0; 0; } }\n";
    }
    text += "Frame Refs {";
    for (int i = 0; i < 3000; ++i) {
        text += " { V" + std::to_string(i) + " } { Missing" + std::to_string(i) + " }";
    }
    text += " { <3D82AB5E-62DA-11CF-AB39-0020AF71E433> } }";
    LPDIRECTXFILEENUMOBJECT e = nullptr;
    ASSERT_EQ(open(text, &e), DXFILE_OK);
    LPDIRECTXFILEDATA refs = nullptr;
    ASSERT_EQ(e->GetDataObjectByName("Refs", &refs), DXFILE_OK);
    int resolved = 0, missing = 0;
    LPDIRECTXFILEOBJECT child = nullptr;
    while (SUCCEEDED(refs->GetNextObject(&child))) {
        IDirectXFileDataReference* reference = nullptr;
        ASSERT_EQ(child->QueryInterface(IID_IDirectXFileDataReference,
                                        reinterpret_cast<void**>(&reference)),
                  S_OK);
        LPDIRECTXFILEDATA target = nullptr;
        if (SUCCEEDED(reference->Resolve(&target))) {
            DWORD size = 0;
            void* data = nullptr;
            target->GetData(nullptr, &size, &data);
            if (resolved < 3000) {
                EXPECT_EQ(read<float>(static_cast<uint8_t*>(data)), float(resolved));
            }
            ++resolved;
            target->Release();
        } else {
            ++missing;
        }
        reference->Release();
        child->Release();
    }
    // 3000 by name, and the last by an id no object carries.
    EXPECT_EQ(resolved, 3000);
    EXPECT_EQ(missing, 3001);
    refs->Release();
    e->Release();
}

// Each object knows the templates of the blocks registered on it, whichever
// blocks other objects registered before (the parse of a block is kept).
TEST(XFileTemplates, EachObjectKnowsTheBlocksRegisteredOnIt) {
    const std::string wordPair = "xof 0302txt 0032\ntemplate Pair { "
                                 "<00000000-0000-0000-0000-0000000000A1> WORD a; WORD b; }";
    const std::string dwordPair = "xof 0302txt 0032\ntemplate Pair { "
                                  "<00000000-0000-0000-0000-0000000000A2> DWORD a; }";
    const std::string other = "xof 0302txt 0032\ntemplate Other { "
                              "<00000000-0000-0000-0000-0000000000A3> DWORD a; }";
    const std::string broken = "xof 0302txt 0032\ntemplate Pair { WORD a;";
    // Registers the blocks on a fresh object, opens the object text with it and
    // answers its first object's size and type id (0 when it does not open).
    auto layout = [](std::vector<std::string> blocks, std::string body) {
        LPDIRECTXFILE file = nullptr;
        EXPECT_EQ(DirectXFileCreate(&file), DXFILE_OK);
        std::pair<DWORD, uint8_t> result{0, 0};
        bool registered = true;
        for (std::string& block : blocks) {
            registered =
                registered &&
                SUCCEEDED(file->RegisterTemplates(block.data(), static_cast<DWORD>(block.size())));
        }
        std::string text = "xof 0302txt 0032\n" + body;
        DXFILELOADMEMORY memory{text.data(), static_cast<DWORD>(text.size())};
        LPDIRECTXFILEENUMOBJECT e = nullptr;
        LPDIRECTXFILEDATA object = nullptr;
        if (registered && SUCCEEDED(file->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &e)) &&
            SUCCEEDED(e->GetNextDataObject(&object))) {
            void* data = nullptr;
            const GUID* type = nullptr;
            object->GetData(nullptr, &result.first, &data);
            object->GetType(&type);
            result.second = type->Data4[7];
            object->Release();
        }
        if (e != nullptr) {
            e->Release();
        }
        file->Release();
        return result;
    };
    using Layout = std::pair<DWORD, uint8_t>;
    EXPECT_EQ(layout({wordPair}, "Pair { 1; 2; }"), Layout(4, 0xA1));
    EXPECT_EQ(layout({dwordPair}, "Pair { 1; }"), Layout(4, 0xA2));
    EXPECT_EQ(layout({wordPair}, "Pair { 1; 2; }"), Layout(4, 0xA1));
    EXPECT_EQ(layout({dwordPair}, "Pair { 1; }"), Layout(4, 0xA2));
    // A second block adds to the first; the first definition of a name stays.
    EXPECT_EQ(layout({other, wordPair}, "Pair { 1; 2; }"), Layout(4, 0xA1));
    EXPECT_EQ(layout({wordPair, other}, "Other { 7; }"), Layout(4, 0xA3));
    EXPECT_EQ(layout({wordPair, dwordPair}, "Pair { 1; 2; }"), Layout(4, 0xA1));
    EXPECT_EQ(layout({other}, "Pair { 1; 2; }"), Layout(0, 0));
    // A block that fails to parse fails every time and leaves nothing behind.
    EXPECT_EQ(layout({broken}, "Pair { 1; }"), Layout(0, 0));
    EXPECT_EQ(layout({broken}, "Pair { 1; }"), Layout(0, 0));
    EXPECT_EQ(layout({other}, "Other { 7; }"), Layout(4, 0xA3));
}

TEST(XFileModule, RegisteredAsD3dxof) {
    registerXFileModule();
    HMODULE module = GetModuleHandleA("d3dxof.dll");
    if (module == nullptr) {
        module = LoadLibraryA("D3DXOF.DLL");
    }
    ASSERT_NE(module, nullptr);
    auto create = reinterpret_cast<HRESULT (*)(LPDIRECTXFILE*)>(
        reinterpret_cast<void*>(GetProcAddress(module, "DirectXFileCreate")));
    ASSERT_NE(create, nullptr);
    LPDIRECTXFILE file = nullptr;
    ASSERT_EQ(create(&file), DXFILE_OK);
    EXPECT_EQ(file->Release(), 0u);
}
