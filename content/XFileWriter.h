#pragma once

#include "content/MeshBuilder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace content {

// Writes a mesh as a DirectX .x file, in the text form or in the binary token form (32-bit
// floats). Templates are not written: the reader registers the standard ones.
class XFileWriter {
public:
    // frameName non-empty wraps the mesh in a Frame with an identity FrameTransformMatrix.
    static std::string text(const MeshBuilder& mesh, const std::string& meshName,
                            const std::string& frameName = {});
    static std::vector<uint8_t> binary(const MeshBuilder& mesh, const std::string& meshName);

    // Binary token codes of the format.
    enum Token : uint16_t {
        TOKEN_NAME = 1,
        TOKEN_STRING = 2,
        TOKEN_INTEGER = 3,
        TOKEN_GUID = 5,
        TOKEN_INTEGER_LIST = 6,
        TOKEN_FLOAT_LIST = 7,
        TOKEN_OBRACE = 10,
        TOKEN_CBRACE = 11,
        TOKEN_COMMA = 19,
        TOKEN_SEMICOLON = 20,
    };
};

} // namespace content
