#pragma once
// The file that stands in for the mixer when VISTROVA_MIXER_FILE is set: the
// 32-bit volume as decimal text, read once on creation (missing or not a
// number: full volume) and rewritten whole at every change.

#include "Mixer.h"

#include <memory>
#include <string>

namespace platform {
std::unique_ptr<IMixer> makeFileMixer(const std::string& path);
}
