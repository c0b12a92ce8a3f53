// The templates the mesh loader registers with the .x parser before it opens a
// file: the standard .x templates as one binary-encoded template block.
#pragma once

#include <cstdint>
#include <vector>

// The block, built once: the 16-byte binary header and the token stream.
const std::vector<uint8_t>& xTemplateBlock();
