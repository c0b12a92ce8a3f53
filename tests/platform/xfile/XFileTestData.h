// Small .x files for the parser tests and the fuzz seeds, in both forms.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace xfiletest {

// Text templates: vectors, faces, meshes, frames, materials.
extern const std::string_view TEXT_TEMPLATES;

// A frame holding a transform, a two-face mesh with a material list whose
// material is referenced by name, and a top-level material.
extern const std::string_view TEXT_SCENE;

// Writes binary tokens; lists of numbers go out as integer or float lists.
class BinaryWriter {
public:
    explicit BinaryWriter(bool doubles = false);
    BinaryWriter& token(uint16_t code);
    BinaryWriter& name(std::string_view text);
    BinaryWriter& string(std::string_view text);
    BinaryWriter& integer(uint32_t value);
    BinaryWriter& guid(uint32_t d1, uint16_t d2, uint16_t d3, const uint8_t (&d4)[8]);
    BinaryWriter& integers(const std::vector<uint32_t>& values);
    BinaryWriter& floats(const std::vector<double>& values);
    const std::vector<uint8_t>& bytes() const { return out; }

private:
    void word(uint16_t v);
    void dword(uint32_t v);
    std::vector<uint8_t> out;
    bool doubles;
};

// The scene of TEXT_SCENE (its mesh and frame) in the binary form.
std::vector<uint8_t> binaryScene(bool doubles);

} // namespace xfiletest
