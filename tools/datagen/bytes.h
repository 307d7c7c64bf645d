// Little-endian writers for the RIFF, BMP and MIDI files the generator makes (the platform's own).
#pragma once

#include "platform/bytes.h"

namespace datagen {

using plat::Put16;
using plat::Put32;
using plat::Set32;
using plat::Tag;

}  // namespace datagen
