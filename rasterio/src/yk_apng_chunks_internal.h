#pragma once

// The chunk layer of the APNG writer: chunks with their CRCs, the shared sequence numbers of the
// animation chunks, and image data filtered row by row and deflated into IDAT or fdAT chunks.

#include <cstdio>
#include <string>
#include <vector>

#include "yk_types.h"

namespace yk_apng {

class ChunkWriter {
public:
    explicit ChunkWriter(std::FILE* file) : mFile(file) {}

    void Signature();
    void Chunk(const char* type, const std::vector<uint8>& data);
    // The next number of the sequence that fcTL and fdAT chunks share.
    uint32 NextSequence() { return mSequence++; }
    // `rgba`: `height` rows of `width` RGBA pixels. Written as IDAT chunks, or as fdAT chunks
    // when `frameData`. False with the reason in `error` when zlib fails.
    bool ImageData(const std::vector<uint8>& rgba, int32 width, int32 height, bool frameData,
                   std::string* error);

private:
    std::FILE* mFile;
    uint32 mSequence = 0;
};

// Appends `value` to `bytes` big-endian, as every PNG number is stored.
void PutBig32(std::vector<uint8>& bytes, uint32 value);
void PutBig16(std::vector<uint8>& bytes, uint16 value);

}  // namespace yk_apng
