// Loudness of mono recordings (ITU-R BS.1770 integrated loudness) and the levelling every spoken line goes through.
#pragma once
#include <vector>

#include "platform/audio/pcm.h"

namespace plat {

// Every recording of the medium is levelled to this integrated loudness, in LUFS.
constexpr double kTargetLufs = -20.0;
// No sample of a recording rises above this, in dBFS.
constexpr double kPeakCeilingDb = -3.0;
// Each recording fades in and out over this many seconds, so none starts or stops on a click.
constexpr double kEdgeFadeSeconds = 0.005;

// Gated integrated loudness in LUFS of samples at the given rate (K-weighted, 400 ms blocks with
// 75 % overlap, absolute gate -70 LUFS, relative gate -10 LU). A recording shorter than one block
// is measured as one block; silence gives -70 or below.
double IntegratedLoudness(const Pcm& p, int rate = kPcmRate);
// The same over several channels of equal length (stereo: left and right, each weighted 1).
double IntegratedLoudness(const std::vector<Pcm>& channels, int rate);
// The loudest 3-second window's loudness (EBU short-term loudness, maximum), in LUFS.
double MaxShortTermLoudness(const std::vector<Pcm>& channels, int rate);
// The largest absolute sample in dBFS (-inf for silence).
double PeakDb(const Pcm& p);

// Brings a recording to kTargetLufs with its peaks at or under kPeakCeilingDb (a smooth limiter
// takes down the few peaks that would pass it) and fades both ends.
void Level(Pcm& p, int rate = kPcmRate);

}  // namespace plat
