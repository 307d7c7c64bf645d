// Silent AVI writer (one uncompressed 8-bit video stream) and the examiner's talking clip.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/gdi/bitmap.h"

namespace datagen {

// All frames share one size and, together, at most 256 colours; throws Error otherwise.
std::vector<uint8_t> EncodeAvi8(const std::vector<plat::Bitmap>& frames, uint32_t usec_per_frame);

// The examiner girl: frames of the talking clip, first and last with the mouth closed. The
// top-left pixel of each frame is the background colour.
std::vector<plat::Bitmap> ExaminerFrames();
std::vector<uint8_t> MakeExaminerClip();

}  // namespace datagen
