// The levelling every recording of the medium goes through, shared with the family's takes (platform/audio).
#pragma once
#include "platform/audio/loudness.h"
#include "tools/datagen/pcm.h"

namespace datagen {

using plat::IntegratedLoudness;
using plat::kEdgeFadeSeconds;
using plat::kPeakCeilingDb;
using plat::kTargetLufs;
using plat::Level;
using plat::MaxShortTermLoudness;
using plat::PeakDb;

}  // namespace datagen
